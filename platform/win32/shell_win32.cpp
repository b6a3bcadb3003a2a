#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <objbase.h>
#include <shellapi.h>

#include "platform/shell.h"

namespace plat {

void InitializeShell() {
  // Stays initialised for the life of the thread; a failure leaves launches to work
  // without the extensions that need it, as before.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
}

namespace {

// The shell's own codes (hInstApp) as Windows error codes, for when it left none.
std::uint32_t ErrorOfShellCode(INT_PTR code) {
  switch (code) {
    case SE_ERR_FNF: return ERROR_FILE_NOT_FOUND;
    case SE_ERR_PNF: return ERROR_PATH_NOT_FOUND;
    case SE_ERR_ACCESSDENIED: return ERROR_ACCESS_DENIED;
    case SE_ERR_OOM: return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_SHARE: return ERROR_SHARING_VIOLATION;
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE: return ERROR_NO_ASSOCIATION;
    case SE_ERR_DLLNOTFOUND: return ERROR_DLL_NOT_FOUND;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY: return ERROR_DDE_FAIL;
    default: return ERROR_BAD_FORMAT;
  }
}

}  // namespace

bool ShellOpen(const std::string& file, bool hasParameters, const std::string& parameters, std::uint32_t* error) {
  const std::wstring wideFile = win32::Wide(file);
  const std::wstring wideParameters = win32::Wide(parameters);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // No message box of the shell's: the caller says what went wrong, once.
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = wideFile.c_str();
  info.lpParameters = hasParameters ? wideParameters.c_str() : nullptr;
  info.nShow = SW_SHOWNORMAL;
  SetLastError(ERROR_SUCCESS);
  if (ShellExecuteExW(&info)) return true;
  // A file of no known type: the shell may leave the error of an attempt to run it as a
  // program, where its own code says what the user needs to hear.
  const INT_PTR shellCode = reinterpret_cast<INT_PTR>(info.hInstApp);
  std::uint32_t code = GetLastError();
  if (shellCode == SE_ERR_NOASSOC || shellCode == SE_ERR_ASSOCINCOMPLETE || code == ERROR_SUCCESS)
    code = ErrorOfShellCode(shellCode);
  if (error) *error = code;
  return false;
}

std::string SystemErrorText(std::uint32_t code, const std::string& subject) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length && text ? std::wstring(text, length) : std::wstring();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
    message.pop_back();
  if (message.empty()) return "오류 " + std::to_string(code);
  std::string result = win32::Narrow(message);
  // "%1" stands for the file in some of them ("%1은(는) 올바른 Win32 응용 프로그램이 아닙니다.").
  // No byte of a double-byte character is "%", so the search cannot start inside one.
  for (std::size_t at = result.find("%1"); at != std::string::npos; at = result.find("%1", at + subject.size()))
    result.replace(at, 2, subject);
  return result;
}

bool ShellExecuteVerb(Form* owner, const std::string& verb, const std::string& file, const std::string& parameters,
                      int showCmd) {
  const std::wstring wideVerb = win32::Wide(verb), wideFile = win32::Wide(file), wideParameters = win32::Wide(parameters);
  const HINSTANCE result =
      ShellExecuteW(win32::OwnerWindow(owner), wideVerb.c_str(), wideFile.c_str(),
                    parameters.empty() ? nullptr : wideParameters.c_str(), nullptr, showCmd);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace plat
