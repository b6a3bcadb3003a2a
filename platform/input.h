#pragma once
// Synthetic keyboard input.
#include <cstdint>

#include "platform/types.h"

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

// Capture for a key box. Whether the box takes vk pressed with these modifiers (kModControl...):
// at least one modifier, and a key that is neither a modifier nor Esc nor Tab; Alt+F4 is not
// taken either. These keep their meaning.
bool TakesCombination(unsigned modifiers, int vk);
// From CaptureCombinations on, every key-down the box takes is taken from the whole keyboard
// before any hotkey (this program's or another's) or window sees it, and arrives at target as
// the message kMsgCombination (wParam the modifiers, lParam the key), once for a key held down.
// Keys the system keeps for itself are never seen. One capture at a time: a new one ends the
// last. False when the system gives no way.
constexpr unsigned kMsgCombination = 0x8000 + 0x2B0;  // in the application's range
bool CaptureCombinations(WindowHandle target);
void StopCapturingCombinations();
// The window the capture reports to, or 0 when none runs.
WindowHandle CombinationCaptureTarget();

}  // namespace plat
