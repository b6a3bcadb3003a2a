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

// The watch of a combination's new presses: a low-level keyboard hook on a thread of its own,
// which does nothing else, so no key anywhere waits for the program's thread.
struct PressWatch {
  unsigned modifiers = 0;
  DWORD vk = 0;
  HANDLE thread = nullptr;
  DWORD threadId = 0;
  HANDLE ready = nullptr;
  bool hooked = false;
  std::atomic<long> newPresses{0};
  bool keyDown = false;  // the watched key, as the hook saw it last (the hook's thread only)
  unsigned modifierKeysDown = 0;  // as the hook saw them last (ModifierKeyBit; the hook's thread)
};

PressWatch& Watch() {
  static PressWatch watch;
  return watch;
}

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

// A modifier key's bit in PressWatch::modifierKeysDown, 0 for any other key. A key that names
// no side (as a program may send it) counts as the left one.
unsigned ModifierKeyBit(DWORD vk) {
  if (vk == VK_CONTROL) vk = VK_LCONTROL;
  else if (vk == VK_MENU) vk = VK_LMENU;
  else if (vk == VK_SHIFT) vk = VK_LSHIFT;
  for (unsigned i = 0; i < kModifierKeyCount; ++i)
    if (kModifierKeys[i].vk == vk) return 1u << i;
  return 0;
}

unsigned ModifiersOf(unsigned modifierKeysDown) {
  unsigned held = 0;
  for (unsigned i = 0; i < kModifierKeyCount; ++i)
    if (modifierKeysDown & (1u << i)) held |= kModifierKeys[i].modifier;
  return held;
}

unsigned ModifierKeysDownNow() {
  unsigned down = 0;
  for (unsigned i = 0; i < kModifierKeyCount; ++i)
    if (Down(static_cast<int>(kModifierKeys[i].vk))) down |= 1u << i;
  return down;
}

// The modifiers are followed from the events themselves, not read from the key state: a hook
// that runs late (a busy machine, a burst of keys) would otherwise judge an early press by the
// modifiers of a later moment.
LRESULT CALLBACK NewPressHook(int code, WPARAM wParam, LPARAM lParam) {
  PressWatch& w = Watch();
  const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  if (code == HC_ACTION) {
    const bool up = (key->flags & LLKHF_UP) != 0;
    if (const unsigned bit = ModifierKeyBit(key->vkCode)) {
      w.modifierKeysDown = up ? w.modifierKeysDown & ~bit : w.modifierKeysDown | bit;
    } else if (key->vkCode == w.vk) {
      if (up) {
        w.keyDown = false;
      } else if (!w.keyDown) {
        w.keyDown = true;
        if (ModifiersOf(w.modifierKeysDown) == w.modifiers) ++w.newPresses;
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI PressWatchThread(void*) {
  PressWatch& w = Watch();
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for the quit
  const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, &NewPressHook, GetModuleHandleW(nullptr), 0);
  w.hooked = hook != nullptr;
  SetEvent(w.ready);
  if (!hook) return 0;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  UnhookWindowsHookEx(hook);
  return 0;
}

}  // namespace

bool WatchNewPresses(unsigned modifiers, std::uint8_t vk) {
  PressWatch& w = Watch();
  if (w.thread && w.modifiers == modifiers && w.vk == vk) return true;
  StopWatchingNewPresses();
  w.modifiers = modifiers;
  w.vk = vk;
  w.newPresses = 0;
  w.keyDown = false;
  w.modifierKeysDown = ModifierKeysDownNow();
  w.hooked = false;
  w.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!w.ready) return false;
  w.thread = CreateThread(nullptr, 0, &PressWatchThread, nullptr, 0, &w.threadId);
  if (w.thread) WaitForSingleObject(w.ready, INFINITE);
  CloseHandle(w.ready);
  w.ready = nullptr;
  if (w.hooked) return true;
  StopWatchingNewPresses();
  return false;
}

void StopWatchingNewPresses() {
  PressWatch& w = Watch();
  if (!w.thread) return;
  PostThreadMessageW(w.threadId, WM_QUIT, 0, 0);
  WaitForSingleObject(w.thread, 5000);
  CloseHandle(w.thread);
  w.thread = nullptr;
  w.threadId = 0;
}

bool TakeNewPress() {
  PressWatch& w = Watch();
  long n = w.newPresses.load();
  while (n > 0)
    if (w.newPresses.compare_exchange_weak(n, n - 1)) return true;
  return false;
}

}  // namespace plat
