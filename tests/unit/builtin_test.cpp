// The built-in window and mouse actions: their event streams, the deferring timer and the
// form timer it rests on.
#include "actions/BuiltinActions.h"
#include "actions/UnitExcuteFunction.h"
#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/controls.h"
#include "platform/hotkeys.h"
#include "platform/input.h"
#include "platform/mouse.h"
#include "platform/msgloop.h"
#include "platform/sim/sim_mouse.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

// A key event as "+vk" (down) or "-vk" (up), with the scan code checked on the way.
std::vector<std::string> KeyStream() {
  std::vector<std::string> out;
  for (const sim::KeyEvent& e : sim::KeyEvents()) {
    char text[8];
    std::snprintf(text, sizeof text, "%c%02X", e.flags == plat::kKeyEventKeyUp ? '-' : e.flags == 0 ? '+' : '?', e.vk);
    out.push_back(text);
    EXPECT_EQ(e.scan, plat::ScanCodeOf(e.vk)) << text;
  }
  return out;
}

std::vector<std::uint32_t> MouseFlags() {
  std::vector<std::uint32_t> out;
  for (const sim::MouseEvent& e : sim::MouseEvents()) out.push_back(e.flags);
  return out;
}

using Keys = std::vector<std::string>;
// ReleaseModifiers: Ctrl, Alt, Shift, left Win, right Win, all up.
const Keys kReleases = {"-11", "-12", "-10", "-5B", "-5C"};

Keys Released(const Keys& keys) {
  Keys all = kReleases;
  all.insert(all.end(), keys.begin(), keys.end());
  return all;
}

using BuiltinTest = SimTest;

}  // namespace

TEST_F(BuiltinTest, KeyActionsSendTheirShortcutsAfterTheModifiersAreReleased) {
  const struct {
    const char* name;
    Keys keys;
  } table[] = {
      {"현재 창 최대화", {"+12", "+20", "+58", "-58", "-20", "-12"}},
      {"현재 창 이전크기로", {"+12", "+20", "+52", "-52", "-20", "-12"}},
      {"현재 창 최소화", {"+12", "+20", "+4E", "-4E", "-20", "-12"}},
      {"현재 창 닫기", {"+12", "+20", "+43", "-43", "-20", "-12"}},
      {"작업화면 모두 내리기", {"+5B", "+4D", "-4D", "-5B"}},
      {"작업화면 원래대로", {"+5B", "+10", "+4D", "-4D", "-10", "-5B"}},
      {"탐색기 열기", {"+5B", "+45", "-45", "-5B"}},
      {"파일 찾기", {"+5B", "+46", "-46", "-5B"}},
      {"컴퓨터 찾기", {"+5B", "+11", "+46", "-46", "-11", "-5B"}},
      {"실행창 열기", {"+5B", "+52", "-52", "-5B"}},
  };
  for (const auto& row : table) {
    sim::Reset();
    Tfrm_main editor;
    ExecuteAction(kKindBuiltin, row.name);
    PumpingWait(10);
    EXPECT_EQ(KeyStream(), Released(row.keys)) << row.name;
    EXPECT_TRUE(sim::MouseEvents().empty()) << row.name;
  }
}

TEST_F(BuiltinTest, MouseActionsClickWhereThePointerIsWithoutMovingIt) {
  constexpr std::uint32_t kAbs = 0x8000;
  const struct {
    const char* name;
    std::vector<std::uint32_t> flags;
  } table[] = {
      {"마우스 왼쪽 클릭", {kAbs | 0x02, kAbs | 0x04}},
      {"마우스 오른쪽 클릭", {kAbs | 0x08, kAbs | 0x10}},
      {"마우스 왼쪽 더블 클릭", {kAbs | 0x02, kAbs | 0x04, kAbs | 0x02, kAbs | 0x04}},
  };
  for (const auto& row : table) {
    sim::Reset();
    Tfrm_main editor;
    sim::SetCursorPos(-1021, 767);  // a monitor left of the primary one has negative x
    ExecuteAction(kKindBuiltin, row.name);
    PumpingWait(10);
    EXPECT_EQ(KeyStream(), kReleases) << row.name;
    EXPECT_EQ(MouseFlags(), row.flags) << row.name;
    for (const sim::MouseEvent& e : sim::MouseEvents()) {
      EXPECT_EQ(e.dx, -1021) << row.name;
      EXPECT_EQ(e.dy, 767) << row.name;
      EXPECT_EQ(e.data, 0u) << row.name;
      EXPECT_EQ(e.keyEventsBefore, kReleases.size()) << row.name << ": modifiers are released first";
    }
    EXPECT_EQ(sim::CursorX(), -1021) << row.name;
    EXPECT_EQ(sim::CursorY(), 767) << row.name;
  }
}

TEST_F(BuiltinTest, NamesAreComparedExactlyAndUnknownOnesDoNothing) {
  Tfrm_main editor;
  for (const char* name : {"현재 창 최대화 ", " 현재 창 최대화", "현재창 최대화", "마우스 왼쪽클릭", "", "x",
                           "마우스 왼쪽 더블 클릭 ", "현재 창 최대화\n"}) {
    ExecuteAction(kKindBuiltin, name);
    PumpingWait(20);
    EXPECT_TRUE(sim::KeyEvents().empty()) << '"' << name << '"';
    EXPECT_TRUE(sim::MouseEvents().empty()) << '"' << name << '"';
    EXPECT_FALSE(editor.TimerAction.Enabled()) << '"' << name << '"';
  }
}

TEST_F(BuiltinTest, WithoutTheEditorWindowAStartDoesNothing) {
  { Tfrm_main closed; }
  StartBuiltinAction("현재 창 닫기");
  PumpingWait(50);
  EXPECT_TRUE(sim::KeyEvents().empty());
}

TEST_F(BuiltinTest, EachStartFiresOnceTenMillisecondsAfterTheFirstAndTheLastNameWins) {
  sim::SetNow(5000);
  Tfrm_main editor;
  ExecuteAction(kKindBuiltin, "탐색기 열기");
  EXPECT_TRUE(editor.TimerAction.Enabled());
  EXPECT_TRUE(sim::KeyEvents().empty()) << "not inside the call";
  PumpingWait(6);
  StartBuiltinAction("실행창 열기");
  PumpingWait(3);
  EXPECT_TRUE(sim::KeyEvents().empty()) << "not before 10 ms";
  PumpingWait(1);  // 10 ms after the first start, not after the second
  EXPECT_EQ(KeyStream(), Released({"+5B", "+52", "-52", "-5B"}));
  EXPECT_FALSE(editor.TimerAction.Enabled());
  PumpingWait(500);
  EXPECT_EQ(sim::KeyEvents().size(), 9u) << "a later period without a start does nothing";
  EXPECT_EQ(editor.PendingAction, "실행창 열기") << "the name is kept";
}

TEST_F(BuiltinTest, TheHotkeyOnlyStartsTheActionWhichRunsInsideALaterWait) {
  WriteProgramFile("MyJob.ini", "d-P0-Ctrl+Win+F5-특정액션 실행-마우스 오른쪽 클릭-True-\r\n");
  Tfrm_main editor;
  sim::SetCursorPos(40, 50);
  std::vector<std::size_t> seen;
  // A handler (a multi-job, say) that presses the hotkey and then waits with messages.
  sim::At(100, [&] {
    EXPECT_TRUE(sim::PressHotKey(plat::kModControl | plat::kModWin, 0x74));
    seen.push_back(sim::MouseEvents().size());
    PumpingWait(200);
    seen.push_back(sim::MouseEvents().size());
  });
  PumpingWait(400);
  EXPECT_EQ(seen, (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(MouseFlags(), (std::vector<std::uint32_t>{0x8008, 0x8010}));
}

using FormTimerTest = SimTest;

TEST_F(FormTimerTest, EnabledTimerTicksEveryIntervalUntilDisabledOrGone) {
  std::vector<std::uint32_t> ticks;
  {
    plat::Timer timer(30);
    timer.OnTimer = [&] {
      ticks.push_back(sim::Now());
      if (ticks.size() == 3) timer.SetEnabled(false);
    };
    EXPECT_FALSE(timer.Enabled()) << "created disabled";
    timer.SetEnabled(true);
    PumpingWait(200);
    EXPECT_EQ(ticks, (std::vector<std::uint32_t>{30, 60, 90}));

    timer.SetEnabled(true);  // at 200
    PumpingWait(20);
    timer.SetInterval(50);  // restarts the countdown: next tick at 270, not 230
    PumpingWait(60);
    EXPECT_EQ(ticks.back(), 270u);
    EXPECT_EQ(timer.Interval(), 50u);
  }
  // Destroyed while enabled: no tick reaches the freed timer.
  const std::size_t count = ticks.size();
  PumpingWait(500);
  EXPECT_EQ(ticks.size(), count);
}
