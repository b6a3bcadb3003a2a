#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include "platform/input.h"

namespace plat {

std::uint8_t ScanCodeOf(std::uint8_t vk) {
  return static_cast<std::uint8_t>(MapVirtualKeyW(vk, 0 /* MAPVK_VK_TO_VSC */));
}

void SendKeyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) { keybd_event(vk, scan, flags, 0); }

bool KeyIsDown(std::uint8_t vk) { return GetAsyncKeyState(vk) < 0; }

}  // namespace plat
