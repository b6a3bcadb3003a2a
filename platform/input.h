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

// Tells a combination's new presses from the repeats of a key held down, whichever program
// has the keyboard: from WatchNewPresses on, every key-down of vk that follows its key-up,
// with exactly these modifiers (kModControl... as RegisterHotKey takes them) down, is counted.
// A combination's hotkey message comes after its key-down is counted. False when the system
// gives no way to tell. Watching the same combination again keeps the count.
bool WatchNewPresses(unsigned modifiers, std::uint8_t vk);
void StopWatchingNewPresses();
// Takes one counted press not taken yet; false when none is left.
bool TakeNewPress();

}  // namespace plat
