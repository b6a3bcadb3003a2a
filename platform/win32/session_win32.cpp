#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include "platform/session.h"

namespace plat {

void SetShutdownBlockReason(WindowHandle window, const std::string& reason) {
  // Looked up, not imported: user32 has them only from Windows Vista on.
  using Create = BOOL(WINAPI*)(HWND, LPCWSTR);
  using Destroy = BOOL(WINAPI*)(HWND);
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return;
  const HWND hwnd = reinterpret_cast<HWND>(window);
  if (reason.empty()) {
    if (auto destroy = reinterpret_cast<Destroy>(
            reinterpret_cast<void*>(GetProcAddress(user32, "ShutdownBlockReasonDestroy"))))
      destroy(hwnd);
  } else if (auto create = reinterpret_cast<Create>(
                 reinterpret_cast<void*>(GetProcAddress(user32, "ShutdownBlockReasonCreate")))) {
    create(hwnd, win32::Wide(reason).c_str());
  }
}

}  // namespace plat
