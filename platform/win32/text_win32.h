#pragma once
// The Windows headers for the win32 backend, and the CP949 <-> UTF-16 conversions at the seam.
// The program's texts are CP949 bytes whatever the system code page is, so the backend calls
// the W functions and converts itself.
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

#include "platform/text.h"

namespace plat::win32 {

// Every conversion goes through the lossless codec of platform/text.h: a character that
// CP949 cannot spell comes back as itself, never as a look-alike.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

inline std::wstring Wide(const char* text, std::size_t size) {
  const std::u16string units = TextToUtf16(std::string(text, size));
  return std::wstring(units.begin(), units.end());
}

inline std::wstring Wide(const std::string& text) { return Wide(text.data(), text.size()); }

inline std::string Narrow(const wchar_t* text, std::size_t size) {
  return TextFromUtf16(reinterpret_cast<const char16_t*>(text), size);
}

inline std::string Narrow(const std::wstring& text) { return Narrow(text.data(), text.size()); }

// A NUL-terminated wide text, as most Windows calls return them.
inline std::string Narrow(const wchar_t* text) { return text ? Narrow(text, wcslen(text)) : std::string(); }

}  // namespace plat::win32
