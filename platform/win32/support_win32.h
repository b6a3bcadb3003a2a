#pragma once
// What the win32 backend files share besides the text conversions.
#include <exception>

#include "platform/win32/text_win32.h"

namespace plat {
class Form;
}

namespace plat::win32 {

// The window class of every form's window; the message loop looks for it to give the
// forms dialog-style keyboard navigation.
constexpr const wchar_t* kFormClassName = L"KeyvaneForm";

// Sent to a form's window for a key pressed anywhere in it (wParam: the virtual key); the
// answer is nonzero when a menu item had the key as its shortcut and ran.
constexpr UINT kMsgFormShortcut = WM_APP + 0x2A1;

// Dispatches a message taken from the queue, with the forms' keyboard handling: menu
// shortcuts, then dialog-style navigation (Tab, Enter, Esc, mnemonics). Every message loop,
// modal ones included, dispatches through it.
void DispatchForForms(MSG& msg);

// The window a modal box or dialog belongs to: the form's own, or the active window.
HWND OwnerWindow(Form* owner);

// Shows an error that escaped the program's code, the way the program shows its errors.
void ReportUnexpectedError(const char* what);

// Runs fn so that no exception leaves it: nothing may unwind through the system's frames
// of a window procedure or a timer callback.
template <class Fn>
void Guarded(Fn&& fn) noexcept {
  try {
    fn();
  } catch (const std::exception& e) {
    ReportUnexpectedError(e.what());
  } catch (...) {
    ReportUnexpectedError(nullptr);
  }
}

}  // namespace plat::win32
