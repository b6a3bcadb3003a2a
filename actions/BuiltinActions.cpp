#include "actions/BuiltinActions.h"

#include <cstdint>
#include <initializer_list>
#include <iterator>

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
void Chord(std::initializer_list<std::uint8_t> keys) {
  for (std::uint8_t vk : keys) KeyDown(vk);
  for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) KeyUp(*it);
}

// Alt+Space opens the foreground window's system menu; the letter picks its item.
void SystemMenu(char letter) { Chord({kVkMenu, kVkSpace, static_cast<std::uint8_t>(letter)}); }

// Button events where the pointer is: absolute coordinates without the move flag, so the
// pointer does not move.
void Buttons(std::initializer_list<std::uint32_t> buttons) {
  const plat::ScreenPoint at = plat::CursorPos();
  for (std::uint32_t b : buttons) plat::SendMouseEvent(plat::kMouseEventAbsolute | b, at.x, at.y, 0);
}

constexpr std::uint32_t kLeftDown = plat::kMouseEventLeftDown, kLeftUp = plat::kMouseEventLeftUp;
constexpr std::uint32_t kRightDown = plat::kMouseEventRightDown, kRightUp = plat::kMouseEventRightUp;

struct Action {
  const char* name;
  void (*perform)();
};

// The order in which a pending name is compared: the right click comes before the left.
const Action kActions[] = {
    {kBuiltinActionNames[0], [] { SystemMenu('X'); }},
    {kBuiltinActionNames[1], [] { SystemMenu('R'); }},
    {kBuiltinActionNames[2], [] { SystemMenu('N'); }},
    {kBuiltinActionNames[3], [] { SystemMenu('C'); }},
    {kBuiltinActionNames[4],
     [] {
       Chord({kVkLWin, 'M'});
     }},
    {kBuiltinActionNames[5],
     [] {
       Chord({kVkLWin, kVkShift, 'M'});
     }},
    {kBuiltinActionNames[6],
     [] {
       Chord({kVkLWin, 'E'});
     }},
    {kBuiltinActionNames[7],
     [] {
       Chord({kVkLWin, 'F'});
     }},
    {kBuiltinActionNames[8],
     [] {
       Chord({kVkLWin, kVkControl, 'F'});
     }},
    {kBuiltinActionNames[9],
     [] {
       Chord({kVkLWin, 'R'});
     }},
    {kBuiltinActionNames[11],
     [] {
       Buttons({kRightDown, kRightUp});
     }},
    {kBuiltinActionNames[10],
     [] {
       Buttons({kLeftDown, kLeftUp});
     }},
    {kBuiltinActionNames[12],
     [] {
       Buttons({kLeftDown, kLeftUp, kLeftDown, kLeftUp});
     }},
};

}  // namespace

void PerformBuiltinAction(const std::string& name) {
  for (const Action& action : kActions) {
    if (name != action.name) continue;
    ReleaseModifiers();
    action.perform();
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
