// Multi-jobs on the virtual clock: the order and timing of jobs and delays, the list as it
// stands when each job's turn comes, malformed delays, cycles and held hotkeys.
#include "actions/MultiJob.h"

#include <algorithm>
#include <memory>

#include "actions/UnitExcuteFunction.h"
#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/hotkeys.h"
#include "platform/msgloop.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

constexpr unsigned kCtrlWin = plat::kModControl | plat::kModWin;
constexpr unsigned kF5 = 0x74, kF6 = 0x75, kF7 = 0x76, kF8 = 0x77;
using Texts = std::vector<std::string>;

// A work-file line; "-" inside info must be written "ㅡ", an empty field "null".
std::string Line(const std::string& id, const std::string& hotkey, const std::string& kind, const std::string& info,
                 const std::string& active = "True") {
  return "d-" + id + "-" + hotkey + "-" + kind + "-" + info + "-" + active + "-\r\n";
}
std::string Site(const std::string& id, const std::string& url, const std::string& active = "True") {
  return Line(id, "null", kKindWebSite, url, active);
}

// Every launch as "url@tick".
Texts Launches() {
  Texts all;
  for (const sim::ShellCall& c : sim::ShellCalls()) all.push_back(c.file + "@" + std::to_string(c.tick));
  return all;
}
int LaunchCount(const std::string& url) {
  int n = 0;
  for (const sim::ShellCall& c : sim::ShellCalls()) n += c.file == url;
  return n;
}

bool Press(unsigned vk) { return sim::PressHotKey(kCtrlWin, vk); }

class MultiJobTest : public SimTest {
 protected:
  // P1 "a", P3 "c", P4 "d" are web sites; the lines given follow them.
  Tfrm_main& Start(const std::string& lines) {
    WriteProgramFile("MyJob.ini", Site("P1", "a") + Site("P3", "c") + Site("P4", "d") + lines);
    editor_ = std::make_unique<Tfrm_main>();
    return *editor_;
  }
  std::unique_ptr<Tfrm_main> editor_;
};

}  // namespace

TEST_F(MultiJobTest, JobsAndDelaysRunInOrderOnTime) {
  Start(Line("P2", "Ctrl+Win+F5", kKindMultiJob, "P1;Delay=2;P3") +
        Line("P5", "Ctrl+Win+F6", kKindMultiJob, "Delay=1;P1;Delay=5;P3;Delay=0;Delay=ㅡ1;P4;;") +
        Line("P6", "Ctrl+Win+F7", kKindMultiJob, ";;"));
  sim::SetNow(1000);
  ASSERT_TRUE(Press(kF5));
  // P1, its 200 ms, the 2000 ms, P3, its 200 ms.
  EXPECT_EQ(Launches(), (Texts{"a@1000", "c@3200"}));
  EXPECT_EQ(sim::Now(), 3400u);

  sim::SetNow(10000);
  const int pumps = sim::PumpCount();
  Press(kF6);
  // Zero and negative delays ("ㅡ" is the stored "-") take one pass over the messages each.
  EXPECT_EQ(Launches(), (Texts{"a@1000", "c@3200", "a@11000", "c@16200", "d@16400"}));
  EXPECT_EQ(sim::Now(), 16600u);
  EXPECT_LE(sim::PumpCount() - pumps, 14);  // it sleeps through its waits

  Press(kF7);  // nothing but separators: nothing, no time
  EXPECT_EQ(sim::Now(), 16600u);
  EXPECT_EQ(sim::ShellCalls().size(), 5u);
}

TEST_F(MultiJobTest, DelayProductsWrapInThirtyTwoBits) {
  struct Case {
    const char* item;
    std::int32_t ms;
  };
  for (const Case& c : {Case{"Delay=2", 2000},
                        {"Delay=-1", -1000},
                        {"Delay=+3", 3000},
                        {"Delay=007", 7000},
                        {"Delay = 3", 3000},
                        {"Delay= 3=9", 3000},
                        {"Delay=2147483", 2147483000},
                        {"Delay=2147484", -2147483296},
                        {"Delay=4294968", 704},
                        {"Delay=-2147483648", 0},
                        {"Delay=2147483647", -1000}})
    EXPECT_EQ(DelayMilliseconds(c.item), c.ms) << c.item;
  for (const char* bad :
       {"Delay", "Delay=", "Delay==", "Delayed", "Delay=1e3", "Delay=3 ", "Delay=x", "Delay=-", "Delay=+", "Delay=0x10",
        "Delay='3'", "Delay=2147483648", "Delay=-2147483649", "Delay=99999999999999999999999"})
    EXPECT_FALSE(DelayMilliseconds(bad)) << bad;

  // The wrapped waits as the clock sees them: 704 ms, and a single pass for a negative one.
  Start(Line("P2", "Ctrl+Win+F5", kKindMultiJob, "Delay=4294968;P1;Delay=2147484;P3"));
  Press(kF5);
  EXPECT_EQ(Launches(), (Texts{"a@704", "c@904"}));
}

TEST_F(MultiJobTest, EachJobIsLookedUpWhenItsTurnComes) {
  Tfrm_main& editor = Start(Line("P2", "Ctrl+Win+F5", kKindMultiJob, "delay=3; P1;P4 ;P9;P7;P8;P3") +
                            Site("P7", "first") + Site("P7", "second") + Site("P8", "inactive", "False") +
                            Line("P0", "Ctrl+Win+F6", kKindMultiJob, "P1;Delay=1;P3;P1;P4"));
  Press(kF5);
  // "delay=3" is a job nobody has; " P1" matches, "P4 " does not; the first P7 runs; an
  // inactive entry runs. Every job item, found or not, is followed by 200 ms.
  EXPECT_EQ(Launches(), (Texts{"a@200", "first@800", "inactive@1000", "c@1200"}));
  EXPECT_EQ(sim::Now(), 1400u);

  // Edited during the delay (not applied): P3 deleted, P1 changed, P4 now a multi-job.
  sim::SetNow(10000);
  sim::At(10500, [&] {
    editor.WorkList.DeleteRow(1);
    editor.WorkList.SetCell(0, kColInfo, "a2");
    editor.WorkList.SetCell(1, kColKind, kKindMultiJob);
    editor.WorkList.SetCell(1, kColInfo, "P1;P1");
  });
  Press(kF6);
  EXPECT_EQ(Launches(),
            (Texts{"a@200", "first@800", "inactive@1000", "c@1200", "a@10000", "a2@11400", "a2@11600", "a2@11800"}));
  EXPECT_EQ(sim::Now(), 12200u);
}

TEST_F(MultiJobTest, HotKeysPressedDuringAWaitRunAtOnce) {
  Start(Line("P2", "Ctrl+Win+F5", kKindMultiJob, "P1;Delay=2;P3") + Line("P5", "Ctrl+Win+F6", kKindWebSite, "b"));
  sim::SetNow(1000);
  sim::At(1500, [] { Press(kF6); });
  sim::At(2000, [] { Press(kF5); });  // the same multi-job again: it runs, inside the first one's wait
  Press(kF5);
  // The second run ends at 4400; by then the first one's delay is over, so its P3 follows.
  EXPECT_EQ(Launches(), (Texts{"a@1000", "b@1500", "a@2000", "c@4200", "c@4400"}));
  EXPECT_EQ(sim::Now(), 4600u);
}

TEST_F(MultiJobTest, MalformedDelayAbandonsTheChainAndSaysSoOnce) {
  for (const char* bad : {"Delay", "Delay=", "Delay=1e3", "Delay=3 ", "Delay=x", "Delayed", "Delay=2147483648"}) {
    SCOPED_TRACE(bad);
    editor_.reset();
    sim::Reset();
    // P2 runs P6, which holds the bad delay; P5's press during P9's wait starts a chain of its own.
    Tfrm_main& editor = Start(Line("P2", "Ctrl+Win+F5", kKindMultiJob, "P1;P6;P3") +
                              Line("P6", "null", kKindMultiJob, std::string("P4;") + bad + ";P3;P4") +
                              Line("P9", "Ctrl+Win+F6", kKindMultiJob, "P1;Delay=1;P4") +
                              Line("P5", "Ctrl+Win+F7", kKindMultiJob, "P2;P3"));
    Press(kF5);
    // Nothing after the bad item runs, in P6 or in P2 that runs it, and no wait follows it.
    EXPECT_EQ(Launches(), (Texts{"a@0", "d@200"}));
    EXPECT_EQ(sim::Now(), 400u);
    ASSERT_EQ(sim::Boxes().size(), 1u);
    EXPECT_EQ(sim::Boxes()[0].caption, "알림말");
    EXPECT_EQ(sim::Boxes()[0].flags, plat::kMbOk | plat::kMbIconWarning);
    EXPECT_EQ(sim::Boxes()[0].owner, editor.Handle());
    EXPECT_NE(sim::Boxes()[0].text.find(bad), std::string::npos);

    // Another chain is not abandoned with it.
    sim::SetNow(1000);
    sim::At(1500, [] { Press(kF7); });
    Press(kF6);
    EXPECT_EQ(Launches(), (Texts{"a@0", "d@200", "a@1000", "a@1500", "d@1700", "d@2200"}));
    EXPECT_EQ(sim::Boxes().size(), 2u);
  }
}

TEST_F(MultiJobTest, AMultiJobNamingItselfEnds) {
  Start(Line("P2", "Ctrl+Win+F5", kKindMultiJob, "P1;P2;P3") + Line("P5", "Ctrl+Win+F6", kKindMultiJob, "P1;P6") +
        Line("P6", "null", kKindMultiJob, "P3;P5;P6;P4"));
  Press(kF5);
  // The item naming the running P2 is skipped; its 200 ms still pass.
  EXPECT_EQ(Launches(), (Texts{"a@0", "c@400"}));
  EXPECT_EQ(sim::Now(), 600u);

  sim::SetNow(1000);
  Press(kF6);  // P5 runs P6, which names P5 and itself
  EXPECT_EQ(Launches(), (Texts{"a@0", "c@400", "a@1000", "c@1200", "d@1800"}));
  EXPECT_EQ(sim::Now(), 2200u);

  // Started by ExecuteAction, which does not know the entry's ID: one level more, still ends.
  sim::SetNow(3000);
  ExecuteAction(kKindMultiJob, "P2");
  EXPECT_EQ(LaunchCount("a"), 3);
  EXPECT_EQ(LaunchCount("c"), 3);

  // Forty multi-jobs each naming the next, no cycle: nesting stops at the bound and ends.
  std::string lines;
  for (int i = 0; i < 40; ++i)
    lines += Line("Q" + std::to_string(i), "null", kKindMultiJob, "Q" + std::to_string(i + 1));
  editor_.reset();
  sim::Reset();
  Start(lines + Line("Q40", "null", kKindWebSite, "deepest") + Line("P0", "Ctrl+Win+F5", kKindMultiJob, "Q0"));
  Press(kF5);
  EXPECT_EQ(LaunchCount("deepest"), 0);
  EXPECT_EQ(sim::Now(), 200u * kMaxRunningMultiJobs);
}

TEST_F(MultiJobTest, ARowSharingTheIdOfARunningMultiJobStillRuns) {
  // Pressed, the second P2 names P2: that is the first P2, another entry, which runs; its
  // own item naming P2 is then the cycle and is skipped.
  Start(Line("P2", "null", kKindMultiJob, "P3;P2") + Line("P2", "Ctrl+Win+F5", kKindMultiJob, "P1;P2;P4"));
  Press(kF5);
  EXPECT_EQ(Launches(), (Texts{"a@0", "c@200", "d@800"}));
  EXPECT_EQ(sim::Now(), 1000u);
}

TEST_F(MultiJobTest, HeldHotKeyRepeatingForTenSecondsNestsBoundedAndEnds) {
  Start(Line("P2", "Ctrl+Win+F5", kKindMultiJob, "P1;Delay=2;P3"));
  // Key repeat every 33 ms for 10 s: each press arrives inside the wait of the runs before.
  int presses = 0, mostAtOnce = 0;
  for (std::uint32_t t = 0; t < 10000; t += 33) {
    sim::At(t, [&] {
      ++presses;
      Press(kF5);
      mostAtOnce = std::max(mostAtOnce, LaunchCount("a") - LaunchCount("c"));
    });
  }
  plat::RunMessageLoop();
  EXPECT_EQ(presses, 304);
  // The first presses nest up to the bound; later ones run whenever a run has ended.
  EXPECT_EQ(mostAtOnce, kMaxPressedMultiJobs);
  EXPECT_EQ(sim::ShellCalls()[0].tick, 0u);
  EXPECT_GE(LaunchCount("a"), kMaxPressedMultiJobs + 3);
  EXPECT_LE(LaunchCount("a"), 20);
  // Every run that started also finished, within the bound's worth of runs after the last press.
  EXPECT_EQ(LaunchCount("a"), LaunchCount("c"));
  EXPECT_LE(sim::Now(), 10000u + kMaxPressedMultiJobs * 2400u);

  // Released: the next press runs as usual.
  const std::uint32_t later = sim::Now() + 1000;
  sim::SetNow(later);
  Press(kF5);
  EXPECT_EQ(sim::ShellCalls().back().tick, later + 2200);
}

TEST_F(MultiJobTest, HeldHotKeyOfAMalformedMultiJobStacksBoundedBoxes) {
  Start(Line("P2", "Ctrl+Win+F5", kKindMultiJob, "P1;Delay=x"));
  // The box handles messages while it is up: the key's repeats arrive there.
  int repeats = 0;
  sim::OnBox([&](const sim::Box&) {
    if (++repeats < 300) Press(kF5);
  });
  Press(kF5);
  EXPECT_EQ(sim::Boxes().size(), static_cast<std::size_t>(kMaxPressedMultiJobs));
  EXPECT_EQ(LaunchCount("a"), kMaxPressedMultiJobs);
}
