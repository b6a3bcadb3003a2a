#pragma once
// Values shared by every service group of the platform layer.
#include <cstdint>

namespace plat {

// A native window as the platform knows it; 0 is "no window".
using WindowHandle = std::uintptr_t;

// Message numbers the program looks at (the Windows values, so a hook sees them as they are).
constexpr unsigned kWmDestroy = 0x0002;
constexpr unsigned kWmClose = 0x0010;
constexpr unsigned kWmHotKey = 0x0312;

}  // namespace plat
