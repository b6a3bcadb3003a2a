#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <cstring>
#include <string>
#include <vector>

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
  explicit OpenedClipboard(HWND owner = OwnerWindow()) {
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      open_ = OpenClipboard(owner) != FALSE;
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

// One reading of the clipboard, done on a thread of its own: asking the owner for a format
// it renders only when asked waits for that program, and the caller must be able to stop
// waiting. Shared by the two threads; the last to let go deletes it.
struct Reading {
  LONG refs = 2;
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CRITICAL_SECTION lock;
  DWORD start = GetTickCount();
  DWORD askWithinMs = 0;
  bool opened = false;
  bool givenUp = false;  // the caller has stopped waiting: nothing more goes in
  ClipboardSnapshot snapshot;

  Reading() { InitializeCriticalSection(&lock); }
  ~Reading() {
    DeleteCriticalSection(&lock);
    if (done) CloseHandle(done);
  }
  void Release() {
    if (InterlockedDecrement(&refs) == 0) delete this;
  }
  bool GivenUp() {
    EnterCriticalSection(&lock);
    const bool gone = givenUp;
    LeaveCriticalSection(&lock);
    return gone;
  }
};

// Reads what the clipboard holds into the reading, asking for formats until its time is up.
void Read(Reading* reading) {
  // Opened for this thread alone (the owner window is the caller's).
  OpenedClipboard clipboard(nullptr);
  if (!clipboard) return;
  std::vector<unsigned> listed;
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) listed.push_back(format);
  EnterCriticalSection(&reading->lock);
  reading->opened = true;
  LeaveCriticalSection(&reading->lock);
  for (unsigned format : ClipboardFormatsToKeep(listed)) {
    if (GetTickCount() - reading->start >= reading->askWithinMs || reading->GivenUp()) break;
    // A format the owner renders only when asked is rendered here; one it fails to render,
    // or a handle that is no memory block (GlobalSize 0), is not kept.
    HANDLE data = GetClipboardData(format);
    if (!data) continue;
    const SIZE_T size = GlobalSize(data);
    const char* bytes = size ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (!bytes) continue;
    std::string copy(bytes, size);
    GlobalUnlock(data);
    EnterCriticalSection(&reading->lock);
    if (!reading->givenUp) reading->snapshot.formats.push_back({format, std::move(copy)});
    LeaveCriticalSection(&reading->lock);
  }
}

// The thread that reads, started at the first reading and kept: a new thread would cost
// more than most readings. One reading at a time; while it is still in one the caller gave
// up on, it holds the clipboard open and there is nothing another reading could do.
struct Reader {
  CRITICAL_SECTION lock;
  HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HANDLE thread = nullptr;
  Reading* next = nullptr;
  bool busy = false;
  Reader() { InitializeCriticalSection(&lock); }
};

Reader& TheReader() {
  static Reader* reader = new Reader;  // lives as long as its thread: to the process's end
  return *reader;
}

DWORD WINAPI ReaderThread(void*) {
  Reader& reader = TheReader();
  for (;;) {
    WaitForSingleObject(reader.wake, INFINITE);
    EnterCriticalSection(&reader.lock);
    Reading* reading = reader.next;
    reader.next = nullptr;
    LeaveCriticalSection(&reader.lock);
    if (!reading) continue;
    Read(reading);
    EnterCriticalSection(&reader.lock);
    reader.busy = false;
    LeaveCriticalSection(&reader.lock);
    SetEvent(reading->done);
    reading->Release();
  }
}

// Hands the reading to the reader thread; false when it cannot take it.
bool HandOver(Reading* reading) {
  Reader& reader = TheReader();
  EnterCriticalSection(&reader.lock);
  bool taken = false;
  if (!reader.busy && reader.wake) {
    if (!reader.thread) reader.thread = CreateThread(nullptr, 0, ReaderThread, nullptr, 0, nullptr);
    if (reader.thread) {
      reader.next = reading;
      reader.busy = taken = true;
    }
  }
  LeaveCriticalSection(&reader.lock);
  if (taken) SetEvent(reader.wake);
  return taken;
}

// A movable block holding these bytes, for SetClipboardData; null when memory is short.
HGLOBAL BlockOf(const void* bytes, std::size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return nullptr;
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(memory);
  return memory;
}

// The registered formats that keep a text out of clipboard history and the cloud clipboard
// and tell clipboard monitors to leave it alone; 0 for one the system could not register.
struct PrivacyFormats {
  UINT excludeFromMonitors, canIncludeInHistory, canUploadToCloud;
};
const PrivacyFormats& Privacy() {
  static const PrivacyFormats formats{RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing"),
                                      RegisterClipboardFormatW(L"CanIncludeInClipboardHistory"),
                                      RegisterClipboardFormatW(L"CanUploadToCloudClipboard")};
  return formats;
}

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
  // Filled before the clipboard is opened: a failure here leaves what is there untouched.
  // The marks go on with the text: any data for the monitors' format, a DWORD 0 ("no")
  // for history and the cloud.
  const PrivacyFormats& privacy = Privacy();
  const UINT formats[] = {CF_UNICODETEXT, privacy.excludeFromMonitors, privacy.canIncludeInHistory,
                          privacy.canUploadToCloud};
  const DWORD no = 0;
  HGLOBAL blocks[4] = {BlockOf(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t)), BlockOf(&no, sizeof no),
                       BlockOf(&no, sizeof no), BlockOf(&no, sizeof no)};
  std::size_t given = 0;  // from SetClipboardData on the system owns a block, unless it refuses it
  const auto freeTheRest = [&] {
    for (std::size_t i = given; i < 4; ++i)
      if (blocks[i]) GlobalFree(blocks[i]);
  };
  for (std::size_t i = 0; i < 4; ++i) {
    if (!formats[i] || !blocks[i]) {
      freeTheRest();
      return false;
    }
  }
  OpenedClipboard clipboard;
  if (!clipboard || !::EmptyClipboard()) {
    freeTheRest();
    return false;
  }
  for (; given < 4; ++given) {
    if (!SetClipboardData(formats[given], blocks[given])) {
      freeTheRest();
      // A text without its marks does not stay where history would take it.
      if (given > 0) ::EmptyClipboard();
      return false;
    }
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

std::uint32_t ClipboardSequenceNumber() { return GetClipboardSequenceNumber(); }

std::optional<ClipboardSnapshot> SaveClipboard(std::uint32_t askWithinMs) {
  Reading* reading = new Reading;
  reading->askWithinMs = askWithinMs;
  if (!reading->done || !HandOver(reading)) {
    reading->Release();
    reading->Release();
    return std::nullopt;
  }
  // The last format asked for may take its owner up to kMostRenderWaitMs. Messages other
  // threads send to this one are handled meanwhile: the clipboard's owner may be a window
  // of ours, and opening the clipboard may wait for its thread (as under Wine). Posted
  // messages (a hotkey) wait.
  const DWORD until = GetTickCount() + askWithinMs + kMostRenderWaitMs;
  for (;;) {
    const DWORD now = GetTickCount();
    const DWORD left = static_cast<LONG>(until - now) > 0 ? until - now : 0;
    if (MsgWaitForMultipleObjects(1, &reading->done, FALSE, left, QS_SENDMESSAGE) != WAIT_OBJECT_0 + 1) break;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  EnterCriticalSection(&reading->lock);
  reading->givenUp = true;
  const bool opened = reading->opened;
  ClipboardSnapshot snapshot = std::move(reading->snapshot);
  LeaveCriticalSection(&reading->lock);
  reading->Release();
  if (!opened) return std::nullopt;
  return snapshot;
}

ClipboardRestore RestoreClipboard(const ClipboardSnapshot& snapshot, std::uint32_t expected) {
  // Every block is filled before the clipboard is opened: another program waiting to open
  // it waits no longer than the handing over takes.
  std::vector<HGLOBAL> blocks;
  const auto freeBlocks = [&blocks](std::size_t from) {
    for (std::size_t i = from; i < blocks.size(); ++i) GlobalFree(blocks[i]);
  };
  for (const ClipboardData& data : snapshot.formats) {
    HGLOBAL block = BlockOf(data.bytes.data(), data.bytes.size());
    if (!block) {
      freeBlocks(0);
      return ClipboardRestore::Busy;
    }
    blocks.push_back(block);
  }
  OpenedClipboard clipboard;
  if (!clipboard) {
    freeBlocks(0);
    return ClipboardRestore::Busy;
  }
  // While it is open here no other program can change it, so the number read now holds
  // until it is filled.
  if (GetClipboardSequenceNumber() != expected) {
    freeBlocks(0);
    return ClipboardRestore::ChangedMeanwhile;
  }
  if (!::EmptyClipboard()) {
    freeBlocks(0);
    return ClipboardRestore::Busy;
  }
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    // From SetClipboardData on the system owns the block, unless it refuses it; a refused
    // format stays out, the others still go back.
    if (!SetClipboardData(snapshot.formats[i].format, blocks[i])) GlobalFree(blocks[i]);
  }
  return ClipboardRestore::Restored;
}

}  // namespace plat
