#pragma once
// Key sequences paste through the clipboard; what the user had on it is kept while they
// do and given back afterwards.
#include <cstddef>
#include <cstdint>
#include <string>

namespace kv {

// One key sequence borrowing the clipboard, from its start to its end. A sequence started
// inside another one's wait shares the outer one's loan. When the last one ends, what the
// clipboard held before the first paste goes back, unless another program has changed the
// clipboard since the last paste: then what that program put there stays. When another
// program holds the clipboard open at that moment, giving back is tried again a few times
// later from the message loop (not when the program is ending).
class ClipboardLoan {
 public:
  ClipboardLoan();
  ~ClipboardLoan();
  ClipboardLoan(const ClipboardLoan&) = delete;
  ClipboardLoan& operator=(const ClipboardLoan&) = delete;
};

// How long keeping what the clipboard holds may ask its owner for the formats it renders
// only when asked; what it has not rendered by then is not kept (see plat::SaveClipboard).
constexpr std::uint32_t kKeepWithinMs = 500;

// Puts text on the clipboard for a paste. During a loan, what the clipboard holds is kept
// first, before the loan's first change and again whenever another program has changed it
// since the loan's last one. False when the clipboard could not be read or filled (another
// program holds it open); if it was emptied but not filled, what it held still goes back
// when the loan ends.
bool PutTextForPaste(const std::string& text);

// Bytes of clipboard content kept now for giving back; 0 when none.
std::size_t ClipboardBytesKept();

}  // namespace kv
