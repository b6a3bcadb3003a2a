#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.h"

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
std::string ErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer ? buffer : L"", n);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  if (text.empty()) return "Windows error " + std::to_string(code);
  return win32::Narrow(text);
}

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

}  // namespace

std::string ProgramPath() { return win32::Narrow(ModulePath()); }

std::string ProgramFolder() {
  std::wstring path = ModulePath();
  const std::size_t slash = path.find_last_of(L"\\/");
  path.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return win32::Narrow(path);
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
  const std::wstring temp = target + L".tmp";
  DWORD code = ERROR_SUCCESS;
  {
    FileHandle file(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
      error = ErrorText(GetLastError());
      return false;  // nothing was created
    }
    // The data must be on the disk before the rename makes it the file, or a crash in
    // between could leave an empty work file.
    if (!WriteAll(file.Get(), contents) || !FlushFileBuffers(file.Get())) code = LastErrorOr(ERROR_WRITE_FAULT);
    if (!file.Close() && code == ERROR_SUCCESS) code = LastErrorOr(ERROR_WRITE_FAULT);
  }
  if (code == ERROR_SUCCESS &&
      !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    code = LastErrorOr(ERROR_ACCESS_DENIED);
  if (code != ERROR_SUCCESS) {
    DeleteFileW(temp.c_str());
    error = ErrorText(code);
    return false;
  }
  return true;
}

bool CopyWholeFile(const std::string& from, const std::string& to) {
  return CopyFileW(win32::Wide(from).c_str(), win32::Wide(to).c_str(), FALSE) != FALSE;
}

}  // namespace plat
