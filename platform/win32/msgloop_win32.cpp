#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/msgloop.h"

namespace plat {
namespace {

// The form window a keyboard message belongs to, or null.
HWND FormOf(const MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return nullptr;
  const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  wchar_t name[32];
  if (!root || !GetClassNameW(root, name, 32) || wcscmp(name, win32::kFormClassName) != 0) return nullptr;
  return root;
}

bool ModifierDown() { return (GetKeyState(VK_CONTROL) | GetKeyState(VK_MENU) | GetKeyState(VK_SHIFT)) < 0; }

// A menu shortcut works wherever the focus is in the form, ahead of the focused control.
// Tab, arrows, Enter and Escape move between a form's controls as in a dialog box.
// Alt+F4 closes the form from any of its controls: some combo boxes (Wine's among them)
// swallow it instead of leaving it to the default handling that would close the window.
bool HandledAsFormKey(MSG& msg) {
  const HWND form = FormOf(msg);
  if (!form) return false;
  if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4 && (HIWORD(msg.lParam) & KF_ALTDOWN) && msg.hwnd != form) {
    PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  }
  if (msg.message == WM_KEYDOWN && !ModifierDown() && SendMessageW(form, win32::kMsgFormShortcut, msg.wParam, 0) != 0)
    return true;
  return IsDialogMessageW(form, &msg) != FALSE;
}

void Dispatch(MSG& msg) { win32::DispatchForForms(msg); }

using TimerFn = std::shared_ptr<std::function<void()>>;

std::map<UINT_PTR, TimerFn>& Timers() {
  static std::map<UINT_PTR, TimerFn> timers;
  return timers;
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto& timers = Timers();
  auto it = timers.find(id);
  // A WM_TIMER may still be queued for a timer that was just killed.
  if (it == timers.end()) return;
  const TimerFn fn = std::move(it->second);
  timers.erase(it);
  // Killed before it runs, so a handler that pumps messages cannot see it fire again.
  KillTimer(nullptr, id);
  win32::Guarded([&] { (*fn)(); });
}

// Set while a quit this module put back is waiting for the loop to take it.
bool g_quitPending = false;
// Set from the quit until the outer loop takes it.
bool g_ending = false;

}  // namespace

namespace win32 {
void DispatchForForms(MSG& msg) {
  if (HandledAsFormKey(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}
}  // namespace win32

std::uint32_t GetTickCount() { return ::GetTickCount(); }

void ProcessPendingMessages() {
  // The quit is a flag, not a queued message: the system hands it out as soon as no
  // posted message is waiting, ahead of due timers and repaints. Taken here, it would
  // never reach the loop that waits for it, and put back at once it would hide those
  // timers and repaints, which then stay due and wake every wait (a spinning core). So
  // the quit is held while everything else is handled, and put back at the end.
  bool quit = false;
  int exitCode = 0;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      g_ending = true;
      exitCode = static_cast<int>(msg.wParam);
      continue;
    }
    Dispatch(msg);
  }
  if (quit) {
    PostQuitMessage(exitCode);
    g_quitPending = true;
  }
}

void WaitForMessage(std::uint32_t timeoutMs) {
  // A waiting quit counts as a posted message and would end every wait at once, so a
  // pumping wait between the quit and the end of the loop would spin a core. Until the
  // loop takes the quit, posted messages do not end the wait; everything else still does.
  const DWORD wake = g_quitPending ? (QS_ALLINPUT & ~(QS_POSTMESSAGE | QS_ALLPOSTMESSAGE)) : QS_ALLINPUT;
  // MWMO_INPUTAVAILABLE: also wake for messages that are waiting but were already seen by
  // an earlier peek, which a plain wait ignores until something new arrives.
  MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, wake, MWMO_INPUTAVAILABLE);
}

static std::vector<void (*)()>& ClearedAtEnd() {
  static std::vector<void (*)()> clear;
  return clear;
}

void ClearAtEnd(void (*clear)()) {
  auto& all = ClearedAtEnd();
  if (std::find(all.begin(), all.end(), clear) == all.end()) all.push_back(clear);
}

int RunMessageLoop() {
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      g_quitPending = false;
      g_ending = false;
      for (void (*clear)() : ClearedAtEnd()) clear();
      return static_cast<int>(msg.wParam);
    }
    if (got == -1) return 0;
    Dispatch(msg);
  }
}

void QuitMessageLoop(int exitCode) {
  g_ending = true;
  PostQuitMessage(exitCode);
}

bool QuitPending() { return g_ending; }

unsigned StartOneShotTimer(std::uint32_t delayMs, std::function<void()> fn) {
  const UINT_PTR id = SetTimer(nullptr, 0, delayMs, &TimerProc);
  if (id == 0) return 0;
  Timers()[id] = std::make_shared<std::function<void()>>(std::move(fn));
  return static_cast<unsigned>(id);
}

void CancelTimer(unsigned id) {
  if (id == 0) return;
  auto& timers = Timers();
  auto it = timers.find(id);
  if (it == timers.end()) return;
  timers.erase(it);
  KillTimer(nullptr, id);
}

}  // namespace plat
