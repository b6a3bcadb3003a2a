#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include "platform/mouse.h"

namespace plat {

ScreenPoint CursorPos() {
  POINT p = {0, 0};
  if (!GetCursorPos(&p)) return {};
  return {p.x, p.y};
}

void SendMouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::uint32_t data) {
  mouse_event(flags, static_cast<DWORD>(dx), static_cast<DWORD>(dy), data, 0);
}

void MoveCursor(std::int32_t x, std::int32_t y) { SetCursorPos(x, y); }

ScreenPoint ScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

void SetBusyCursor(bool busy) {
  // The shape holds while the program works without reading its messages; the next
  // WM_SETCURSOR after the work gives every window its own shape back.
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(busy ? 32514 /* IDC_WAIT */ : 32512 /* IDC_ARROW */)));
}

}  // namespace plat
