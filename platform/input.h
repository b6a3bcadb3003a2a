#pragma once
// Synthetic keyboard input.
#include <cstdint>

namespace plat {

constexpr std::uint32_t kKeyEventKeyUp = 0x0002;

// The scan code of a virtual key (MapVirtualKey, virtual key to scan code).
std::uint8_t ScanCodeOf(std::uint8_t vk);
// One keybd_event.
void SendKeyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags);
// Whether a key is down now, whichever program the keyboard's input goes to.
bool KeyIsDown(std::uint8_t vk);

}  // namespace plat
