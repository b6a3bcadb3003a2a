#pragma once
// The audio mixer component: opens a mixer device, builds the tree of its destination
// lines, their source lines and every line's controls, and reads or writes the volume and
// mute of one line. ChangeMasterVolume is the one routine the action executor uses.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/mixer.h"

namespace kv {

// An ordered list of pointers. With a release callback, Clear (and so destruction) hands
// each item to it, with the owner given, before emptying the list.
class TPointerList {
 public:
  using Release = void (*)(void* owner, void* item);

  TPointerList() = default;
  TPointerList(Release release, void* owner) : release_(release), owner_(owner) {}
  ~TPointerList() { Clear(); }
  TPointerList(const TPointerList&) = delete;
  TPointerList& operator=(const TPointerList&) = delete;

  void Add(void* item) { items_.push_back(item); }
  // nullptr when index is outside the list.
  void* Item(int index) const;
  int Count() const { return static_cast<int>(items_.size()); }
  void Clear();

 private:
  std::vector<void*> items_;
  Release release_ = nullptr;
  void* owner_ = nullptr;
};

class TAudioMixer;

// The controls of one line: one block with a record per control, listed in the device's
// order. Empty when the device would not list them.
class TMixerControls {
 public:
  TMixerControls(TAudioMixer& mixer, const plat::MixerLine& line);
  int Count() const { return list_.Count(); }
  const plat::MixerControl& Item(int index) const { return *static_cast<plat::MixerControl*>(list_.Item(index)); }

 private:
  std::vector<plat::MixerControl> block_;
  TPointerList list_;
};

// One source line of a destination.
class TMixerConnection {
 public:
  TMixerConnection(TAudioMixer& mixer, const plat::MixerLine& line);
  TAudioMixer& Mixer;
  const plat::MixerLine Line;
  const TMixerControls Controls;
};

// The source lines of one destination that the device described, in index order.
class TMixerConnections {
 public:
  TMixerConnections(TAudioMixer& mixer, const plat::MixerLine& destination);
  int Count() const { return list_.Count(); }
  // nullptr when index is outside the list.
  const TMixerConnection* Item(int index) const { return static_cast<const TMixerConnection*>(list_.Item(index)); }
  TAudioMixer& Mixer;

 private:
  TPointerList list_;
};

class TMixerDestination {
 public:
  TMixerDestination(TAudioMixer& mixer, const plat::MixerLine& line);
  TAudioMixer& Mixer;
  const plat::MixerLine Line;
  // Built before the destination's own controls, as the device is asked in that order.
  const TMixerConnections Connections;
  const TMixerControls Controls;
};

// The destination lines the device described; one it would not describe is left out, so
// the later ones move up.
class TMixerDestinations {
 public:
  TMixerDestinations();
  void Add(TMixerDestination* destination) { list_.Add(destination); }
  int Count() const { return list_.Count(); }
  // nullptr when index is outside the list.
  const TMixerDestination* Item(int index) const { return static_cast<const TMixerDestination*>(list_.Item(index)); }

 private:
  TPointerList list_;
};

class TAudioMixer {
 public:
  // Counts the devices and opens device 0 when there is one.
  TAudioMixer();
  // Closes the device.
  ~TAudioMixer();
  TAudioMixer(const TAudioMixer&) = delete;
  TAudioMixer& operator=(const TAudioMixer&) = delete;

  // The open device's index, -1 when none is open.
  int MixerId() const { return mixerId_; }
  // Opens device n (lowered to the last device), closing the open one first. Does nothing
  // when the machine has no mixer device; leaves none open when n < 0 or opening fails.
  void SetMixerId(int n);

  unsigned DeviceCount() const { return deviceCount_; }
  plat::MixerHandle Handle() const { return handle_; }
  // Absent while no device is open.
  const TMixerDestinations* Destinations() const { return destinations_.get(); }

  std::string Manufacturer;
  std::uint32_t DriverVersion = 0;
  std::uint16_t ProductId = 0;
  std::string ProductName;
  int NumberOfLine = 0;

  struct LineVolume {
    int left = -1, right = -1, mute = -1;  // -1: not read
    bool stereo = false, volumeDisabled = false, muteDisabled = false;
  };
  // The level and mute of a destination's own line (connection -1) or of one of its
  // source lines. False only when that destination or source line is absent.
  bool ReadLineVolume(int destination, int connection, LineVolume& volume);
  // left -1 leaves the level alone, right -1 gives right the left level, mute -1 leaves
  // mute alone; only the first volume and the first mute control are written. False only
  // when the line is absent; the device's answers are not checked.
  bool WriteLineVolume(int destination, int connection, int left, int right, int mute);
  // The bounds of the volume control WriteLineVolume sets on that line; false without one.
  bool VolumeBounds(int destination, int connection, std::uint32_t& minimum, std::uint32_t& maximum) const;

 private:
  static constexpr std::uint32_t kValueRoom = 31;

  const TMixerControls* LineControls(int destination, int connection) const;
  // The details header of one control (channels and items), or false when its values
  // would not fit the buffer.
  bool Prepare(const plat::MixerControl& control, const plat::MixerLine& line, std::uint32_t& channels,
               std::uint32_t& items) const;
  bool GetValues(const plat::MixerControl& control, const plat::MixerLine& line, std::uint32_t& channels);
  void SetValues(const plat::MixerControl& control, const plat::MixerLine& line);
  void Close();

  unsigned deviceCount_ = 0;
  int mixerId_ = -1;
  plat::MixerHandle handle_ = 0;
  std::unique_ptr<TMixerDestinations> destinations_;
  // Every read and write goes through this one buffer.
  std::uint32_t values_[kValueRoom] = {};
};

// Volume up (+1500, 0), down (-1500, 0) and mute (+1, 1): adds step to the left level of
// the first destination line of mixer device 0, floors at 0 and stops at the volume
// control's bounds, sets every channel to it and sets mute. A level that cannot be read is
// not written: only mute is set. Fails silently.
void ChangeMasterVolume(int step, int mute);

}  // namespace kv
