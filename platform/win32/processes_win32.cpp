#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <tlhelp32.h>

#include "platform/processes.h"

namespace plat {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  ~Handle() {
    if (h_) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HANDLE h_;
};

// PROCESS_ALL_ACCESS as it was before Vista. Newer headers give 0x1FFFFF, which older
// systems refuse outright; every right that ending a process needs is in both.
constexpr DWORD kProcessAllAccess = 0x1F0FFF;

using SnapshotFn = decltype(&::CreateToolhelp32Snapshot);
using WalkFn = decltype(&::Process32FirstW);

// The tool-help functions are missing from some kernels (NT 4), so they are looked up
// when needed instead of being imported.
template <class Fn>
Fn KernelFunction(const char* name) {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return nullptr;
  // Through void*: the generic FARPROC type matches no real signature.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

}  // namespace

std::vector<ProcessEntry> SnapshotProcesses() {
  std::vector<ProcessEntry> list;
  const auto takeSnapshot = KernelFunction<SnapshotFn>("CreateToolhelp32Snapshot");
  const auto first = KernelFunction<WalkFn>("Process32FirstW");
  const auto next = KernelFunction<WalkFn>("Process32NextW");
  if (!takeSnapshot || !first || !next) return list;
  Handle snapshot(takeSnapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return list;
  PROCESSENTRY32W entry;
  entry.dwSize = sizeof(entry);
  for (BOOL ok = first(snapshot.Get(), &entry); ok; ok = next(snapshot.Get(), &entry)) {
    entry.szExeFile[MAX_PATH - 1] = L'\0';
    list.push_back({win32::Narrow(entry.szExeFile), entry.th32ProcessID});
    entry.dwSize = sizeof(entry);
  }
  return list;
}

std::uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

bool TerminateProcessById(std::uint32_t pid, std::uint32_t waitMs) {
  Handle process(OpenProcess(kProcessAllAccess, TRUE, pid));
  if (!process) return false;
  const bool terminated = TerminateProcess(process.Get(), 0) != FALSE;
  if (waitMs > 0) WaitForSingleObject(process.Get(), waitMs);
  return terminated;
}

}  // namespace plat
