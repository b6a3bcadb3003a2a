#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include "platform/controls.h"
#include "platform/dialogs.h"

namespace plat {

namespace {
constexpr const wchar_t* kProgramTitle = L"Keyvane";
}

int MessageBox(const std::string& text, const std::string& caption, unsigned flags, Form* owner) {
  return MessageBoxW(win32::OwnerWindow(owner), win32::Wide(text).c_str(), win32::Wide(caption).c_str(), flags);
}

int UnownedMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  return MessageBoxW(nullptr, win32::Wide(text).c_str(), win32::Wide(caption).c_str(), flags | MB_SETFOREGROUND);
}

void ShowErrorBox(const std::string& text, Form* owner) {
  MessageBoxW(win32::OwnerWindow(owner), win32::Wide(text).c_str(), kProgramTitle, MB_OK | MB_ICONERROR);
}

namespace win32 {

HWND OwnerWindow(Form* owner) {
  if (owner) return reinterpret_cast<HWND>(owner->Handle());
  return GetActiveWindow();
}

void ReportUnexpectedError(const char* what) {
  // Converting may itself run out of memory; then the plain fixed text still shows.
  try {
    const std::wstring text = what && *what ? Wide(what, strlen(what)) : std::wstring(L"Unexpected error.");
    MessageBoxW(GetActiveWindow(), text.c_str(), kProgramTitle, MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxW(GetActiveWindow(), L"Unexpected error.", kProgramTitle, MB_OK | MB_ICONERROR);
  }
}

}  // namespace win32
}  // namespace plat
