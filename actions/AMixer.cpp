#include "actions/AMixer.h"

#include <algorithm>

namespace kv {

namespace {

bool Has(std::uint32_t bits, std::uint32_t all) { return (bits & all) == all; }

bool IsVolumeOrMute(const plat::MixerControl& c) {
  return (c.type == plat::kMixerControlVolume || c.type == plat::kMixerControlMute) &&
         !(c.flags & plat::kMixerControlMultiple);
}

}  // namespace

// ---------------------------------------------------------------- TPointerList

void* TPointerList::Item(int index) const {
  return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)] : nullptr;
}

void TPointerList::Clear() {
  if (release_)
    for (void* item : items_) release_(owner_, item);
  items_.clear();
}

// ---------------------------------------------------------------- the tree

TMixerControls::TMixerControls(TAudioMixer& mixer, const plat::MixerLine& line) : block_(line.controls) {
  if (!plat::MixerGetControls(mixer.Handle(), line, block_)) return;
  for (plat::MixerControl& control : block_) list_.Add(&control);
}

TMixerConnection::TMixerConnection(TAudioMixer& mixer, const plat::MixerLine& line)
    : Mixer(mixer), Line(line), Controls(mixer, line) {}

TMixerConnections::TMixerConnections(TAudioMixer& mixer, const plat::MixerLine& destination)
    : Mixer(mixer), list_([](void*, void* item) { delete static_cast<TMixerConnection*>(item); }, this) {
  for (std::uint32_t s = 0; s < destination.connections; ++s) {
    plat::MixerLine line;
    if (plat::MixerGetLine(mixer.Handle(), destination.destination, static_cast<std::int32_t>(s), line))
      list_.Add(new TMixerConnection(mixer, line));
  }
}

TMixerDestination::TMixerDestination(TAudioMixer& mixer, const plat::MixerLine& line)
    : Mixer(mixer), Line(line), Connections(mixer, line), Controls(mixer, line) {}

TMixerDestinations::TMixerDestinations()
    : list_([](void*, void* item) { delete static_cast<TMixerDestination*>(item); }, this) {}

// ---------------------------------------------------------------- TAudioMixer

TAudioMixer::TAudioMixer() : deviceCount_(plat::MixerDeviceCount()) { SetMixerId(0); }

TAudioMixer::~TAudioMixer() { Close(); }

void TAudioMixer::Close() {
  if (mixerId_ >= 0) {
    plat::MixerClose(handle_);
    handle_ = 0;
    mixerId_ = -1;
  }
  destinations_.reset();
}

void TAudioMixer::SetMixerId(int n) {
  if (deviceCount_ == 0) return;
  n = static_cast<int>(std::min<long long>(n, static_cast<long long>(deviceCount_) - 1));
  Close();
  if (n < 0 || !plat::MixerOpen(static_cast<unsigned>(n), handle_)) return;
  mixerId_ = n;

  plat::MixerCaps caps;
  if (!plat::MixerGetCaps(static_cast<unsigned>(n), caps)) caps = plat::MixerCaps();
  Manufacturer = caps.manufacturerId == plat::kMixerManufacturerMicrosoft
                     ? std::string("Microsoft")
                     : std::to_string(caps.manufacturerId) + " = Unknown";
  DriverVersion = caps.driverVersion;
  ProductId = caps.productId;
  ProductName = caps.productName;
  NumberOfLine = static_cast<int>(std::min<std::uint32_t>(caps.destinations, 0x7FFFFFFF));

  destinations_ = std::make_unique<TMixerDestinations>();
  for (int d = 0; d < NumberOfLine; ++d) {
    plat::MixerLine line;
    if (plat::MixerGetLine(handle_, static_cast<std::uint32_t>(d), -1, line))
      destinations_->Add(new TMixerDestination(*this, line));
  }
}

const TMixerControls* TAudioMixer::LineControls(int destination, int connection) const {
  const TMixerDestination* dest = destinations_ ? destinations_->Item(destination) : nullptr;
  if (!dest) return nullptr;
  if (connection == -1) return &dest->Controls;
  const TMixerConnection* source = dest->Connections.Item(connection);
  return source ? &source->Controls : nullptr;
}

bool TAudioMixer::Prepare(const plat::MixerControl& control, const plat::MixerLine& line, std::uint32_t& channels,
                          std::uint32_t& items) const {
  channels = (control.flags & plat::kMixerControlUniform) ? 1 : line.channels;
  items = (control.flags & plat::kMixerControlMultiple) ? control.items : 0;
  // A device describing more values than the buffer holds is not asked for them.
  return static_cast<std::uint64_t>(channels) * std::max<std::uint32_t>(items, 1) <= kValueRoom;
}

bool TAudioMixer::GetValues(const plat::MixerControl& control, const plat::MixerLine& line, std::uint32_t& channels) {
  std::uint32_t items;
  return Prepare(control, line, channels, items) &&
         plat::MixerGetValues(handle_, control.controlId, channels, items, values_);
}

void TAudioMixer::SetValues(const plat::MixerControl& control, const plat::MixerLine& line) {
  std::uint32_t channels, items;
  if (Prepare(control, line, channels, items))
    plat::MixerSetValues(handle_, control.controlId, channels, items, values_);
}

bool TAudioMixer::ReadLineVolume(int destination, int connection, LineVolume& v) {
  v = LineVolume();
  const TMixerControls* controls = LineControls(destination, connection);
  if (!controls) return false;
  const TMixerDestination& dest = *destinations_->Item(destination);
  const plat::MixerLine& line = connection == -1 ? dest.Line : dest.Connections.Item(connection)->Line;

  for (int i = 0; i < controls->Count() && (v.left == -1 || v.mute == -1); ++i) {
    const plat::MixerControl& c = controls->Item(i);
    if (!IsVolumeOrMute(c)) continue;
    std::uint32_t channels;
    if (!GetValues(c, line, channels)) continue;
    const bool disabled = (c.flags & plat::kMixerControlDisabled) != 0;
    if (c.type == plat::kMixerControlVolume && v.left == -1) {
      v.volumeDisabled = disabled;
      if (!disabled) {
        v.left = static_cast<std::int32_t>(values_[0]);
        if (channels > 1) {
          v.right = static_cast<std::int32_t>(values_[1]);
          v.stereo = true;
        }
      }
    } else if (c.type == plat::kMixerControlMute && v.mute == -1) {
      v.muteDisabled = disabled;
      if (!disabled) v.mute = values_[0] != 0 ? 1 : 0;
    }
  }

  // A source line without a mute of its own is "muted" when its destination's mixer or
  // selector leaves it out.
  if (connection != -1 && v.mute == -1) {
    for (int i = 0; i < dest.Controls.Count(); ++i) {
      const plat::MixerControl& c = dest.Controls.Item(i);
      if (!Has(c.type, plat::kMixerControlMixer) && !Has(c.type, plat::kMixerControlMux)) continue;
      std::uint32_t channels;
      const std::uint32_t items = (c.flags & plat::kMixerControlMultiple) ? c.items : 0;
      if (GetValues(c, dest.Line, channels) && static_cast<std::uint32_t>(connection) < channels * std::max(items, 1u))
        v.mute = static_cast<std::int32_t>(values_[connection]);
      break;
    }
  }

  if (v.left == -1) v.volumeDisabled = true;
  if (v.mute == -1) v.muteDisabled = true;
  return true;
}

bool TAudioMixer::WriteLineVolume(int destination, int connection, int left, int right, int mute) {
  const TMixerControls* controls = LineControls(destination, connection);
  if (!controls) return false;
  const TMixerDestination& dest = *destinations_->Item(destination);
  const plat::MixerLine& line = connection == -1 ? dest.Line : dest.Connections.Item(connection)->Line;

  bool levelDone = left == -1, muteDone = mute == -1;
  for (int i = 0; i < controls->Count() && !(levelDone && muteDone); ++i) {
    const plat::MixerControl& c = controls->Item(i);
    if (!IsVolumeOrMute(c)) continue;
    if (c.type == plat::kMixerControlVolume && !levelDone) {
      values_[0] = static_cast<std::uint32_t>(left);
      values_[1] = static_cast<std::uint32_t>(right == -1 ? left : right);
      levelDone = true;
    } else if (c.type == plat::kMixerControlMute && !muteDone) {
      values_[0] = static_cast<std::uint32_t>(mute);
      muteDone = true;
    } else {
      // The buffer holds whatever was read last (a mute state, another line's level): a
      // control given no value here is left as it is.
      continue;
    }
    SetValues(c, line);
  }

  if (connection != -1 && !muteDone) {
    for (int i = 0; i < dest.Controls.Count(); ++i) {
      const plat::MixerControl& c = dest.Controls.Item(i);
      if (c.type != plat::kMixerControlMixer && c.type != plat::kMixerControlMux) continue;
      std::uint32_t channels;
      const std::uint32_t items = (c.flags & plat::kMixerControlMultiple) ? c.items : 0;
      if (GetValues(c, dest.Line, channels) &&
          static_cast<std::uint32_t>(connection) < channels * std::max(items, 1u)) {
        if (c.type == plat::kMixerControlMux) std::fill(values_, values_ + channels * std::max(items, 1u), 0u);
        values_[connection] = static_cast<std::uint32_t>(mute);
        SetValues(c, dest.Line);
      }
      break;
    }
  }
  return true;
}

bool TAudioMixer::VolumeBounds(int destination, int connection, std::uint32_t& minimum, std::uint32_t& maximum) const {
  const TMixerControls* controls = LineControls(destination, connection);
  if (!controls) return false;
  for (int i = 0; i < controls->Count(); ++i) {
    const plat::MixerControl& c = controls->Item(i);
    if (IsVolumeOrMute(c) && c.type == plat::kMixerControlVolume) {
      minimum = c.minimum;
      maximum = c.maximum;
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------- the action

void ChangeMasterVolume(int step, int mute) {
  TAudioMixer mixer;
  TAudioMixer::LineVolume volume;
  if (!mixer.ReadLineVolume(0, -1, volume)) return;
  // A level that could not be read (no volume control that answers, or a disabled one)
  // is left alone: step - 1 written in its place would blast or silence the line.
  if (volume.left == -1) {
    mixer.WriteLineVolume(0, -1, -1, -1, mute);
    return;
  }
  long long level = static_cast<long long>(volume.left) + step;
  // A level past the control's bounds is refused by some devices outright, so a press
  // near the top would leave the volume where it was.
  std::uint32_t minimum, maximum;
  if (mixer.VolumeBounds(0, -1, minimum, maximum))
    level = std::min<long long>(std::max<long long>(level, minimum), maximum);
  if (level <= 0) level = 0;
  mixer.WriteLineVolume(0, -1, static_cast<int>(level), -1, mute);
}

}  // namespace kv
