#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include "platform/controls.h"
#include "platform/dialogs.h"

#include <functional>
#include <memory>

namespace plat {

namespace {
constexpr const wchar_t* kProgramTitle = L"Keyvane";
}

int MessageBox(const std::string& text, const std::string& caption, unsigned flags, Form* owner) {
  return MessageBoxW(win32::OwnerWindow(owner), win32::Wide(text).c_str(), win32::Wide(caption).c_str(), flags);
}

namespace {

// Posted by a notice box's thread when its box has been closed; lParam: the Notice.
constexpr UINT kMsgNoticeClosed = WM_APP + 0x2A2;

struct Notice {
  std::wstring text, caption;
  UINT flags;
  HWND report;  // the window on the program's thread that hears of the close
  std::function<void()> closed;
};

LRESULT CALLBACK NoticeWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != kMsgNoticeClosed) return DefWindowProcW(window, msg, wParam, lParam);
  const std::unique_ptr<Notice> notice(reinterpret_cast<Notice*>(lParam));
  if (notice->closed) win32::Guarded([&] { notice->closed(); });
  return 0;
}

// A message-only window of the program's thread: modal loops dispatch to it too.
HWND NoticeWindow() {
  static HWND window = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &NoticeWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KeyvaneNotice";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }();
  return window;
}

// The box runs its own loop on a thread of its own, so the program's thread never waits for it.
DWORD WINAPI NoticeThread(void* parameter) {
  Notice* notice = static_cast<Notice*>(parameter);
  MessageBoxW(nullptr, notice->text.c_str(), notice->caption.c_str(), notice->flags | MB_SETFOREGROUND);
  if (!notice->report || !PostMessageW(notice->report, kMsgNoticeClosed, 0, reinterpret_cast<LPARAM>(notice)))
    delete notice;
  return 0;
}

}  // namespace

void ShowNoticeBox(const std::string& text, const std::string& caption, unsigned flags,
                   std::function<void()> closed) {
  auto notice = std::make_unique<Notice>(Notice{win32::Wide(text), win32::Wide(caption), flags, NoticeWindow(), std::move(closed)});
  const HANDLE thread = CreateThread(nullptr, 0, &NoticeThread, notice.get(), 0, nullptr);
  if (thread) {
    notice.release();
    CloseHandle(thread);
    return;
  }
  // No thread to be had: the box is shown here, as a plain modal one.
  MessageBoxW(nullptr, notice->text.c_str(), notice->caption.c_str(), notice->flags | MB_SETFOREGROUND);
  if (notice->closed) notice->closed();
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
