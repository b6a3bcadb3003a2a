#include "actions/BuiltinActions.h"

#include <cstdint>
#include <vector>

#include "actions/UnitExcuteFunction.h"
#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/mouse.h"

namespace kv {

const std::array<const char*, 13> kBuiltinActionNames = {
    "현재 창 최대화",       "현재 창 이전크기로", "현재 창 최소화",   "현재 창 닫기",
    "작업화면 모두 내리기", "작업화면 원래대로",  "탐색기 열기",      "파일 찾기",
    "컴퓨터 찾기",          "실행창 열기",        "마우스 왼쪽 클릭", "마우스 오른쪽 클릭",
    "마우스 왼쪽 더블 클릭"};

namespace {

constexpr std::uint8_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkSpace = 0x20, kVkLWin = 0x5B;

// The keys go down in order and come up in reverse, with no pause between events.
void Chord(const std::vector<std::uint8_t>& keys) {
  for (std::uint8_t vk : keys) KeyDown(vk);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) KeyUp(*it);
}

// Button events where the pointer is: absolute coordinates without the move flag, so the
// pointer does not move.
void Buttons(const std::vector<std::uint32_t>& buttons) {
  if (buttons.empty()) return;
  const plat::ScreenPoint at = plat::CursorPos();
  for (std::uint32_t b : buttons) plat::SendMouseEvent(plat::kMouseEventAbsolute | b, at.x, at.y, 0);
}

struct Action {
  const char* name;
  std::vector<std::uint8_t> keys;      // a shortcut, or
  std::vector<std::uint32_t> buttons;  // button events
};

// In the order a pending name is compared: the right click comes before the left. Alt+Space
// opens the foreground window's system menu, whose items X, R, N and C maximise, restore,
// minimise and close it.
const std::vector<Action>& Actions() {
  constexpr std::uint32_t kLeftDown = plat::kMouseEventLeftDown, kLeftUp = plat::kMouseEventLeftUp;
  constexpr std::uint32_t kRightDown = plat::kMouseEventRightDown, kRightUp = plat::kMouseEventRightUp;
  const auto& n = kBuiltinActionNames;
  static const std::vector<Action> actions = {
      {n[0], {kVkMenu, kVkSpace, 'X'}, {}},
      {n[1], {kVkMenu, kVkSpace, 'R'}, {}},
      {n[2], {kVkMenu, kVkSpace, 'N'}, {}},
      {n[3], {kVkMenu, kVkSpace, 'C'}, {}},
      {n[4], {kVkLWin, 'M'}, {}},
      {n[5], {kVkLWin, kVkShift, 'M'}, {}},
      {n[6], {kVkLWin, 'E'}, {}},
      {n[7], {kVkLWin, 'F'}, {}},
      {n[8], {kVkLWin, kVkControl, 'F'}, {}},
      {n[9], {kVkLWin, 'R'}, {}},
      {n[11], {}, {kRightDown, kRightUp}},
      {n[10], {}, {kLeftDown, kLeftUp}},
      {n[12], {}, {kLeftDown, kLeftUp, kLeftDown, kLeftUp}},
  };
  return actions;
}

}  // namespace

void PerformBuiltinAction(const std::string& name) {
  for (const Action& action : Actions()) {
    if (name != action.name) continue;
    ReleaseModifiers();
    Chord(action.keys);
    Buttons(action.buttons);
    return;
  }
}

void StartBuiltinAction(const std::string& name) {
  if (frm_main) frm_main->StartBuiltinAction(name);
}

// The editor window's side, kept here beside the actions it defers.

void Tfrm_main::StartBuiltinAction(const std::string& name) {
  PendingAction = name;
  TimerAction.SetEnabled(true);
}

void Tfrm_main::TimerActionTimer() {
  // One start, one action: the timer would otherwise fire every 10 ms.
  TimerAction.SetEnabled(false);
  PerformBuiltinAction(PendingAction);
}

}  // namespace kv
