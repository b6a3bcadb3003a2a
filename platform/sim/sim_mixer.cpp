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
  sim::MixerDeviceModel model;
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

sim::MixerLineModel* LineOf(Device& device, unsigned destination, int source) {
  if (destination >= device.model.destinations.size()) return nullptr;
  sim::MixerLineModel& dest = device.model.destinations[destination];
  if (source < 0) return &dest;
  if (static_cast<std::size_t>(source) >= dest.sources.size()) return nullptr;
  return &dest.sources[static_cast<std::size_t>(source)];
}

std::uint32_t StoredChannels(const sim::MixerControlModel& c, const sim::MixerLineModel& line) {
  return (c.flags & plat::kMixerControlUniform) ? 1 : line.channels;
}

std::uint32_t StoredItems(const sim::MixerControlModel& c) {
  return (c.flags & plat::kMixerControlMultiple) ? std::max<std::uint32_t>(c.items, 1) : 1;
}

Device* DeviceOf(plat::MixerHandle handle) {
  auto it = M().open.find(handle);
  return it == M().open.end() ? nullptr : &M().devices[it->second];
}

// The control behind an identifier, with its line and its values sized to what it holds.
struct Found {
  sim::MixerControlModel* control = nullptr;
  sim::MixerLineModel* line = nullptr;
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

MixerControlModel VolumeControl(std::vector<std::uint32_t> values, std::uint32_t flags) {
  MixerControlModel c;
  c.type = plat::kMixerControlVolume;
  c.flags = flags;
  c.values = std::move(values);
  return c;
}

MixerControlModel MuteControl(bool muted, std::uint32_t flags) {
  MixerControlModel c;
  c.type = plat::kMixerControlMute;
  c.flags = flags;
  c.maximum = 1;
  c.values = {muted ? 1u : 0u};
  return c;
}

unsigned AddMixer(const MixerDeviceModel& model) {
  Device device{model, {}};
  for (unsigned d = 0; d < model.destinations.size(); ++d) {
    const MixerLineModel& dest = model.destinations[d];
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
  MixerLineModel* line = LineOf(M().devices[device], destination, source);
  if (!line || control >= line->controls.size()) return {};
  MixerControlModel& c = line->controls[control];
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
  if (index >= M().devices.size() || M().devices[index].model.failOpen) return false;
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
  if (index >= M().devices.size() || M().devices[index].model.failCaps) return false;
  const sim::MixerDeviceModel& model = M().devices[index].model;
  caps.manufacturerId = model.manufacturerId;
  caps.productId = model.productId;
  caps.driverVersion = model.driverVersion;
  caps.productName = model.productName;
  caps.destinations = static_cast<std::uint32_t>(model.destinations.size());
  return true;
}

bool MixerGetLine(MixerHandle handle, std::uint32_t destination, std::int32_t source, MixerLine& line) {
  ++M().calls;
  Device* device = DeviceOf(handle);
  const sim::MixerLineModel* model = device ? LineOf(*device, destination, source) : nullptr;
  if (!model || model->failInfo) return false;
  line.destination = destination;
  line.source = source < 0 ? -1 : source;
  line.lineId = (destination << 16) | static_cast<std::uint32_t>(source + 1);
  line.channels = model->channels;
  line.connections = source < 0 ? static_cast<std::uint32_t>(model->sources.size()) : 0;
  line.controls = static_cast<std::uint32_t>(model->controls.size());
  line.name = model->name;
  return true;
}

bool MixerGetControls(MixerHandle handle, const MixerLine& line, std::vector<MixerControl>& controls) {
  ++M().calls;
  Device* device = DeviceOf(handle);
  const std::int32_t source = static_cast<std::int32_t>(line.lineId & 0xFFFF) - 1;
  const sim::MixerLineModel* model = device ? LineOf(*device, line.lineId >> 16, source) : nullptr;
  if (!model || model->failControls || model->controls.empty() || line.controls != model->controls.size()) return false;
  controls.resize(model->controls.size());
  std::uint32_t id = 0;
  for (; id < device->controls.size(); ++id) {
    const ControlRef& r = device->controls[id];
    if (r.destination == (line.lineId >> 16) && r.source == source) break;
  }
  for (std::size_t i = 0; i < model->controls.size(); ++i) {
    const sim::MixerControlModel& c = model->controls[i];
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
