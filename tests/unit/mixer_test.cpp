// Master volume: the mixer tree, reading and writing a line, and the three volume kinds.
#include "actions/AMixer.h"
#include "actions/UnitExcuteFunction.h"
#include "core/UnitFunction.h"
#include "platform/sim/sim_mixer.h"
#include "tests/unit/test_support.h"

using namespace kv;
using Values = std::vector<std::uint32_t>;

namespace {

constexpr std::uint32_t kStereo = 0;  // flags of a control with a value per channel

sim::MixerLineModel Line(std::vector<sim::MixerControlModel> controls, std::uint32_t channels = 2) {
  sim::MixerLineModel line;
  line.channels = channels;
  line.controls = std::move(controls);
  return line;
}

// Device 0 with one destination holding a volume (control 0) and a mute (control 1).
void Speakers(Values levels, bool muted, std::uint32_t volumeFlags = plat::kMixerControlUniform) {
  sim::MixerDeviceModel device;
  device.destinations = {Line({sim::VolumeControl(std::move(levels), volumeFlags), sim::MuteControl(muted)})};
  sim::AddMixer(device);
}

Values Level() { return sim::MixerValues(0, 0, -1, 0); }
bool Muted() { return sim::MixerValues(0, 0, -1, 1).at(0) != 0; }

class MixerTest : public SimTest {};

}  // namespace

TEST_F(MixerTest, VolumeKindsChangeLevelAndMuteOfTheFirstLine) {
  struct Case {
    const char* kind;
    Values before;
    bool mutedBefore;
    Values after;
    bool mutedAfter;
  } cases[] = {
      {kKindVolumeUp, {20000, 20000}, false, {21500, 21500}, false},
      {kKindVolumeUp, {20000, 20000}, true, {21500, 21500}, false},  // a volume key unmutes
      {kKindVolumeUp, {8000, 3000}, false, {9500, 9500}, false},     // right follows left
      {kKindVolumeDown, {1500, 1500}, true, {0, 0}, false},
      {kKindVolumeDown, {20000, 20000}, false, {18500, 18500}, false},
      {kKindVolumeDown, {1499, 1499}, false, {0, 0}, false},  // floors at 0, never wraps
      {kKindVolumeDown, {0, 0}, false, {0, 0}, false},
      {kKindVolumeMute, {20000, 20000}, false, {20001, 20001}, true},
      {kKindVolumeMute, {20000, 20000}, true, {20001, 20001}, true},  // mute again does not unmute
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " from " + std::to_string(c.before[0]));
    sim::Reset();
    Speakers(c.before, c.mutedBefore, kStereo);
    ExecuteAction(c.kind, "ignoredㅡinfo");
    EXPECT_EQ(Level(), c.after);
    EXPECT_EQ(Muted(), c.mutedAfter);
    EXPECT_EQ(sim::MixersOpen(), 0);  // nothing outlives the press
  }
}

TEST_F(MixerTest, MuteTwiceAddsTwoUnits) {
  Speakers({30000}, false);
  ChangeMasterVolume(1, 1);
  ChangeMasterVolume(1, 1);
  EXPECT_EQ(Level(), Values{30002});
  EXPECT_TRUE(Muted());
}

TEST_F(MixerTest, LevelStaysWithinTheVolumeControlsBounds) {
  Speakers({65000}, true);
  ExecuteAction(kKindVolumeUp, "");
  EXPECT_EQ(Level(), Values{65535});  // a device refusing 66500 would have kept 65000
  EXPECT_FALSE(Muted());
  ExecuteAction(kKindVolumeUp, "");
  EXPECT_EQ(Level(), Values{65535});
  for (const auto& w : sim::MixerWrites()) EXPECT_TRUE(w.accepted);

  sim::Reset();
  sim::MixerControlModel narrow = sim::VolumeControl({900});
  narrow.minimum = 100;
  narrow.maximum = 1000;
  sim::MixerDeviceModel device;
  device.destinations = {Line({narrow})};
  sim::AddMixer(device);
  ChangeMasterVolume(1500, 0);
  EXPECT_EQ(Level(), Values{1000});
  ChangeMasterVolume(-1500, 0);
  EXPECT_EQ(Level(), Values{100});
}

TEST_F(MixerTest, NothingHappensWithoutAUsableFirstLine) {
  ExecuteAction(kKindVolumeUp, "");  // no mixer at all
  EXPECT_EQ(sim::MixerOpenCalls(), 0);

  sim::MixerDeviceModel broken;
  broken.failOpen = true;
  broken.destinations = {Line({sim::VolumeControl({100})})};
  sim::AddMixer(broken);
  Speakers({100}, false);  // device 1 is never used
  sim::MixerDeviceModel none;
  sim::AddMixer(none);
  ExecuteAction(kKindVolumeUp, "");
  ExecuteAction(kKindVolumeMute, "");
  EXPECT_TRUE(sim::MixerWrites().empty());
  EXPECT_EQ(sim::MixerValues(1, 0, -1, 0), Values{100});
  EXPECT_EQ(sim::MixersOpen(), 0);
}

TEST_F(MixerTest, FirstDestinationIsWhicheverTheDeviceDescribesFirst) {
  sim::MixerDeviceModel device;
  device.destinations = {Line({sim::VolumeControl({10})}), Line({sim::VolumeControl({20})}),
                         Line({sim::VolumeControl({30})})};
  device.destinations[0].failInfo = true;
  sim::AddMixer(device);
  ChangeMasterVolume(1500, 0);
  EXPECT_EQ(sim::MixerValues(0, 0, -1, 0), Values{10});
  EXPECT_EQ(sim::MixerValues(0, 1, -1, 0), Values{1520});  // moved up to position 0
  EXPECT_EQ(sim::MixerValues(0, 2, -1, 0), Values{30});
}

TEST_F(MixerTest, LineWithoutUsableVolumeChangesOnlyMute) {
  // A level that could not be read is never written: up would set it to 1499, down and
  // mute to 0.
  sim::MixerControlModel multiple = sim::VolumeControl({40000});
  multiple.flags |= plat::kMixerControlMultiple;
  multiple.items = 1;
  sim::MixerControlModel unreadable = sim::VolumeControl({40000});
  unreadable.failGet = true;
  const sim::MixerControlModel disabled =
      sim::VolumeControl({40000}, plat::kMixerControlUniform | plat::kMixerControlDisabled);
  const struct {
    const char* what;
    sim::MixerControlModel volume;
  } lines[] = {{"multiple", multiple}, {"unreadable", unreadable}, {"disabled", disabled}};
  const struct {
    const char* kind;
    bool mutedBefore, mutedAfter;
  } presses[] = {{kKindVolumeUp, true, false}, {kKindVolumeDown, true, false}, {kKindVolumeMute, false, true}};
  for (const auto& line : lines)
    for (const auto& press : presses) {
      SCOPED_TRACE(std::string(line.what) + ", " + press.kind);
      sim::Reset();
      sim::MixerDeviceModel device;
      device.destinations = {Line({line.volume, sim::MuteControl(press.mutedBefore)})};
      sim::AddMixer(device);
      ExecuteAction(press.kind, "");
      EXPECT_EQ(Level(), Values{40000});
      EXPECT_EQ(Muted(), press.mutedAfter);
    }
}

TEST_F(MixerTest, RefusedLevelStillLetsMuteThrough) {
  sim::MixerControlModel stuck = sim::VolumeControl({4000});
  stuck.failSet = true;
  sim::MixerDeviceModel device;
  device.destinations = {Line({stuck, sim::MuteControl(false)})};
  sim::AddMixer(device);
  ChangeMasterVolume(1, 1);
  EXPECT_EQ(Level(), Values{4000});
  EXPECT_TRUE(Muted());

  sim::Reset();
  sim::MixerDeviceModel noCaps;  // no capabilities, so no destination count
  noCaps.failCaps = true;
  noCaps.destinations = {Line({sim::VolumeControl({4000})})};
  sim::AddMixer(noCaps);
  ChangeMasterVolume(1500, 0);
  EXPECT_EQ(Level(), Values{4000});
  EXPECT_EQ(sim::MixersOpen(), 0);
}

TEST_F(MixerTest, ReadPicksTheFirstReadableEnabledControls) {
  sim::MixerControlModel unreadable = sim::VolumeControl({1}),
                         disabled = sim::VolumeControl({2}, plat::kMixerControlDisabled);
  unreadable.failGet = true;
  sim::MixerDeviceModel device;
  device.destinations = {Line({sim::MuteControl(true, plat::kMixerControlDisabled), unreadable, disabled,
                               sim::VolumeControl({700, 800}, kStereo), sim::MuteControl(true)}),
                         Line({sim::VolumeControl({5, 6})}, 1)};
  sim::AddMixer(device);
  TAudioMixer mixer;
  TAudioMixer::LineVolume v;
  ASSERT_TRUE(mixer.ReadLineVolume(0, -1, v));
  EXPECT_EQ(v.left, 700);
  EXPECT_EQ(v.right, 800);
  EXPECT_TRUE(v.stereo);
  EXPECT_EQ(v.mute, 1);  // the disabled mute before it is passed over
  EXPECT_FALSE(v.muteDisabled);
  EXPECT_FALSE(v.volumeDisabled);

  ASSERT_TRUE(mixer.ReadLineVolume(1, -1, v));  // uniform: one value
  EXPECT_EQ(v.left, 5);
  EXPECT_EQ(v.right, -1);
  EXPECT_FALSE(v.stereo);
  EXPECT_TRUE(v.muteDisabled);
  EXPECT_FALSE(mixer.ReadLineVolume(2, -1, v));
  EXPECT_FALSE(mixer.ReadLineVolume(0, 0, v));
}

TEST_F(MixerTest, SourceLinesAreMutedThroughTheirDestinationsMixerOrSelector) {
  auto select = [](std::uint32_t type, Values on) {
    sim::MixerControlModel c;
    c.type = type;
    c.flags = plat::kMixerControlUniform | plat::kMixerControlMultiple;
    c.items = 3;
    c.maximum = 1;
    c.values = std::move(on);
    return c;
  };
  sim::MixerDeviceModel device;
  for (std::uint32_t type : {plat::kMixerControlMixer, plat::kMixerControlMux}) {
    sim::MixerLineModel dest = Line({sim::VolumeControl({100}), select(type, {1, 0, 1})});
    dest.sources = {Line({sim::VolumeControl({11})}), Line({sim::VolumeControl({22})}), Line({sim::MuteControl(true)})};
    device.destinations.push_back(dest);
  }
  sim::AddMixer(device);
  TAudioMixer mixer;
  EXPECT_EQ(mixer.NumberOfLine, 2);
  EXPECT_EQ(mixer.Manufacturer, "Microsoft");
  TAudioMixer::LineVolume v;
  ASSERT_TRUE(mixer.ReadLineVolume(0, 1, v));
  EXPECT_EQ(v.left, 22);
  EXPECT_EQ(v.mute, 0);
  EXPECT_FALSE(v.muteDisabled);
  ASSERT_TRUE(mixer.ReadLineVolume(0, 2, v));  // its own mute wins
  EXPECT_EQ(v.mute, 1);
  EXPECT_TRUE(v.volumeDisabled);

  ASSERT_TRUE(mixer.WriteLineVolume(0, 1, 50, -1, 1));  // mixer: only that item changes
  EXPECT_EQ(sim::MixerValues(0, 0, -1, 1), (Values{1, 1, 1}));
  EXPECT_EQ(sim::MixerValues(0, 0, 1, 0), Values{50});
  ASSERT_TRUE(mixer.WriteLineVolume(1, 1, -1, -1, 1));  // selector: single choice
  EXPECT_EQ(sim::MixerValues(0, 1, -1, 1), (Values{0, 1, 0}));
  EXPECT_EQ(sim::MixerValues(0, 1, -1, 0), Values{100});
}

TEST_F(MixerTest, TreeLeavesOutWhatTheDeviceCannotDescribe) {
  sim::MixerDeviceModel first, second;
  first.manufacturerId = 255;
  second.productName = "둘째";
  sim::MixerLineModel dest = Line({sim::VolumeControl({1})});
  dest.sources = {Line({sim::VolumeControl({2})}), Line({sim::VolumeControl({3})}), Line({sim::VolumeControl({4})})};
  dest.sources[0].failInfo = true;
  dest.sources[2].failControls = true;
  first.destinations = {dest};
  sim::AddMixer(first);
  sim::AddMixer(second);

  TAudioMixer mixer;
  EXPECT_EQ(mixer.Manufacturer, "255 = Unknown");
  const TMixerDestination* d = mixer.Destinations()->Item(0);
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(d->Connections.Count(), 2);
  EXPECT_EQ(d->Connections.Item(0)->Line.source, 1);
  EXPECT_EQ(d->Connections.Item(0)->Controls.Count(), 1);
  EXPECT_EQ(d->Connections.Item(1)->Controls.Count(), 0);

  mixer.SetMixerId(7);  // lowered to the last device
  EXPECT_EQ(mixer.MixerId(), 1);
  EXPECT_EQ(mixer.ProductName, "둘째");
  EXPECT_EQ(mixer.Destinations()->Count(), 0);
  mixer.SetMixerId(-1);
  EXPECT_EQ(mixer.MixerId(), -1);
  EXPECT_EQ(mixer.Destinations(), nullptr);
  EXPECT_EQ(sim::MixersOpen(), 0);
}
