// planted.cpp - a DLL named as a system DLL that is no Known DLL (winmm.dll, winspool.drv,
// uxtheme.dll), which a test puts beside Keyvane.exe, as a DLL left in Downloads lies
// beside what is run from there.  Loaded into a program, it writes
// C:\planted-<its file name>.txt naming that program.  As uxtheme.dll it exports
// SetWindowTheme, which writes C:\planted-uxtheme.dll-used.txt when called; it exports
// nothing else.
#include <windows.h>

#include <cwchar>

namespace {

HINSTANCE g_self;

void mark(const wchar_t* suffix) {
  wchar_t dll[MAX_PATH] = L"", exe[MAX_PATH] = L"", marker[MAX_PATH + 32];
  GetModuleFileNameW(g_self, dll, MAX_PATH);
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const wchar_t* name = std::wcsrchr(dll, L'\\');
  std::swprintf(marker, MAX_PATH + 32, L"C:\\planted-%ls%ls.txt", name ? name + 1 : dll, suffix);
  HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, exe, static_cast<DWORD>(std::wcslen(exe) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
  }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  g_self = self;
  if (reason == DLL_PROCESS_ATTACH) mark(L"");
  return TRUE;
}

#ifdef PLANTED_UXTHEME
extern "C" __declspec(dllexport) HRESULT WINAPI SetWindowTheme(HWND, LPCWSTR, LPCWSTR) {
  mark(L"-used");
  return S_OK;
}
#endif
