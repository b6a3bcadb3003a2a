#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <cstring>

#include "platform/clipboard.h"

namespace plat {
namespace {

// The clipboard's owner. Opened without a window, EmptyClipboard leaves the clipboard with
// no owner, and SetClipboardData may then refuse the data; a message-only window of our
// own owns it instead, without ever being seen.
HWND OwnerWindow() {
  static const HWND owner = [] {
    return CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
  }();
  return owner;
}

// Another program (often the one that is reading what we just put there) may hold the
// clipboard open for a moment.
class OpenedClipboard {
 public:
  OpenedClipboard() {
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      open_ = OpenClipboard(OwnerWindow()) != FALSE;
      if (!open_) Sleep(5);
    }
  }
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  explicit operator bool() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace

bool EmptyClipboard() {
  OpenedClipboard clipboard;
  return clipboard && ::EmptyClipboard();
}

bool SetClipboardText(const std::string& text) {
  // As Unicode: the system offers CF_TEXT from it to the programs that ask for that, in
  // their own code page. CP949 bytes given as CF_TEXT would be read in the system's code
  // page instead, which on a Windows that is not Korean turns Hangul into other letters.
  const std::wstring wide = win32::Wide(text);
  const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  // Filled before the clipboard is opened: a failure here leaves what is there untouched.
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    return false;
  }
  std::memcpy(target, wide.c_str(), bytes);
  GlobalUnlock(memory);
  OpenedClipboard clipboard;
  // From SetClipboardData on the system owns the memory, unless it refuses it.
  if (!clipboard || !::EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memory)) {
    GlobalFree(memory);
    return false;
  }
  return true;
}

std::optional<std::string> ClipboardText() {
  OpenedClipboard clipboard;
  if (!clipboard) return std::nullopt;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return std::nullopt;
  const auto* units = static_cast<const wchar_t*>(GlobalLock(data));
  if (!units) return std::nullopt;
  // Bounded by the block's size: a program may have put text there without its end mark.
  const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < capacity && units[length]) ++length;
  std::string text = win32::Narrow(units, length);
  GlobalUnlock(data);
  return text;
}

}  // namespace plat
