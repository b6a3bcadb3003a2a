#pragma once
// The simulated pointer and mouse buttons, for the native tests.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

// Where the pointer is; the program reads it with CursorPos.
void SetCursorPos(std::int32_t x, std::int32_t y);
std::int32_t CursorX();
std::int32_t CursorY();

struct MouseEvent {
  std::uint32_t flags;
  std::int32_t dx, dy;
  std::uint32_t data;
  // How many key events the program had sent before this one, to tell the order of the two.
  std::size_t keyEventsBefore;
  // Where the pointer was when the event was sent.
  std::int32_t x = 0, y = 0;
};
std::vector<MouseEvent> MouseEvents();

// The primary screen's size; 1024 x 768 after Reset.
void SetScreenSize(std::int32_t width, std::int32_t height);

// The pointer shows the hourglass; and how often the program switched the shape.
bool BusyCursor();
int CursorSwitches();

// Called by Reset: the pointer at (0, 0), no events, the normal shape.
void ResetMouse();
// Called by ForgetRecords: the events recorded so far go, the pointer stays.
void ForgetMouseEvents();

}  // namespace sim
