#pragma once
// The simulated machine's audio mixer devices: a test describes them, the program's mixer
// calls work on them, and the test reads back their values and the calls made.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/mixer.h"

namespace sim {

struct MixerControlModel {
  std::uint32_t type = plat::kMixerControlVolume;
  std::uint32_t flags = plat::kMixerControlUniform;
  std::uint32_t items = 0;  // for a control with kMixerControlMultiple
  std::uint32_t minimum = 0, maximum = 65535;
  // Channel by channel, each channel's items together (one channel when uniform); missing
  // values are 0.
  std::vector<std::uint32_t> values;
  bool failGet = false, failSet = false;
};

struct MixerLineModel {
  std::string name;
  std::uint32_t channels = 2;
  std::vector<MixerControlModel> controls;
  std::vector<MixerLineModel> sources;  // a destination's source lines
  bool failInfo = false;                // the line cannot be described
  bool failControls = false;            // its controls cannot be listed
};

struct MixerDeviceModel {
  std::uint16_t manufacturerId = plat::kMixerManufacturerMicrosoft;
  std::uint16_t productId = 104;
  std::uint32_t driverVersion = 0x0500;
  std::string productName = "Sim Mixer";
  std::vector<MixerLineModel> destinations;
  bool failOpen = false, failCaps = false;
};

// Shorthands for the usual controls.
MixerControlModel VolumeControl(std::vector<std::uint32_t> values, std::uint32_t flags = plat::kMixerControlUniform);
MixerControlModel MuteControl(bool muted, std::uint32_t flags = plat::kMixerControlUniform);

// Adds a device after the others; returns its index.
unsigned AddMixer(const MixerDeviceModel& device);

// The current values of a control (control = its position on the line; source -1 is the
// destination's own line), as many as it holds.
std::vector<std::uint32_t> MixerValues(unsigned device, unsigned destination, int source, unsigned control);

// Every value write the program asked for, refused ones included.
struct MixerWrite {
  unsigned device, destination;
  int source;
  unsigned control;
  std::uint32_t channels, items;
  std::vector<std::uint32_t> values;
  bool accepted;
};
std::vector<MixerWrite> MixerWrites();

int MixersOpen();      // devices open now
int MixerOpenCalls();  // opens attempted since the reset
int MixerCallsMade();  // every mixer call since the reset

// Called by sim::Reset.
void ResetMixers();

}  // namespace sim
