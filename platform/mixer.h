#pragma once
// The audio mixer devices of the machine (the multimedia mixer interface): devices, their
// destination and source lines, the controls of a line and the controls' values.
// Every call answers whether it succeeded; on failure its outputs are unspecified.
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// An open mixer device; 0 is "none".
using MixerHandle = std::uintptr_t;

constexpr std::uint32_t kMixerControlVolume = 0x50030001;
constexpr std::uint32_t kMixerControlMute = 0x20010002;
constexpr std::uint32_t kMixerControlMixer = 0x71010001;
constexpr std::uint32_t kMixerControlMux = 0x70010001;

constexpr std::uint32_t kMixerControlUniform = 0x1;
constexpr std::uint32_t kMixerControlMultiple = 0x2;
constexpr std::uint32_t kMixerControlDisabled = 0x80000000;

// MM_MICROSOFT, the manufacturer identifier the program names.
constexpr std::uint16_t kMixerManufacturerMicrosoft = 1;

struct MixerCaps {
  std::uint16_t manufacturerId = 0;
  std::uint16_t productId = 0;
  std::uint32_t driverVersion = 0;
  std::string productName;
  std::uint32_t destinations = 0;
};

// One destination line (source = -1) or one source line of a destination.
struct MixerLine {
  std::uint32_t destination = 0;
  std::int32_t source = -1;
  std::uint32_t lineId = 0;
  std::uint32_t channels = 0;
  std::uint32_t connections = 0;  // source lines of a destination
  std::uint32_t controls = 0;
  std::string name;
};

struct MixerControl {
  std::uint32_t controlId = 0;
  std::uint32_t type = 0;
  std::uint32_t flags = 0;
  std::uint32_t items = 0;  // the item count of a control with kMixerControlMultiple
  // The bounds of the control's values as unsigned numbers (those of the volume control).
  std::uint32_t minimum = 0, maximum = 0;
};

// mixerGetNumDevs.
unsigned MixerDeviceCount();
// mixerOpen of device index, without notifications.
bool MixerOpen(unsigned index, MixerHandle& handle);
void MixerClose(MixerHandle handle);
bool MixerGetCaps(unsigned index, MixerCaps& caps);
// Destination line number destination, or (source >= 0) its source line number source.
bool MixerGetLine(MixerHandle handle, std::uint32_t destination, std::int32_t source, MixerLine& line);
// Every control of the line, in the device's order.
bool MixerGetControls(MixerHandle handle, const MixerLine& line, std::vector<MixerControl>& controls);
// The values of one control: channels x (items, or 1 when items is 0) unsigned values,
// channel by channel, each channel's items together. values must hold that many.
bool MixerGetValues(MixerHandle handle, std::uint32_t controlId, std::uint32_t channels, std::uint32_t items,
                    std::uint32_t* values);
bool MixerSetValues(MixerHandle handle, std::uint32_t controlId, std::uint32_t channels, std::uint32_t items,
                    const std::uint32_t* values);

}  // namespace plat
