// The simulated pointer: a position a test sets and a record of every mouse_event.
#include "platform/sim/sim_mouse.h"

#include "platform/mouse.h"
#include "platform/sim/sim.h"

namespace {

struct MouseState {
  plat::ScreenPoint cursor;
  std::vector<sim::MouseEvent> events;
  plat::ScreenPoint screen{1024, 768};
  bool busy = false;
  int switches = 0;
};

MouseState& M() {
  static MouseState state;
  return state;
}

}  // namespace

namespace sim {

void SetCursorPos(std::int32_t x, std::int32_t y) { M().cursor = {x, y}; }
std::int32_t CursorX() { return M().cursor.x; }
std::int32_t CursorY() { return M().cursor.y; }
std::vector<MouseEvent> MouseEvents() { return M().events; }
void SetScreenSize(std::int32_t width, std::int32_t height) { M().screen = {width, height}; }
bool BusyCursor() { return M().busy; }
int CursorSwitches() { return M().switches; }
void ResetMouse() { M() = MouseState(); }
void ForgetMouseEvents() { M().events.clear(); }

}  // namespace sim

namespace plat {

ScreenPoint CursorPos() { return M().cursor; }

void SendMouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::uint32_t data) {
  M().events.push_back({flags, dx, dy, data, sim::KeyEvents().size(), M().cursor.x, M().cursor.y});
  if (!(flags & kMouseEventMove)) return;
  // Absolute coordinates are taken as pixels here; the program never moves the pointer.
  plat::ScreenPoint& c = M().cursor;
  c = flags & kMouseEventAbsolute ? plat::ScreenPoint{dx, dy} : plat::ScreenPoint{c.x + dx, c.y + dy};
}

void MoveCursor(std::int32_t x, std::int32_t y) { M().cursor = {x, y}; }

ScreenPoint ScreenSize() { return M().screen; }

void SetBusyCursor(bool busy) {
  M().busy = busy;
  ++M().switches;
}

}  // namespace plat
