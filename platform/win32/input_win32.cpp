#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <atomic>

#include "platform/input.h"

namespace plat {

std::uint8_t ScanCodeOf(std::uint8_t vk) {
  return static_cast<std::uint8_t>(MapVirtualKeyW(vk, 0 /* MAPVK_VK_TO_VSC */));
}

void SendKeyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) { keybd_event(vk, scan, flags, 0); }

bool KeyIsDown(std::uint8_t vk) { return GetAsyncKeyState(vk) < 0; }

namespace {

bool Down(int vk) { return GetAsyncKeyState(vk) < 0; }

// The modifier keys, left and right apart: either side holds its modifier.
struct ModifierKey {
  DWORD vk;
  unsigned modifier;  // MOD_*
};
constexpr ModifierKey kModifierKeys[] = {
    {VK_LCONTROL, MOD_CONTROL}, {VK_RCONTROL, MOD_CONTROL}, {VK_LMENU, MOD_ALT}, {VK_RMENU, MOD_ALT},
    {VK_LSHIFT, MOD_SHIFT},     {VK_RSHIFT, MOD_SHIFT},     {VK_LWIN, MOD_WIN},  {VK_RWIN, MOD_WIN}};
constexpr unsigned kModifierKeyCount = sizeof kModifierKeys / sizeof kModifierKeys[0];

// The modifiers as a hook's own stream of key events says, not as the key state reads: a
// hook that runs late (a busy machine, a burst of keys) would otherwise judge an early press
// by the modifiers of a later moment. Used on the hook's thread only.
class HeldModifiers {
 public:
  // Starts from the key state as it is now.
  void Reset() {
    down_ = 0;
    for (unsigned i = 0; i < kModifierKeyCount; ++i)
      if (Down(static_cast<int>(kModifierKeys[i].vk))) down_ |= 1u << i;
  }
  // Follows a key event; false when the key is no modifier. A key that names no side (as a
  // program may send it) counts as the left one.
  bool Follow(const KBDLLHOOKSTRUCT& key) {
    DWORD vk = key.vkCode;
    if (vk == VK_CONTROL) vk = VK_LCONTROL;
    else if (vk == VK_MENU) vk = VK_LMENU;
    else if (vk == VK_SHIFT) vk = VK_LSHIFT;
    for (unsigned i = 0; i < kModifierKeyCount; ++i) {
      if (kModifierKeys[i].vk != vk) continue;
      down_ = key.flags & LLKHF_UP ? down_ & ~(1u << i) : down_ | 1u << i;
      return true;
    }
    return false;
  }
  unsigned Now() const {
    unsigned held = 0;
    for (unsigned i = 0; i < kModifierKeyCount; ++i)
      if (down_ & (1u << i)) held |= kModifierKeys[i].modifier;
    return held;
  }

 private:
  unsigned down_ = 0;
};

// A low-level keyboard hook on a thread of its own, which does nothing else, so no key
// anywhere waits for the program's thread.
class HookThread {
 public:
  // Waits until the hook is set; false when the system refused it.
  bool Start(HOOKPROC proc) {
    Stop();
    proc_ = proc;
    hooked_ = false;
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!ready_) return false;
    thread_ = CreateThread(nullptr, 0, &HookThread::Run, this, 0, &threadId_);
    if (thread_) WaitForSingleObject(ready_, INFINITE);
    CloseHandle(ready_);
    ready_ = nullptr;
    if (hooked_) return true;
    Stop();
    return false;
  }
  void Stop() {
    if (!thread_) return;
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    thread_ = nullptr;
    threadId_ = 0;
  }
  bool Running() const { return thread_ != nullptr; }

 private:
  static DWORD WINAPI Run(void* self) {
    auto& h = *static_cast<HookThread*>(self);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for the quit
    const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, h.proc_, GetModuleHandleW(nullptr), 0);
    h.hooked_ = hook != nullptr;
    SetEvent(h.ready_);
    if (!hook) return 0;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnhookWindowsHookEx(hook);
    return 0;
  }

  HOOKPROC proc_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
  HANDLE ready_ = nullptr;
  bool hooked_ = false;
};

// The watch of a combination's new presses.
struct PressWatch {
  HookThread hook;
  unsigned modifiers = 0;
  DWORD vk = 0;
  std::atomic<long> newPresses{0};
  bool keyDown = false;  // the watched key, as the hook saw it last (the hook's thread only)
  HeldModifiers held;
};

PressWatch& Watch() {
  static PressWatch watch;
  return watch;
}

LRESULT CALLBACK NewPressHook(int code, WPARAM wParam, LPARAM lParam) {
  PressWatch& w = Watch();
  const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  if (code == HC_ACTION && !w.held.Follow(key) && key.vkCode == w.vk) {
    if (key.flags & LLKHF_UP) {
      w.keyDown = false;
    } else if (!w.keyDown) {
      w.keyDown = true;
      if (w.held.Now() == w.modifiers) ++w.newPresses;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A key box's capture of combinations.
constexpr DWORD kVkMask = 0xE8;  // a key no keyboard has (see CaptureHook)

struct Capture {
  HookThread hook;
  std::atomic<HWND> target{nullptr};
  HeldModifiers held;
  DWORD taken = 0;  // the key of the combination taken last while it is down (the hook's thread)
};

Capture& TheCapture() {
  static Capture capture;
  return capture;
}

LRESULT CALLBACK CaptureHook(int code, WPARAM wParam, LPARAM lParam) {
  Capture& c = TheCapture();
  const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  if (code != HC_ACTION || key.vkCode == kVkMask || c.held.Follow(key))
    return CallNextHookEx(nullptr, code, wParam, lParam);
  if (key.flags & LLKHF_UP) {
    if (key.vkCode != c.taken) return CallNextHookEx(nullptr, code, wParam, lParam);
    c.taken = 0;
    return 1;
  }
  const unsigned held = c.held.Now();
  if (!TakesCombination(held, static_cast<int>(key.vkCode))) return CallNextHookEx(nullptr, code, wParam, lParam);
  if (c.taken != key.vkCode) {  // a held key's repeats are taken without a word
    c.taken = key.vkCode;
    PostMessageW(c.target, kMsgCombination, held, static_cast<LPARAM>(key.vkCode));
  }
  // Alt or Win let go with no key seen since it went down would open the window's menu or
  // the Start menu: a key no keyboard has comes between.
  if (held & (MOD_ALT | MOD_WIN)) {
    keybd_event(static_cast<BYTE>(kVkMask), 0, 0, 0);
    keybd_event(static_cast<BYTE>(kVkMask), 0, KEYEVENTF_KEYUP, 0);
  }
  return 1;
}

}  // namespace

bool WatchNewPresses(unsigned modifiers, std::uint8_t vk) {
  PressWatch& w = Watch();
  if (w.hook.Running() && w.modifiers == modifiers && w.vk == vk) return true;
  w.hook.Stop();
  w.modifiers = modifiers;
  w.vk = vk;
  w.newPresses = 0;
  w.keyDown = false;
  w.held.Reset();
  return w.hook.Start(&NewPressHook);
}

void StopWatchingNewPresses() { Watch().hook.Stop(); }

bool TakeNewPress() {
  PressWatch& w = Watch();
  long n = w.newPresses.load();
  while (n > 0)
    if (w.newPresses.compare_exchange_weak(n, n - 1)) return true;
  return false;
}

bool CaptureCombinations(WindowHandle target) {
  Capture& c = TheCapture();
  c.hook.Stop();
  c.target = reinterpret_cast<HWND>(target);
  c.held.Reset();
  c.taken = 0;
  if (c.hook.Start(&CaptureHook)) return true;
  c.target = nullptr;
  return false;
}

void StopCapturingCombinations() {
  Capture& c = TheCapture();
  c.hook.Stop();
  c.target = nullptr;
}

WindowHandle CombinationCaptureTarget() { return reinterpret_cast<WindowHandle>(TheCapture().target.load()); }

}  // namespace plat
