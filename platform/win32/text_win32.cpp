// The CP949 tables of the system, for the text codec of platform/text.h.
// Depends on nothing but <windows.h>: the unit tests link it against the simulation too.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/text.h"

namespace plat::text_backend {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

// Windows without the Korean tables (old systems without East Asian support) still get
// something readable through the system code page.
UINT CodePage() {
  static const UINT cp = IsValidCodePage(949) ? 949 : CP_ACP;
  return cp;
}

const wchar_t* W(const char16_t* units) { return reinterpret_cast<const wchar_t*>(units); }

}  // namespace

std::u16string Cp949ToUtf16(const char* bytes, std::size_t size) {
  if (size == 0) return std::u16string();
  const int n = static_cast<int>(size);
  const int len = MultiByteToWideChar(CodePage(), 0, bytes, n, nullptr, 0);
  if (len <= 0) return std::u16string();
  std::u16string out(static_cast<std::size_t>(len), u'\0');
  MultiByteToWideChar(CodePage(), 0, bytes, n, reinterpret_cast<wchar_t*>(&out[0]), len);
  return out;
}

bool Utf16ToCp949(const char16_t* units, std::size_t count, std::string& out) {
  if (count == 0) return true;
  const int n = static_cast<int>(count);
  const UINT cp = CodePage();
  // Best-fit mapping would turn "é" into "e" and so name another file; a unit without an
  // exact spelling must show as the default character instead. UTF-8 (a system code page
  // since Windows 10) spells every unit and takes neither flag nor default.
  const bool utf8 = GetACP() == CP_UTF8 && cp == CP_ACP;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = utf8 ? nullptr : &usedDefault;
  const int len = WideCharToMultiByte(cp, flags, W(units), n, nullptr, 0, nullptr, used);
  if (len <= 0 || usedDefault) return false;
  std::string bytes(static_cast<std::size_t>(len), '\0');
  if (WideCharToMultiByte(cp, flags, W(units), n, &bytes[0], len, nullptr, used) != len || usedDefault) return false;
  out += bytes;
  return true;
}

}  // namespace plat::text_backend
