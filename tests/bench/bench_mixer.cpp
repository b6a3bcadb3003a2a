// Time of one volume key press: the whole mixer tree is built for every press, so a device
// with many lines costs more than the single line the press changes.
#include <benchmark/benchmark.h>

#include "actions/AMixer.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_mixer.h"

namespace {

constexpr std::uint32_t kBass = 0x50030002, kTreble = 0x50030003;

sim::MixerControlModel Control(std::uint32_t type, std::uint32_t flags = 0, std::uint32_t items = 0) {
  sim::MixerControlModel c;
  c.type = type;
  c.flags = flags;
  c.items = items;
  if (type == plat::kMixerControlMute || type == plat::kMixerControlMixer) c.maximum = 1;
  return c;
}

// 8 destinations x 16 source lines, every line stereo with 4 controls.
void BigDevice() {
  sim::MixerDeviceModel device;
  for (int d = 0; d < 8; ++d) {
    sim::MixerLineModel dest;
    dest.controls = {sim::VolumeControl({30000, 30000}, 0), sim::MuteControl(false),
                     Control(plat::kMixerControlMixer, plat::kMixerControlUniform | plat::kMixerControlMultiple, 16),
                     Control(kBass)};
    for (int s = 0; s < 16; ++s) {
      sim::MixerLineModel source;
      source.controls = {sim::VolumeControl({20000, 20000}, 0), sim::MuteControl(false), Control(kBass),
                         Control(kTreble)};
      dest.sources.push_back(source);
    }
    device.destinations.push_back(dest);
  }
  sim::AddMixer(device);
}

// One destination with a volume and a mute, as Wine's mixer describes its output.
void SingleLineDevice() {
  sim::MixerDeviceModel device;
  sim::MixerLineModel dest;
  dest.controls = {sim::VolumeControl({30000}), sim::MuteControl(false)};
  device.destinations = {dest};
  sim::AddMixer(device);
}

void Presses(benchmark::State& state) {
  int step = 1500;
  for (auto _ : state) {
    kv::ChangeMasterVolume(step, 0);
    step = -step;
  }
  state.counters["mixer calls/press"] = benchmark::Counter(sim::MixerCallsMade(), benchmark::Counter::kAvgIterations);
}

void BM_VolumePress_8x16x4(benchmark::State& state) {
  sim::Reset();
  BigDevice();
  Presses(state);
}

void BM_VolumePress_SingleLine(benchmark::State& state) {
  sim::Reset();
  SingleLineDevice();
  Presses(state);
}

}  // namespace

BENCHMARK(BM_VolumePress_8x16x4);
BENCHMARK(BM_VolumePress_SingleLine);
BENCHMARK_MAIN();
