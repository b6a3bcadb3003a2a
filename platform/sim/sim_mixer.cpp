// The simulated mixer devices behind platform/mixer.h. Value requests are checked as a
// driver checks them: the channel count must be 1 or the line's, the item count that of
// a multiple-item control (0 otherwise), and a value outside the control's bounds is
// refused, as Wine's mixer refuses it.
#include "platform/sim/sim_mixer.h"

#include <algorithm>
#include <map>

#include "platform/mixer.h"

namespace {

struct ControlRef {
  unsigned destination;
  int source;
  unsigned index;
};

struct Device {
  sim::MixerDeviceSpec spec;
  std::vector<ControlRef> controls;  // a control's identifier is its position here
};

struct MixerState {
  std::vector<Device> devices;
  std::map<plat::MixerHandle, unsigned> open;  // handle -> device
  plat::MixerHandle nextHandle = 0x7000;
  int openCalls = 0;
  int calls = 0;
  std::vector<sim::MixerWrite> writes;
};

MixerState& M() {
  static MixerState state;
  return state;
}

sim::MixerLineSpec* LineOf(Device& device, unsigned destination, int source) {
  if (destination >= device.spec.destinations.size()) return nullptr;
  sim::MixerLineSpec& dest = device.spec.destinations[destination];
  if (source < 0) return &dest;
  if (static_cast<std::size_t>(source) >= dest.sources.size()) return nullptr;
  return &dest.sources[static_cast<std::size_t>(source)];
}

std::uint32_t StoredChannels(const sim::MixerControlSpec& c, const sim::MixerLineSpec& line) {
  return (c.flags & plat::kMixerControlUniform) ? 1 : line.channels;
}

std::uint32_t StoredItems(const sim::MixerControlSpec& c) {
  return (c.flags & plat::kMixerControlMultiple) ? std::max<std::uint32_t>(c.items, 1) : 1;
}

Device* DeviceOf(plat::MixerHandle handle) {
  auto it = M().open.find(handle);
  return it == M().open.end() ? nullptr : &M().devices[it->second];
}

// The control behind an identifier, with its line and its values sized to what it holds.
struct Found {
  sim::MixerControlSpec* control = nullptr;
  sim::MixerLineSpec* line = nullptr;
  ControlRef ref{};
};

Found Find(plat::MixerHandle handle, std::uint32_t controlId) {
  Found f;
  Device* device = DeviceOf(handle);
  if (!device || controlId >= device->controls.size()) return f;
  f.ref = device->controls[controlId];
  f.line = LineOf(*device, f.ref.destination, f.ref.source);
  f.control = &f.line->controls[f.ref.index];
  f.control->values.resize(StoredChannels(*f.control, *f.line) * StoredItems(*f.control), 0);
  return f;
}

bool RequestFits(const Found& f, std::uint32_t channels, std::uint32_t items) {
  const std::uint32_t stored = StoredChannels(*f.control, *f.line);
  const std::uint32_t wantedItems = (f.control->flags & plat::kMixerControlMultiple) ? f.control->items : 0;
  return channels != 0 && (channels == 1 || channels == stored) && items == wantedItems;
}

}  // namespace

namespace sim {

MixerControlSpec VolumeControl(std::vector<std::uint32_t> values, std::uint32_t flags) {
  MixerControlSpec c;
  c.type = plat::kMixerControlVolume;
  c.flags = flags;
  c.values = std::move(values);
  return c;
}

MixerControlSpec MuteControl(bool muted, std::uint32_t flags) {
  MixerControlSpec c;
  c.type = plat::kMixerControlMute;
  c.flags = flags;
  c.maximum = 1;
  c.values = {muted ? 1u : 0u};
  return c;
}

unsigned AddMixer(const MixerDeviceSpec& spec) {
  Device device{spec, {}};
  for (unsigned d = 0; d < spec.destinations.size(); ++d) {
    const MixerLineSpec& dest = spec.destinations[d];
    for (unsigned i = 0; i < dest.controls.size(); ++i) device.controls.push_back({d, -1, i});
    for (unsigned s = 0; s < dest.sources.size(); ++s)
      for (unsigned i = 0; i < dest.sources[s].controls.size(); ++i)
        device.controls.push_back({d, static_cast<int>(s), i});
  }
  M().devices.push_back(std::move(device));
  return static_cast<unsigned>(M().devices.size() - 1);
}

std::vector<std::uint32_t> MixerValues(unsigned device, unsigned destination, int source, unsigned control) {
  if (device >= M().devices.size()) return {};
  MixerLineSpec* line = LineOf(M().devices[device], destination, source);
  if (!line || control >= line->controls.size()) return {};
  MixerControlSpec& c = line->controls[control];
  c.values.resize(StoredChannels(c, *line) * StoredItems(c), 0);
  return c.values;
}

std::vector<MixerWrite> MixerWrites() { return M().writes; }
int MixersOpen() { return static_cast<int>(M().open.size()); }
int MixerOpenCalls() { return M().openCalls; }
int MixerCallsMade() { return M().calls; }

void ResetMixers() { M() = MixerState(); }

}  // namespace sim

namespace plat {

unsigned MixerDeviceCount() {
  ++M().calls;
  return static_cast<unsigned>(M().devices.size());
}

bool MixerOpen(unsigned index, MixerHandle& handle) {
  ++M().calls;
  ++M().openCalls;
  if (index >= M().devices.size() || M().devices[index].spec.failOpen) return false;
  handle = M().nextHandle++;
  M().open[handle] = index;
  return true;
}

void MixerClose(MixerHandle handle) {
  ++M().calls;
  M().open.erase(handle);
}

bool MixerGetCaps(unsigned index, MixerCaps& caps) {
  ++M().calls;
  if (index >= M().devices.size() || M().devices[index].spec.failCaps) return false;
  const sim::MixerDeviceSpec& spec = M().devices[index].spec;
  caps.manufacturerId = spec.manufacturerId;
  caps.productId = spec.productId;
  caps.driverVersion = spec.driverVersion;
  caps.productName = spec.productName;
  caps.destinations = static_cast<std::uint32_t>(spec.destinations.size());
  return true;
}

bool MixerGetLine(MixerHandle handle, std::uint32_t destination, std::int32_t source, MixerLine& line) {
  ++M().calls;
  Device* device = DeviceOf(handle);
  const sim::MixerLineSpec* spec = device ? LineOf(*device, destination, source) : nullptr;
  if (!spec || spec->failInfo) return false;
  line.destination = destination;
  line.source = source < 0 ? -1 : source;
  line.lineId = (destination << 16) | static_cast<std::uint32_t>(source + 1);
  line.channels = spec->channels;
  line.connections = source < 0 ? static_cast<std::uint32_t>(spec->sources.size()) : 0;
  line.controls = static_cast<std::uint32_t>(spec->controls.size());
  line.name = spec->name;
  return true;
}

bool MixerGetControls(MixerHandle handle, const MixerLine& line, std::vector<MixerControl>& controls) {
  ++M().calls;
  Device* device = DeviceOf(handle);
  const std::int32_t source = static_cast<std::int32_t>(line.lineId & 0xFFFF) - 1;
  const sim::MixerLineSpec* spec = device ? LineOf(*device, line.lineId >> 16, source) : nullptr;
  if (!spec || spec->failControls || spec->controls.empty() || line.controls != spec->controls.size()) return false;
  controls.resize(spec->controls.size());
  std::uint32_t id = 0;
  for (; id < device->controls.size(); ++id) {
    const ControlRef& r = device->controls[id];
    if (r.destination == (line.lineId >> 16) && r.source == source) break;
  }
  for (std::size_t i = 0; i < spec->controls.size(); ++i) {
    const sim::MixerControlSpec& c = spec->controls[i];
    controls[i] = {id + static_cast<std::uint32_t>(i), c.type, c.flags, c.items, c.minimum, c.maximum};
  }
  return true;
}

bool MixerGetValues(MixerHandle handle, std::uint32_t controlId, std::uint32_t channels, std::uint32_t items,
                    std::uint32_t* values) {
  ++M().calls;
  const Found f = Find(handle, controlId);
  if (!f.control || f.control->failGet || !RequestFits(f, channels, items)) return false;
  const std::uint32_t stored = StoredChannels(*f.control, *f.line), perChannel = StoredItems(*f.control);
  for (std::uint32_t ch = 0; ch < channels; ++ch)
    for (std::uint32_t i = 0; i < perChannel; ++i)
      values[ch * perChannel + i] = f.control->values[std::min(ch, stored - 1) * perChannel + i];
  return true;
}

bool MixerSetValues(MixerHandle handle, std::uint32_t controlId, std::uint32_t channels, std::uint32_t items,
                    const std::uint32_t* values) {
  ++M().calls;
  const Found f = Find(handle, controlId);
  if (!f.control) return false;
  const std::uint32_t perChannel = StoredItems(*f.control);
  sim::MixerWrite write{M().open[handle], f.ref.destination, f.ref.source, f.ref.index, channels, items, {}, false};
  const bool fits = RequestFits(f, channels, items);
  if (fits) write.values.assign(values, values + channels * perChannel);
  const bool inBounds = std::all_of(write.values.begin(), write.values.end(), [&](std::uint32_t v) {
    return v >= f.control->minimum && v <= f.control->maximum;
  });
  write.accepted = fits && inBounds && !f.control->failSet;
  if (write.accepted) {
    // One channel for a control that has several sets them all.
    const std::uint32_t stored = StoredChannels(*f.control, *f.line);
    for (std::uint32_t ch = 0; ch < stored; ++ch)
      for (std::uint32_t i = 0; i < perChannel; ++i)
        f.control->values[ch * perChannel + i] = values[std::min(ch, channels - 1) * perChannel + i];
  }
  M().writes.push_back(std::move(write));
  return M().writes.back().accepted;
}

}  // namespace plat
