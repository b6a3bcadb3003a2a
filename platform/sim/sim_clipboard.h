#pragma once
// The simulated clipboard: what the program put there, and when.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// One change of the clipboard: its text afterwards (none: emptied), the virtual time, and
// how many key events had been sent before it, which places it in the key stream.
struct ClipboardChange {
  std::optional<std::string> text;
  std::uint32_t tick;
  std::size_t keyEventsBefore;
};
std::vector<ClipboardChange> ClipboardChanges();

// Another program's text on the clipboard (not counted as a change).
void PutOnClipboard(const std::string& text);
// Another program holds the clipboard open: every open fails until released.
void HoldClipboard(bool held);

// Called by sim::Reset().
void ResetClipboard();

}  // namespace sim
