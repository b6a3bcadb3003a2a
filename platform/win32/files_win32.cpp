#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/shell.h"

namespace plat {
namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return h_; }
  bool Close() {
    if (!Valid()) return true;
    const bool ok = CloseHandle(h_) != FALSE;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

// The system's wording for an error code, in the program's code page.
std::string ErrorText(DWORD code) { return SystemErrorText(code); }

// A failed call that left no error code must still count as a failure.
DWORD LastErrorOr(DWORD fallback) {
  const DWORD code = GetLastError();
  return code != ERROR_SUCCESS ? code : fallback;
}

std::wstring ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::wstring();
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

bool WriteAll(HANDLE h, const std::string& contents) {
  std::size_t done = 0;
  while (done < contents.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(h, contents.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

bool NameTaken(DWORD code) { return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS; }

// Creates name, which must not exist yet (CREATE_NEW: an existing file is never opened),
// holding contents on the disk. False with code set otherwise; a file it created is gone again.
bool WriteNewFile(const std::wstring& name, const std::string& contents, DWORD& code) {
  code = ERROR_SUCCESS;
  {
    FileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
      code = LastErrorOr(ERROR_ACCESS_DENIED);
      return false;
    }
    // The data must be on the disk before the file takes the target's place, or a crash in
    // between could leave an empty work file.
    if (!WriteAll(file.Get(), contents) || !FlushFileBuffers(file.Get())) code = LastErrorOr(ERROR_WRITE_FAULT);
    if (!file.Close() && code == ERROR_SUCCESS) code = LastErrorOr(ERROR_WRITE_FAULT);
  }
  if (code == ERROR_SUCCESS) return true;
  DeleteFileW(name.c_str());
  return false;
}

// A name beside the target that no user would pick, different at each call; whether it is
// free is for CREATE_NEW to say.
std::wstring TempName(const std::wstring& target) {
  static DWORD serial = 0;
  const DWORD value = (GetCurrentProcessId() * 2654435761u) ^ GetTickCount() ^ (++serial * 0x9E3779B9u);
  std::wstring name = target + L".~kv";
  for (int shift = 28; shift >= 0; shift -= 4) name += L"0123456789abcdef"[(value >> shift) & 15];
  return name + L".tmp";
}

// Writes over the file's own bytes, for a file that may not be replaced while another
// program holds it. That program's handle allows reading and writing, so ours must too.
bool WriteInPlace(const std::wstring& target, const std::string& contents, DWORD& code) {
  code = ERROR_SUCCESS;
  FileHandle file(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    code = LastErrorOr(ERROR_ACCESS_DENIED);
    return false;
  }
  if (!WriteAll(file.Get(), contents) || !SetEndOfFile(file.Get()) || !FlushFileBuffers(file.Get()))
    code = LastErrorOr(ERROR_WRITE_FAULT);
  if (!file.Close() && code == ERROR_SUCCESS) code = LastErrorOr(ERROR_WRITE_FAULT);
  return code == ERROR_SUCCESS;
}

// Wine's ReplaceFileW leaves the new file with its own attributes: a hidden work file would
// come back visible. Windows has carried them over already, and then this changes nothing.
void KeepAttributes(const std::wstring& target, DWORD before) {
  constexpr DWORD kCarried =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD now = GetFileAttributesW(target.c_str());
  if (before == INVALID_FILE_ATTRIBUTES || now == INVALID_FILE_ATTRIBUTES) return;
  const DWORD wanted = (now & ~kCarried) | (before & kCarried);
  if (wanted != now) SetFileAttributesW(target.c_str(), wanted ? wanted : FILE_ATTRIBUTE_NORMAL);
}

// ReplaceFileW's answers when another handle keeps the file from being replaced.
bool HeldByAnother(DWORD code) {
  return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION || code == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

}  // namespace

std::string ProgramPath() { return win32::Narrow(ModulePath()); }

std::string ProgramFolder() {
  std::wstring path = ModulePath();
  const std::size_t slash = path.find_last_of(L"\\/");
  path.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return win32::Narrow(path);
}

std::string WindowsFolder() {
  wchar_t buffer[MAX_PATH];
  const UINT n = GetSystemWindowsDirectoryW(buffer, MAX_PATH);
  std::wstring folder = n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring(L"C:\\Windows");
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return win32::Narrow(folder);
}

std::string ExpandEnvironmentText(const std::string& text) {
  const std::wstring wide = win32::Wide(text);
  const DWORD size = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
  if (size == 0) return text;
  std::wstring expanded(size, L'\0');
  const DWORD written = ExpandEnvironmentStringsW(wide.c_str(), &expanded[0], size);
  if (written == 0 || written > size) return text;
  expanded.resize(written - 1);
  return win32::Narrow(expanded);
}

bool RunsUnderWow64() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(win32::Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileMissing(const std::string& path) {
  if (GetFileAttributesW(win32::Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD code = GetLastError();
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

bool ReadWholeFile(const std::string& path, std::string& contents, std::string& error) {
  FileHandle file(CreateFileW(win32::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    error = ErrorText(GetLastError());
    return false;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size)) {
    error = ErrorText(GetLastError());
    return false;
  }
  if (size.QuadPart > 0x7FFFFFFF) {
    error = ErrorText(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  std::string data(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  // Another program may still be writing it: read until the end, whatever the size said.
  for (;;) {
    if (done == data.size()) data.resize(data.size() + 4096);
    DWORD got = 0;
    if (!ReadFile(file.Get(), &data[done], static_cast<DWORD>(data.size() - done), &got, nullptr)) {
      error = ErrorText(GetLastError());
      return false;
    }
    if (got == 0) break;
    done += got;
  }
  data.resize(done);
  contents = std::move(data);
  return true;
}

bool ReplaceFile(const std::string& path, const std::string& contents, std::string& error) {
  const std::wstring target = win32::Wide(path);
  std::wstring temp, old;
  DWORD code = ERROR_SUCCESS;
  // The new bytes, and an empty file that reserves the name the old file moves to while the
  // new one takes its place. Without a name of ours, Wine's ReplaceFileW makes one itself
  // and leaves it behind when it fails.
  for (std::wstring* name : {&temp, &old}) {
    for (int attempt = 0;; ++attempt) {
      *name = TempName(target);
      if (WriteNewFile(*name, name == &temp ? contents : std::string(), code)) break;
      if (!NameTaken(code) || attempt == 100) {
        if (name == &old) DeleteFileW(temp.c_str());
        error = ErrorText(code);
        return false;
      }
    }
  }
  if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND &&
      MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(old.c_str());
    return true;
  }
  // ReplaceFileW keeps what belongs to the file rather than to its bytes: attributes such as
  // hidden, the security descriptor, other streams.
  const DWORD before = GetFileAttributesW(target.c_str());
  if (ReplaceFileW(target.c_str(), temp.c_str(), old.c_str(),
                   REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr)) {
    KeepAttributes(target, before);
    DeleteFileW(old.c_str());
    return true;
  }
  code = LastErrorOr(ERROR_ACCESS_DENIED);
  // The old file has moved to the reserved name already, but the new one could not follow:
  // the old one goes back.
  if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && !MoveFileExW(old.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    error = ErrorText(code) + " " + win32::Narrow(old);
    return false;  // the reserved name holds the only copy of the old file now: it stays
  }
  DeleteFileW(temp.c_str());
  DeleteFileW(old.c_str());
  if (!HeldByAnother(code)) {
    error = ErrorText(code);
    return false;
  }
  std::string backup;
  if (!KeepBackup(path, backup)) {
    error = ErrorText(code);
    return false;
  }
  if (WriteInPlace(target, contents, code)) return true;
  error = ErrorText(code) + " " + backup;
  return false;
}

bool KeepBackup(const std::string& path, std::string& backup) {
  int n = FreeBackupNumber(path);
  backup = BackupName(path, n);
  std::string contents, error;
  if (!ReadWholeFile(path, contents, error)) return false;
  for (++n;; ++n) {
    DWORD code = ERROR_SUCCESS;
    if (WriteNewFile(win32::Wide(backup), contents, code)) return true;
    if (!NameTaken(code)) return false;
    backup = BackupName(path, n);
  }
}

bool CopyWholeFile(const std::string& from, const std::string& to) {
  return CopyFileW(win32::Wide(from).c_str(), win32::Wide(to).c_str(), FALSE) != FALSE;
}

}  // namespace plat
