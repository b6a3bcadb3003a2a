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

bool ShellOpen(const std::string& file, bool hasParameters, const std::string& parameters) {
  const std::wstring wideFile = win32::Wide(file);
  const std::wstring wideParameters = win32::Wide(parameters);
  const HINSTANCE result = ShellExecuteW(nullptr, L"open", wideFile.c_str(),
                                         hasParameters ? wideParameters.c_str() : nullptr, nullptr, SW_SHOWNORMAL);
  // Values up to 32 are error codes.
  return reinterpret_cast<INT_PTR>(result) > 32;
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
