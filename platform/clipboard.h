#pragma once
// The system clipboard: text for pasting, and what it held kept aside and put back.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plat {

// Empties the clipboard; false when another program holds it open.
bool EmptyClipboard();

// Empties the clipboard and puts text on it, so that every program pastes exactly these
// characters whatever its code page; false when the clipboard could not be opened or filled.
// The text goes on marked as private, as password managers mark theirs: it stays out of
// clipboard history and the cloud clipboard, and clipboard monitors leave it alone. A text
// that cannot be marked does not stay there.
bool SetClipboardText(const std::string& text);

// The text on the clipboard; none when it holds no text or cannot be opened.
std::optional<std::string> ClipboardText();

// The standard formats the keeping rules name.
constexpr unsigned kCfText = 1, kCfBitmap = 2, kCfMetafilePict = 3, kCfOemText = 7, kCfDib = 8, kCfPalette = 9,
                   kCfUnicodeText = 13, kCfEnhMetafile = 14, kCfHDrop = 15, kCfLocale = 16, kCfDibV5 = 17,
                   kCfOwnerDisplay = 0x80, kCfDspText = 0x81, kCfDspBitmap = 0x82, kCfDspMetafilePict = 0x83,
                   kCfDspEnhMetafile = 0x8E, kCfPrivateFirst = 0x200, kCfGdiObjLast = 0x3FF;

// One format of the clipboard: its number (standard or registered) and its memory block's bytes.
struct ClipboardData {
  unsigned format = 0;
  std::string bytes;
  bool operator==(const ClipboardData& o) const { return format == o.format && bytes == o.bytes; }
};

// What the clipboard held at one moment: every format that can be kept, in the clipboard's order.
struct ClipboardSnapshot {
  std::vector<ClipboardData> formats;
  // The memory the kept blocks take.
  std::size_t Bytes() const;
};

// Of the formats the clipboard lists (in its order), those a snapshot keeps: the ones held
// as plain memory. Bitmaps, palettes and metafiles are handles to system objects, and
// owner-display, private and GDI-object formats belong to the program that put them there;
// they are left out. Of each family the system converts within (the three text forms; the
// bitmap and the two device-independent bitmaps) only the first listed is kept: the system
// lists what a program put there before what it made from it, and makes those again when
// the snapshot is put back.
std::vector<unsigned> ClipboardFormatsToKeep(const std::vector<unsigned>& listed);

// The clipboard's sequence number: it moves at every change of the clipboard by any program,
// never when the clipboard is only read.
std::uint32_t ClipboardSequenceNumber();

// The longest SaveClipboard waits for one format its owner renders only when asked.
constexpr std::uint32_t kMostRenderWaitMs = 1500;

// Reads every format the clipboard holds that can be kept; none when it cannot be opened
// (another program holds it). An empty clipboard gives an empty snapshot. A program may
// put formats there that it renders only when asked, and may take its time or never
// answer: formats are asked for only until askWithinMs have passed, and one still being
// rendered after kMostRenderWaitMs is given up, with the clipboard left open until its
// owner answers. What was not read by then is left out of the snapshot.
std::optional<ClipboardSnapshot> SaveClipboard(std::uint32_t askWithinMs);

enum class ClipboardRestore {
  Restored,          // the snapshot is on the clipboard, in place of what was there
  ChangedMeanwhile,  // the sequence number had moved on: what another program put there stays
  Busy,              // another program holds the clipboard open, or it could not be filled
};

// Puts a snapshot back in place of what the clipboard holds, provided its sequence number is
// still `expected` (checked with the clipboard open, so nobody can change it in between). A
// format the system refuses stays out; the others still go back.
ClipboardRestore RestoreClipboard(const ClipboardSnapshot& snapshot, std::uint32_t expected);

}  // namespace plat
