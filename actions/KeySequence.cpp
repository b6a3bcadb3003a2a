#include "actions/KeySequence.h"

#include <cstdint>
#include <vector>

#include "actions/ClipboardLoan.h"
#include "actions/UnitExcuteFunction.h"
#include "core/UnitFunction.h"
#include "platform/clipboard.h"
#include "platform/input.h"
#include "platform/msgloop.h"

namespace kv {
namespace {

constexpr std::int32_t kItemPauseMs = 200;
constexpr std::uint8_t kVkControl = 0x11, kVkV = 0x56;

// The virtual key of a special item, 0 for a text. The names are read in any mix of
// capitals and small letters: the editor's own example writes "VK_Tab".
std::uint8_t SpecialKey(const std::string& item) {
  if (item.size() > 9) return 0;  // longer than every name
  const std::string name = UpperAscii(item);
  if (name == "VK_TAB") return 0x09;
  if (name == "VK_RETURN") return 0x0D;
  if (name == "VK_ESCAPE") return 0x1B;
  if (name == "VK_BACK") return 0x08;
  return 0;
}

int g_running = 0;  // sequences playing, each inside a wait of the one before

// A sequence cut short by the program's end leaves no count behind for the next run.
void ForgetRunning() { g_running = 0; }

class Running {
 public:
  Running() { ++g_running; }
  ~Running() { --g_running; }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;
};

}  // namespace

int RunningKeySequences() { return g_running; }

void PlayKeySequence(const std::string& info) {
  if (g_running >= kMaxRunningKeySequences) return;
  std::vector<std::string> items;
  SplitItems(info, ';', items);
  if (items.empty()) return;
  plat::ClearAtEnd(ForgetRunning);
  const Running running;
  // Ends with the sequence: the clipboard goes back after the last wait, or at once when
  // the sequence stops early.
  const ClipboardLoan loan;
  // Ctrl and Win held from the hotkey would turn Ctrl+V into Ctrl+Win+V and Tab into
  // Ctrl+Win+Tab.
  ReleaseModifiers();
  for (const std::string& item : items) {
    // Nothing more is typed once the program is ending.
    if (plat::QuitPending()) return;
    if (const std::uint8_t vk = SpecialKey(item)) {
      KeyTap(vk);
    } else if (!item.empty() && !PasteText(RestoreQuoteMarks(item))) {
      // Ctrl+V would paste what is there instead (the item before, or the user's own
      // text), and the keys after it would act on that.
      return;
    }
    PumpingWait(kItemPauseMs);
  }
}

bool PasteText(const std::string& text) {
  if (!PutTextForPaste(text)) return false;
  const std::uint32_t ours = plat::ClipboardSequenceNumber();
  PumpingWait(kItemPauseMs);
  if (plat::QuitPending()) return false;  // ending: nothing is pasted
  // Another program's copy, or a sequence started inside the wait, put its own text there:
  // ours goes on once more; a clipboard that will not keep it is not pasted from.
  if (plat::ClipboardSequenceNumber() != ours) {
    if (!PutTextForPaste(text)) return false;
  }
  // The scan-code argument is the virtual-key code itself here, not MapVirtualKey's.
  plat::SendKeyEvent(kVkControl, kVkControl, 0);
  plat::SendKeyEvent(kVkV, kVkV, 0);
  plat::SendKeyEvent(kVkV, kVkV, plat::kKeyEventKeyUp);
  plat::SendKeyEvent(kVkControl, kVkControl, plat::kKeyEventKeyUp);
  plat::ProcessPendingMessages();
  return true;
}

}  // namespace kv
