#pragma once
// The Windows headers for the win32 backend, and the CP949 <-> UTF-16 conversions at the seam.
// The program's texts are CP949 bytes whatever the system code page is, so the backend calls
// the W functions and converts with code page 949 itself.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// These macros would rename the platform functions of the same names.
#undef MessageBox
#undef ReplaceFile
#undef ExitWindows
#undef WriteProfileString

#include <string>

namespace plat::win32 {

constexpr UINT kTextCodePage = 949;

// Windows without the Korean tables (old systems without East Asian support) still get
// something readable through the system code page.
inline std::wstring Wide(const char* text, std::size_t size) {
  if (size == 0) return std::wstring();
  const int n = static_cast<int>(size);
  UINT cp = kTextCodePage;
  int len = MultiByteToWideChar(cp, 0, text, n, nullptr, 0);
  if (len <= 0) {
    cp = CP_ACP;
    len = MultiByteToWideChar(cp, 0, text, n, nullptr, 0);
    if (len <= 0) return std::wstring();
  }
  std::wstring out(static_cast<std::size_t>(len), L'\0');
  MultiByteToWideChar(cp, 0, text, n, &out[0], len);
  return out;
}

inline std::wstring Wide(const std::string& text) { return Wide(text.data(), text.size()); }

inline std::string Narrow(const wchar_t* text, std::size_t size) {
  if (size == 0) return std::string();
  const int n = static_cast<int>(size);
  UINT cp = kTextCodePage;
  int len = WideCharToMultiByte(cp, 0, text, n, nullptr, 0, nullptr, nullptr);
  if (len <= 0) {
    cp = CP_ACP;
    len = WideCharToMultiByte(cp, 0, text, n, nullptr, 0, nullptr, nullptr);
    if (len <= 0) return std::string();
  }
  std::string out(static_cast<std::size_t>(len), '\0');
  WideCharToMultiByte(cp, 0, text, n, &out[0], len, nullptr, nullptr);
  return out;
}

inline std::string Narrow(const std::wstring& text) { return Narrow(text.data(), text.size()); }

// A NUL-terminated wide text, as most Windows calls return them.
inline std::string Narrow(const wchar_t* text) { return text ? Narrow(text, wcslen(text)) : std::string(); }

}  // namespace plat::win32
