#pragma once
// The mouse pointer and synthetic mouse-button input.
#include <cstdint>

namespace plat {

// mouse_event flags, with the Windows values.
constexpr std::uint32_t kMouseEventMove = 0x0001;
constexpr std::uint32_t kMouseEventLeftDown = 0x0002;
constexpr std::uint32_t kMouseEventLeftUp = 0x0004;
constexpr std::uint32_t kMouseEventRightDown = 0x0008;
constexpr std::uint32_t kMouseEventRightUp = 0x0010;
constexpr std::uint32_t kMouseEventAbsolute = 0x8000;

struct ScreenPoint {
  std::int32_t x = 0, y = 0;
};

// The pointer's position on the screen (GetCursorPos); (0, 0) when it cannot be read.
ScreenPoint CursorPos();
// One mouse_event with dwExtraInfo 0. Without kMouseEventMove the pointer stays where it
// is, and dx and dy are ignored by the system.
void SendMouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::uint32_t data);
// Puts the pointer at a place on the screen (SetCursorPos).
void MoveCursor(std::int32_t x, std::int32_t y);
// The primary screen's width and height in pixels.
ScreenPoint ScreenSize();

// The pointer's shape over the program's windows: the hourglass while the program is busy
// and takes no input (true), the normal arrow again afterwards (false).
void SetBusyCursor(bool busy);

}  // namespace plat
