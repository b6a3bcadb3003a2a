#pragma once
// System-wide hotkeys and the window hook that sees their messages.
#include <functional>

#include "platform/types.h"

namespace plat {

// Modifier flags as the operating system takes them.
constexpr unsigned kModAlt = 0x0001, kModControl = 0x0002, kModShift = 0x0004, kModWin = 0x0008;
// Added to the modifiers: a combination held down fires once, not with every repeat of
// its key. Windows before 7 refuse a registration that asks for it.
constexpr unsigned kModNoRepeat = 0x4000;

// Registers (modifiers, vk) for window under id. False when refused: combination taken,
// id outside 0x0000-0xBFFF, or id already used by that window.
bool RegisterHotKey(WindowHandle window, int id, unsigned modifiers, unsigned vk);
// Releases a registration. False when the window holds no hotkey with that id.
bool UnregisterHotKey(WindowHandle window, int id);

// A hook sees every message of the window before the window's own handling does.
// The window's handling still runs afterwards. One hook per window; a second replaces the first.
using MessageHook = std::function<void(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam)>;
void HookWindow(WindowHandle window, MessageHook hook);
// Puts the window's own handling back alone.
void UnhookWindow(WindowHandle window);

}  // namespace plat
