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
};
std::vector<MouseEvent> MouseEvents();

// Called by Reset: the pointer at (0, 0), no events.
void ResetMouse();

}  // namespace sim
