#pragma once
// The simulated clipboard: its formats as byte blobs, its sequence number, and what the
// program put there, and when.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/clipboard.h"

namespace sim {

// One change of the clipboard by the program: its text afterwards (none: emptied, or no
// text among what went back), every format it held, the virtual time, and how many key
// events had been sent before it, which places it in the key stream.
struct ClipboardChange {
  std::optional<std::string> text;
  std::uint32_t tick;
  std::size_t keyEventsBefore;
  std::vector<plat::ClipboardData> formats;
};
std::vector<ClipboardChange> ClipboardChanges();

// The registered formats that mark the program's text as private, as the simulated system
// numbers them, and whether formats carry all three as Windows reads them (history and
// cloud: a DWORD 0).
constexpr unsigned kCfExcludeFromMonitors = 0xC101, kCfCanIncludeInHistory = 0xC102, kCfCanUploadToCloud = 0xC103;
bool MarkedPrivate(const std::vector<plat::ClipboardData>& formats);

// Text is held as CF_TEXT: its bytes and a terminating zero (read back without it).
// Another program copies: its text, or these formats in this order, replace what is there.
// It moves the sequence number; it is not one of the program's changes.
void PutOnClipboard(const std::string& text);
void PutFormatsOnClipboard(const std::vector<plat::ClipboardData>& formats);
// Another program copies formats it renders only when asked: each one read takes renderMs
// of the clock (kNeverRenders: it never answers, and the reader keeps the clipboard open).
constexpr std::uint32_t kNeverRenders = 0xFFFFFFFF;
void PutRenderedOnClipboard(const std::vector<plat::ClipboardData>& formats, std::uint32_t renderMs);
// Every format the clipboard holds now, in its order.
std::vector<plat::ClipboardData> ClipboardFormats();
// Another program holds the clipboard open: every open fails until released (also a
// reader left waiting for a format that is never rendered).
void HoldClipboard(bool held);
// The system refuses the program's data: its SetClipboardText empties the clipboard, then fails.
void RefuseClipboardData(bool refused);

// Called by sim::Reset().
void ResetClipboard();
// Called by sim::ForgetRecords(): the changes recorded so far go, the clipboard stays.
void ForgetClipboardChanges();

}  // namespace sim
