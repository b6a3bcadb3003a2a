#include "platform/win32/sysdll.h"

#include <string>

#include "platform/processes.h"

namespace plat {
namespace win32 {
namespace {

// The system folder: System32, on 64-bit Windows also SysWOW64 (a 32-bit program's System32).
using FolderFn = UINT(WINAPI*)(LPWSTR, UINT);
std::wstring Folder(FolderFn get) {
  wchar_t folder[MAX_PATH];
  const UINT length = get ? get(folder, MAX_PATH) : 0;
  return length && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

// Whether the module's file lies in the system folder.
bool FromSystemFolder(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  std::wstring folder(path, length);
  folder.resize(folder.find_last_of(L'\\') == std::wstring::npos ? 0 : folder.find_last_of(L'\\'));
  // Looked up: older Windows lack it.
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto wow64 = kernel ? reinterpret_cast<FolderFn>(reinterpret_cast<void*>(
                                  GetProcAddress(kernel, "GetSystemWow64DirectoryW")))
                            : nullptr;
  for (const std::wstring& system : {Folder(GetSystemDirectoryW), Folder(wow64)})
    if (!system.empty() && lstrcmpiW(folder.c_str(), system.c_str()) == 0) return true;
  return false;
}

// A module of System32, or none: one of the name that comes from elsewhere is let go.
HMODULE OnlyFromSystemFolder(HMODULE module) {
  if (module && !FromSystemFolder(module)) {
    FreeLibrary(module);
    return nullptr;
  }
  return module;
}

// Loads a DLL of System32 by its name, never one found elsewhere.
HMODULE LoadFromSystem32(const wchar_t* name) {
  // By name, a DLL of that name already loaded is what comes back, wherever it came from
  // (the system may have taken one from the program's folder before the program ran).
  if (HMODULE module = OnlyFromSystemFolder(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)))
    return module;
  // Then by its full path: also where Windows lacks the search flags (7 before its update).
  const std::wstring folder = Folder(GetSystemDirectoryW);
  if (folder.empty()) return nullptr;
  // The DLL's own imports are then looked for in its folder first.
  return OnlyFromSystemFolder(
      LoadLibraryExW((folder + L'\\' + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace

template <class Fn>
bool Find(HMODULE module, const char* name, Fn& fn) {
  // Through void*: the generic FARPROC type matches no real signature.
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return fn != nullptr;
}

#define KV_FIND(fn) Find(module, #fn, table.fn)

// Each table is filled once, at its first use (a function's statics are made once, also
// when two threads come at the same time); the program uses them from its UI thread.
const WinmmFunctions* Winmm() {
  static const WinmmFunctions* const found = []() -> const WinmmFunctions* {
    static WinmmFunctions table;
    const HMODULE module = LoadFromSystem32(L"winmm.dll");
    if (!module) return nullptr;
    const bool all = KV_FIND(mixerGetNumDevs) && KV_FIND(mixerOpen) && KV_FIND(mixerClose) &&
                     KV_FIND(mixerGetDevCapsW) && KV_FIND(mixerGetLineInfoW) && KV_FIND(mixerGetLineControlsW) &&
                     KV_FIND(mixerGetControlDetailsW) && KV_FIND(mixerSetControlDetails);
    return all ? &table : nullptr;
  }();
  return found;
}

const WinspoolFunctions* Winspool() {
  static const WinspoolFunctions* const found = []() -> const WinspoolFunctions* {
    static WinspoolFunctions table;
    const HMODULE module = LoadFromSystem32(L"winspool.drv");
    return module && KV_FIND(GetDefaultPrinterW) ? &table : nullptr;
  }();
  return found;
}

const UxthemeFunctions* Uxtheme() {
  static const UxthemeFunctions* const found = []() -> const UxthemeFunctions* {
    static UxthemeFunctions table;
    const HMODULE module = LoadFromSystem32(L"uxtheme.dll");
    return module && KV_FIND(SetWindowTheme) ? &table : nullptr;
  }();
  return found;
}

const Comdlg32Functions* Comdlg32() {
  static const Comdlg32Functions* const found = []() -> const Comdlg32Functions* {
    static Comdlg32Functions table;
    const HMODULE module = LoadFromSystem32(L"comdlg32.dll");
    return module && KV_FIND(GetOpenFileNameW) && KV_FIND(GetSaveFileNameW) ? &table : nullptr;
  }();
  return found;
}

#undef KV_FIND

}  // namespace win32

void LoadSystemDllsFromSystem32Only() {
  // Looked up: Windows 7 without its update lacks it, and then nothing changes.
  using SetDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  SetDirectoriesFn set = nullptr;
  if (kernel && win32::Find(kernel, "SetDefaultDllDirectories", set)) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace plat
