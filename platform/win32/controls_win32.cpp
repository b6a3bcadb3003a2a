#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/controls.h"
#include "platform/hotkeys.h"
#include "platform/input.h"
#include "platform/win32/sysdll.h"

namespace plat {
namespace {

constexpr UINT kFirstChildId = 100;
// Menu commands live far above the children's ids and the dialog ids IDOK/IDCANCEL.
constexpr UINT kFirstMenuId = 0x7000;
// Posted to a form's own window: a list's native selection changed by the user's hand and
// the program's list must follow once the control has finished its own changes.
constexpr UINT kMsgListReconcile = WM_APP + 0x2A0;
constexpr UINT kMsgListRepaint = WM_APP + 0x2A3;
constexpr int kIdcHand = 32649;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

int ScreenDpi() {
  static const int dpi = [] {
    const HDC screen = GetDC(nullptr);
    const int d = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return d > 0 ? d : 96;
  }();
  return dpi;
}

// Sizes in the design are pixels at 96 dpi; a DPI-aware window scales them itself.
int Scale(int pixels) { return MulDiv(pixels, ScreenDpi(), 96); }
int Unscale(int pixels) { return MulDiv(pixels, 96, ScreenDpi()); }

void InitCommonControlsOnce() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

bool IsContainer(ControlKind kind) {
  return kind == ControlKind::Panel || kind == ControlKind::GroupBox || kind == ControlKind::PageControl ||
         kind == ControlKind::TabSheet;
}

int Depth(const Control& control) {
  int depth = 0;
  for (const Control* c = control.Parent(); c; c = c->Parent()) ++depth;
  return depth;
}

bool EffectivelyEnabled(const Control& control) {
  for (const Control* c = &control; c; c = c->Parent())
    if (!c->Enabled()) return false;
  return true;
}

// Font objects are shared by every form and kept for the program's life: a handful of
// distinct fonts serve every window.
HFONT FontObject(const Font& font) {
  static std::map<std::tuple<std::string, int, bool, bool>, HFONT> cache;
  const auto key = std::make_tuple(font.name, font.points, font.bold, font.underline);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  const HFONT made =
      CreateFontW(-MulDiv(font.points, ScreenDpi(), 72), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                  font.underline ? TRUE : FALSE, FALSE, HANGUL_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, win32::Wide(font.name).c_str());
  cache.emplace(key, made);
  return made;
}

HBRUSH SolidBrush(COLORREF color) {
  static std::map<COLORREF, HBRUSH> cache;
  auto it = cache.find(color);
  if (it != cache.end()) return it->second;
  const HBRUSH made = CreateSolidBrush(color);
  cache.emplace(color, made);
  return made;
}

COLORREF Resolve(Color color, int systemColor) {
  return color == kColorDefault ? GetSysColor(systemColor) : static_cast<COLORREF>(color);
}

// The colour behind a control: that of the nearest coloured panel it sits on, or of the
// page it is on (a themed page control's pages are the window colour).
COLORREF BackgroundOf(const Control& control) {
  for (const Control* c = control.Parent(); c; c = c->Parent()) {
    if (c->Kind() == ControlKind::Panel && static_cast<const Panel*>(c)->GetColor() != kColorDefault)
      return static_cast<COLORREF>(static_cast<const Panel*>(c)->GetColor());
    if (c->Kind() == ControlKind::TabSheet) return GetSysColor(COLOR_WINDOW);
  }
  return GetSysColor(COLOR_BTNFACE);
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
  const int got = GetWindowTextW(window, &text[0], length + 1);
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

void SetTextIfDifferent(HWND window, const std::string& text) {
  const std::wstring wide = win32::Wide(text);
  if (WindowText(window) != wide) SetWindowTextW(window, wide.c_str());
}

// A character typed on the keyboard as the program sees it: the byte of an ASCII one, or
// lead * 256 + trail of its CP949 spelling.
int KeyOfChar(wchar_t ch) {
  if (ch < 0x80) return ch;
  const std::string bytes = win32::Narrow(&ch, 1);
  if (bytes.size() == 2) return static_cast<unsigned char>(bytes[0]) * 256 + static_cast<unsigned char>(bytes[1]);
  return bytes.size() == 1 ? static_cast<unsigned char>(bytes[0]) : ch;
}

wchar_t CharOfKey(int key) {
  if (key < 0x80) return static_cast<wchar_t>(key);
  std::string bytes;
  if (key > 0xFF) bytes += static_cast<char>(key >> 8);
  bytes += static_cast<char>(key & 0xFF);
  const std::wstring wide = win32::Wide(bytes);
  return wide.empty() ? L'\0' : wide[0];
}

std::wstring ShortcutText(int vk) {
  if (vk >= VK_F1 && vk <= VK_F24) return L"F" + std::to_wstring(vk - VK_F1 + 1);
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::wstring(1, static_cast<wchar_t>(vk));
  switch (vk) {
    case VK_DELETE:
      return L"Del";
    case VK_INSERT:
      return L"Ins";
    case VK_RETURN:
      return L"Enter";
    case VK_ESCAPE:
      return L"Esc";
    default:
      return std::wstring();
  }
}

// What a native control shows, so that a sync touches only what changed.
struct NativeChild {
  Control* control = nullptr;
  HWND hwnd = nullptr;
  UINT id = 0;
  WNDPROC baseProc = nullptr;
  RECT place = {};
  HFONT font = nullptr;
  std::vector<std::string> items;  // combo box entries
  int rows = 0;                    // list view: the row count the control was given
  std::vector<Icon> images;        // list view: the icons of its image list
  HIMAGELIST imageList = nullptr;
  HICON icon = nullptr;  // a picture's icon
  bool reconcilePending = false;
  bool repaintPending = false;  // list view: rows' images changed since it last painted
  std::wstring tip;              // the hint its tool in the form's tooltip shows
};

// While the program's state is copied into a native control, the notifications that causes
// are the program's own doing and must not come back as the user's.
class Mirroring {
 public:
  explicit Mirroring(int& depth) : depth_(depth) { ++depth_; }
  ~Mirroring() { --depth_; }
  Mirroring(const Mirroring&) = delete;
  Mirroring& operator=(const Mirroring&) = delete;

 private:
  int& depth_;
};

std::vector<int> NativeSelection(HWND list) {
  std::vector<int> rows;
  for (int row = -1;;) {
    row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
    if (row < 0) return rows;
    rows.push_back(row);
  }
}

void SetListRowSelected(HWND list, int row, bool selected, bool focus) {
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | (focus ? LVIS_FOCUSED : 0);
  item.state = selected ? item.stateMask : 0;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

HICON LoadSizedIcon(HINSTANCE module, int id, int size) {
  return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

// The icon in the given size (0: the system's small icon size). Icons loaded with a size
// are not shared: whoever shows them keeps them.
HICON IconImage(Icon icon, int size = 0) {
  if (size <= 0) size = GetSystemMetrics(SM_CXSMICON);
  HICON made = nullptr;
  switch (icon) {
    case Icon::Program:
      made = LoadSizedIcon(Instance(), 1, size);
      break;
    case Icon::Warning:
      made = LoadSizedIcon(nullptr, 32515, size);
      break;
    case Icon::Information:
      made = LoadSizedIcon(nullptr, 32516, size);
      break;
    case Icon::Question:
      made = LoadSizedIcon(nullptr, 32514, size);
      break;
    case Icon::Folder:
      // The shell's closed folder.
      if (const HMODULE shell = GetModuleHandleW(L"shell32.dll")) made = LoadSizedIcon(shell, 4, size);
      break;
  }
  return made ? made : LoadSizedIcon(nullptr, 32512 /* IDI_APPLICATION */, size);
}

// ---------------------------------------------------------------- the form's window

class Win32FormPeer final : public FormPeer {
 public:
  explicit Win32FormPeer(Form& form) : form_(form) {}
  ~Win32FormPeer() override;
  Win32FormPeer(const Win32FormPeer&) = delete;
  Win32FormPeer& operator=(const Win32FormPeer&) = delete;

  bool Create();

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void SetVisible(bool visible) override;
  void CaptionChanged() override;
  void ControlChanged(Control& control, int row) override;
  void RowImageChanged(Control& list, int row) override;
  void FocusControl(Control& control) override;
  bool HasFocus(Control& control) override;
  void ScrollIntoView(Control& list, int row) override;
  void RunModal(Form* owner) override;
  void StayOnTopChanged() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ChildProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnChildMessage(NativeChild& child, UINT msg, WPARAM& wParam);
  void Forward(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnCommand(UINT id, UINT code, HWND from);
  LRESULT OnNotify(NMHDR& header);
  void PressDialogButton(bool cancel);
  bool CtlColor(HDC dc, HWND from, UINT msg, LRESULT& brush);
  void DrawPanel(const DRAWITEMSTRUCT& item);
  void ShowPopup(NativeChild& child, int x, int y);

  NativeChild* ChildOf(Control& control);
  NativeChild* ChildById(UINT id);
  NativeChild* ChildByWindow(HWND window);
  NativeChild* CreateChild(Control& control);
  void BuildMenu(HMENU menu, const MenuItem& parent);

  void SyncAll();
  void SyncCommon(NativeChild& child);
  void SyncTip(NativeChild& child);
  void Sync(NativeChild& child);
  void SyncComboBox(NativeChild& child);
  void SyncImages(NativeChild& child);
  void SyncList(NativeChild& child);
  void SyncListRow(NativeChild& child, int row);
  void SyncListSelection(NativeChild& child);
  void ReconcileList(NativeChild& child);

  Form& form_;
  HWND hwnd_ = nullptr;
  HWND tips_ = nullptr;  // the form's tooltip, made for its first hint
  std::vector<std::unique_ptr<NativeChild>> children_;
  std::unordered_map<const Control*, NativeChild*> byControl_;
  std::vector<const MenuItem*> menuItems_;
  std::wstring cellText_;  // the text a list row's cell hands to the control while it paints
  int mirroring_ = 0;
  bool destroying_ = false;
};

// Registered once, on first use.
bool RegisterFormClass(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = Instance();
    // Icon 1 is the program's own when the executable carries one.
    wc.hIcon = LoadIconW(Instance(), MAKEINTRESOURCEW(1));
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512) /* IDI_APPLICATION */);
    wc.hIconSm = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = win32::kFormClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

void Win32FormPeer::BuildMenu(HMENU menu, const MenuItem& parent) {
  for (const auto& item : parent.Items()) {
    if (item->IsSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::wstring caption = win32::Wide(item->Caption());
    if (!item->Items().empty()) {
      const HMENU sub = CreatePopupMenu();
      BuildMenu(sub, *item);
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), caption.c_str());
      continue;
    }
    const std::wstring key = ShortcutText(item->Shortcut());
    if (!key.empty()) caption += L"\t" + key;
    AppendMenuW(menu, MF_STRING, kFirstMenuId + menuItems_.size(), caption.c_str());
    menuItems_.push_back(item.get());
  }
}

bool Win32FormPeer::Create() {
  if (!RegisterFormClass(&Win32FormPeer::WindowProc)) return false;
  const FormStyle kind = form_.Style();
  const bool host = kind == FormStyle::HiddenHost;
  DWORD style = host ? WS_POPUP : (WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN);
  if (kind == FormStyle::Sizeable) style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
  DWORD exStyle = host ? WS_EX_TOOLWINDOW : WS_EX_CONTROLPARENT;
  if (form_.StayOnTop()) exStyle |= WS_EX_TOPMOST;
  HMENU menu = nullptr;
  if (!host && !form_.MainMenu().Items().empty()) {
    menu = CreateMenu();
    BuildMenu(menu, form_.MainMenu());
  }
  RECT frame = {0, 0, Scale(form_.ClientWidth()), Scale(form_.ClientHeight())};
  AdjustWindowRectEx(&frame, style, menu ? TRUE : FALSE, exStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int x = host ? 0 : std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int y = host ? 0 : std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  // The window procedure takes this peer from WM_NCCREATE on.
  CreateWindowExW(exStyle, win32::kFormClassName, win32::Wide(form_.Caption()).c_str(), style, x, y, width, height,
                  nullptr, menu, Instance(), this);
  if (!hwnd_) {
    if (menu) DestroyMenu(menu);
    return false;
  }
  if (menu) {
    // A menu bar that wraps takes rows from the client area: give them back.
    RECT client;
    GetClientRect(hwnd_, &client);
    const int missing = Scale(form_.ClientHeight()) - client.bottom;
    if (missing > 0) SetWindowPos(hwnd_, nullptr, x, y, width, height + missing, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (Control* control : form_.Controls()) ChildOf(*control);
  // Every child is a direct child of the form: the areas that hold controls lie beneath
  // them, the outermost lowest.
  std::vector<NativeChild*> areas;
  for (auto& child : children_)
    if (IsContainer(child->control->Kind())) areas.push_back(child.get());
  std::stable_sort(areas.begin(), areas.end(),
                   [](NativeChild* a, NativeChild* b) { return Depth(*a->control) > Depth(*b->control); });
  for (NativeChild* area : areas)
    SetWindowPos(area->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

Win32FormPeer::~Win32FormPeer() {
  // The form is being torn down: its controls may already be gone, so the notifications the
  // children send while they are destroyed must not reach them.
  destroying_ = true;
  if (hwnd_) DestroyWindow(hwnd_);
  for (auto& child : children_) {
    if (child->imageList) ImageList_Destroy(child->imageList);
    if (child->icon) DestroyIcon(child->icon);
  }
}

void Win32FormPeer::SetVisible(bool visible) {
  if (!hwnd_ || form_.Style() == FormStyle::HiddenHost) return;
  if (visible) {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    // The control that had the focus gets it back; at first the first one in tab order.
    NativeChild* active = form_.ActiveControl() ? ChildOf(*form_.ActiveControl()) : nullptr;
    if (active && IsWindowVisible(active->hwnd) && IsWindowEnabled(active->hwnd))
      SetFocus(active->hwnd);
    else if (const HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE))
      SetFocus(first);
  } else {
    ShowWindow(hwnd_, SW_HIDE);
  }
}

void Win32FormPeer::CaptionChanged() {
  if (hwnd_) SetWindowTextW(hwnd_, win32::Wide(form_.Caption()).c_str());
}

void Win32FormPeer::ControlChanged(Control& control, int row) {
  if (!hwnd_ || destroying_) return;
  if (control.Kind() == ControlKind::TabSheet) {
    SyncAll();
    return;
  }
  NativeChild* child = ChildOf(control);
  if (!child) return;
  if (control.Kind() == ControlKind::ListView && row >= 0) {
    SyncListRow(*child, row);
    return;
  }
  Sync(*child);
  // An area's state reaches everything inside it.
  if (IsContainer(control.Kind())) SyncAll();
}

void Win32FormPeer::RowImageChanged(Control& control, int row) {
  if (!hwnd_ || destroying_) return;
  NativeChild* child = ChildOf(control);
  if (!child) return;
  if (static_cast<ListView&>(control).RowCount() != child->rows) {
    ControlChanged(control, row);
    return;
  }
  // The list asks for each row's image as it paints it: marking thousands of rows costs one
  // repaint of what shows, not a native call per row.
  if (!child->repaintPending) {
    child->repaintPending = true;
    PostMessageW(hwnd_, kMsgListRepaint, child->id, 0);
  }
}

void Win32FormPeer::FocusControl(Control& control) {
  NativeChild* child = hwnd_ ? ChildOf(control) : nullptr;
  if (child && GetFocus() != child->hwnd) SetFocus(child->hwnd);
}

bool Win32FormPeer::HasFocus(Control& control) {
  NativeChild* child = hwnd_ ? ChildOf(control) : nullptr;
  return child && GetFocus() == child->hwnd;
}

void Win32FormPeer::ScrollIntoView(Control& list, int row) {
  if (NativeChild* child = hwnd_ ? ChildOf(list) : nullptr) SendMessageW(child->hwnd, LVM_ENSUREVISIBLE, row, FALSE);
}

void Win32FormPeer::RunModal(Form* owner) {
  const HWND ownerWindow = owner ? reinterpret_cast<HWND>(owner->Handle()) : nullptr;
  const bool ownerWasEnabled = ownerWindow && IsWindowEnabled(ownerWindow);
  if (ownerWindow && hwnd_) {
    // Owned by the owner's window, the dialog stays above it.
    SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWindow));
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  if (ownerWasEnabled) EnableWindow(ownerWindow, FALSE);
  MSG msg;
  while (form_.ModalResult() == kMrNone) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop ends too
      break;
    }
    if (got < 0) break;
    win32::DispatchForForms(msg);
  }
  // Enabled before the dialog hides, so that the owner and not another program is activated.
  if (ownerWasEnabled) EnableWindow(ownerWindow, TRUE);
  if (ownerWindow) SetActiveWindow(ownerWindow);
}

void Win32FormPeer::StayOnTopChanged() {
  if (hwnd_)
    SetWindowPos(hwnd_, form_.StayOnTop() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CALLBACK Win32FormPeer::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* peer = static_cast<Win32FormPeer*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    peer->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
  }
  auto* peer = reinterpret_cast<Win32FormPeer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!peer) return DefWindowProcW(window, msg, wParam, lParam);

  LRESULT result = 0;
  bool handled = false;
  win32::Guarded([&] { handled = peer->OnMessage(msg, wParam, lParam, result); });
  if (handled) return result;
  win32::Guarded([&] { peer->Forward(msg, wParam, lParam); });
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    peer->hwnd_ = nullptr;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

// The messages the form's window answers itself; false leaves one to the form and the
// default handling.
bool Win32FormPeer::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_ACTIVATE: {
      // Back from a message box or another program, the control that had the focus gets it
      // again, as in a dialog box (a key box then captures again); the window itself would.
      NativeChild* active = form_.ActiveControl() ? ChildOf(*form_.ActiveControl()) : nullptr;
      if (LOWORD(wParam) == WA_INACTIVE || HIWORD(wParam) || !active || !IsWindowVisible(active->hwnd) ||
          !IsWindowEnabled(active->hwnd))
        return false;
      SetFocus(active->hwnd);
      return true;
    }
    case WM_CLOSE:
      // The form decides: closing may be refused, and allowed closing only hides the window.
      Forward(msg, wParam, lParam);
      return true;
    case WM_QUERYENDSESSION:
      result = destroying_ || form_.QueryEndSession() ? TRUE : FALSE;
      return true;
    case WM_ENDSESSION:
      if (!destroying_) form_.EndSession(wParam != FALSE);
      return true;
    case kMsgListReconcile:
      if (NativeChild* child = ChildById(static_cast<UINT>(wParam))) ReconcileList(*child);
      return true;
    case kMsgListRepaint:
      if (NativeChild* child = ChildById(static_cast<UINT>(wParam))) {
        child->repaintPending = false;
        InvalidateRect(child->hwnd, nullptr, FALSE);
      }
      return true;
    case win32::kMsgFormShortcut:
      result = !destroying_ && form_.HandleShortcut(static_cast<int>(wParam)) ? 1 : 0;
      return true;
    case WM_COMMAND:
      if (lParam || LOWORD(wParam) < kFirstMenuId)
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      else if (HIWORD(wParam) == 0 && LOWORD(wParam) - kFirstMenuId < menuItems_.size())
        const_cast<MenuItem*>(menuItems_[LOWORD(wParam) - kFirstMenuId])->Click();
      return false;
    case WM_NOTIFY:
      if (destroying_) return false;
      result = OnNotify(*reinterpret_cast<NMHDR*>(lParam));
      return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return CtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), msg, result);
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_STATIC) return false;
      DrawPanel(item);
      result = TRUE;
      return true;
    }
    case WM_SETCURSOR: {
      NativeChild* child = ChildByWindow(reinterpret_cast<HWND>(wParam));
      if (!child || !child->control->HandCursor() || LOWORD(lParam) != HTCLIENT) return false;
      SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(kIdcHand)));
      result = TRUE;
      return true;
    }
    case WM_SIZE:
      if (form_.Style() == FormStyle::Sizeable && wParam != SIZE_MINIMIZED && !destroying_) {
        form_.UserResize(Unscale(LOWORD(lParam)), Unscale(HIWORD(lParam)));
        SyncAll();
      }
      return false;
    case WM_CONTEXTMENU: {
      NativeChild* child = ChildByWindow(reinterpret_cast<HWND>(wParam));
      if (!child || child->control->Kind() != ControlKind::ListView ||
          !static_cast<ListView*>(child->control)->PopupMenu)
        return false;
      ShowPopup(*child, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return true;
    }
    default:
      return false;
  }
}

void Win32FormPeer::Forward(UINT msg, WPARAM wParam, LPARAM lParam) {
  form_.HandleMessage(msg, static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam));
}

// Enter and Esc in the form (the dialog manager's IDOK and IDCANCEL): the focused push
// button, else the default one; Esc the cancel button.
void Win32FormPeer::PressDialogButton(bool cancel) {
  if (!cancel) {
    NativeChild* focused = ChildByWindow(GetFocus());
    if (focused && focused->control->Kind() == ControlKind::Button) {
      static_cast<Button*>(focused->control)->UserClick();
      return;
    }
  }
  for (Control* control : form_.Controls()) {
    if (control->Kind() != ControlKind::Button) continue;
    auto* button = static_cast<Button*>(control);
    if ((cancel ? button->IsCancel() : button->IsDefault()) && button->Showing() && EffectivelyEnabled(*button)) {
      button->UserClick();
      return;
    }
  }
}

void Win32FormPeer::OnCommand(UINT id, UINT code, HWND from) {
  if (destroying_ || mirroring_) return;
  if ((id == IDOK || id == IDCANCEL) && !ChildById(id)) {
    PressDialogButton(id == IDCANCEL);
    return;
  }
  NativeChild* child = ChildById(id);
  if (!child || (from && child->hwnd != from)) return;
  Control& control = *child->control;
  switch (control.Kind()) {
    case ControlKind::CheckBox:
      // BS_CHECKBOX leaves the check mark alone: the control decides and the sync shows it.
      if (code == BN_CLICKED) {
        static_cast<CheckBox&>(control).UserClick();
        Sync(*child);
      }
      break;
    case ControlKind::RadioButton:
      if (code == BN_CLICKED) {
        static_cast<RadioButton&>(control).UserClick();
        Sync(*child);
      }
      break;
    case ControlKind::Button:
      if (code == BN_CLICKED) static_cast<Button&>(control).UserClick();
      break;
    case ControlKind::Label:
      if (code == STN_CLICKED) static_cast<Label&>(control).UserClick();
      break;
    case ControlKind::Edit:
      if (code == EN_CHANGE) static_cast<Edit&>(control).UserEdit(win32::Narrow(WindowText(child->hwnd)));
      break;
    case ControlKind::ComboBox:
      if (code == CBN_SELCHANGE) {
        const int picked = static_cast<int>(SendMessageW(child->hwnd, CB_GETCURSEL, 0, 0));
        static_cast<ComboBox&>(control).UserPick(picked);
        SyncComboBox(*child);
      }
      break;
    default:
      break;
  }
}

LRESULT Win32FormPeer::OnNotify(NMHDR& header) {
  NativeChild* child = ChildById(static_cast<UINT>(header.idFrom));
  if (!child || child->hwnd != header.hwndFrom) return 0;
  if (child->control->Kind() == ControlKind::PageControl) {
    if (header.code == TCN_SELCHANGE && !mirroring_) {
      const int page = static_cast<int>(SendMessageW(child->hwnd, TCM_GETCURSEL, 0, 0));
      static_cast<PageControl*>(child->control)->UserSelectPage(page);
      Sync(*child);
      SyncAll();
    }
    return 0;
  }
  if (child->control->Kind() != ControlKind::ListView) return 0;
  auto& list = *static_cast<ListView*>(child->control);
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      // The rows live in the program's list; the control asks for what it paints.
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
      const bool known = item.iItem >= 0 && item.iItem < list.RowCount() && item.iSubItem >= 0 &&
                         item.iSubItem < static_cast<int>(list.Columns().size());
      if (item.mask & LVIF_TEXT) {
        cellText_ = known ? win32::Wide(list.Cell(item.iItem, item.iSubItem)) : std::wstring();
        item.pszText = &cellText_[0];  // never null: an empty std::wstring still has its terminator
      }
      if (item.mask & LVIF_IMAGE) item.iImage = known && !list.Images().empty() ? list.RowImage(item.iItem) : -1;
      return 0;
    }
    case LVN_ODFINDITEMW: {
      // Typing a row's first letters finds it.
      const auto& find = reinterpret_cast<NMLVFINDITEMW&>(header);
      if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return -1;
      std::wstring prefix = find.lvfi.psz;
      CharLowerBuffW(&prefix[0], static_cast<DWORD>(prefix.size()));
      const int count = list.RowCount();
      for (int n = 0; n < count; ++n) {
        const int row = (std::max(find.iStart, 0) + n) % count;
        std::wstring caption = win32::Wide(list.Cell(row, 0)).substr(0, prefix.size());
        CharLowerBuffW(&caption[0], static_cast<DWORD>(caption.size()));
        if (caption == prefix) return row;
      }
      return -1;
    }
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if (mirroring_ || !(change.uChanged & LVIF_STATE) || ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) == 0)
        return 0;
      break;
    }
    case LVN_ODSTATECHANGED:
      if (mirroring_) return 0;
      break;
    default:
      return 0;
  }
  // A click moves the selection in steps (the old row's loss, then the new row's gain);
  // the program's list follows once the control is done.
  if (!child->reconcilePending) {
    child->reconcilePending = true;
    PostMessageW(hwnd_, kMsgListReconcile, child->id, 0);
  }
  return 0;
}

void Win32FormPeer::ReconcileList(NativeChild& child) {
  child.reconcilePending = false;
  if (destroying_ || child.control->Kind() != ControlKind::ListView) return;
  auto& list = *static_cast<ListView*>(child.control);
  const std::vector<int> native = NativeSelection(child.hwnd);
  if (list.MultiSelect()) {
    // Every loss before any gain.
    for (int row : list.SelectedRows())
      if (!std::binary_search(native.begin(), native.end(), row)) list.SetRowSelected(row, false);
    for (int row : native)
      if (row < list.RowCount() && !list.IsSelected(row)) list.SetRowSelected(row, true);
  } else {
    const int wanted = native.empty() ? -1 : native.front();
    if (wanted != list.Selected()) list.UserSelect(wanted);
  }
  SyncListSelection(child);
}

void Win32FormPeer::ShowPopup(NativeChild& child, int x, int y) {
  // The right click selected the row beneath it: the program sees that first.
  ReconcileList(child);
  auto& list = *static_cast<ListView*>(child.control);
  if (!list.PopupMenu) return;
  if (x == -1 && y == -1) {  // the menu key: under the selected row, or at the list's corner
    RECT r = {LVIR_BOUNDS, 0, 0, 0};
    const int row = list.Selected();
    if (row < 0 || !SendMessageW(child.hwnd, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r))) r = RECT{};
    POINT p = {r.left + Scale(8), r.bottom};
    ClientToScreen(child.hwnd, &p);
    x = p.x;
    y = p.y;
  }
  std::vector<const MenuItem*> items;
  std::vector<HMENU> menus;
  std::function<void(HMENU, const MenuItem&)> build = [&](HMENU menu, const MenuItem& parent) {
    for (const auto& item : parent.Items()) {
      if (item->IsSeparator()) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      } else if (!item->Items().empty()) {
        const HMENU sub = CreatePopupMenu();
        build(sub, *item);
        AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), win32::Wide(item->Caption()).c_str());
      } else {
        items.push_back(item.get());
        AppendMenuW(menu, MF_STRING, items.size(), win32::Wide(item->Caption()).c_str());
      }
    }
  };
  const HMENU menu = CreatePopupMenu();
  build(menu, *list.PopupMenu);
  SetForegroundWindow(hwnd_);
  const UINT picked = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, x, y, 0, hwnd_, nullptr));
  DestroyMenu(menu);
  if (picked >= 1 && picked <= items.size()) const_cast<MenuItem*>(items[picked - 1])->Click();
}

bool Win32FormPeer::CtlColor(HDC dc, HWND from, UINT msg, LRESULT& brush) {
  NativeChild* child = ChildByWindow(from);
  if (!child) return false;
  const Control& control = *child->control;
  const Color text = control.GetFont().color;
  if (control.Kind() == ControlKind::Edit || control.Kind() == ControlKind::ComboBox ||
      control.Kind() == ControlKind::ListView) {
    if (text == kColorDefault) return false;
    brush = DefWindowProcW(hwnd_, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(from));
    SetTextColor(dc, static_cast<COLORREF>(text));
    return true;
  }
  // Labels, check marks and group captions sit on the colour of the panel beneath them.
  const COLORREF back = BackgroundOf(control);
  SetTextColor(dc, Resolve(text, COLOR_WINDOWTEXT));
  SetBkColor(dc, back);
  SetBkMode(dc, TRANSPARENT);
  brush = reinterpret_cast<LRESULT>(SolidBrush(back));
  return true;
}

void Win32FormPeer::DrawPanel(const DRAWITEMSTRUCT& item) {
  NativeChild* child = ChildByWindow(item.hwndItem);
  if (!child || child->control->Kind() != ControlKind::Panel) return;
  const auto& panel = *static_cast<Panel*>(child->control);
  RECT r = item.rcItem;
  const HDC dc = item.hDC;
  FillRect(
      dc, &r,
      SolidBrush(panel.GetColor() == kColorDefault ? BackgroundOf(panel) : static_cast<COLORREF>(panel.GetColor())));
  if (panel.GetBevel() == Bevel::Raised) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  if (panel.GetBevel() == Bevel::Lowered) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  if (panel.Sunken()) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (panel.Caption().empty()) return;
  const HGDIOBJ old = SelectObject(dc, FontObject(panel.GetFont()));
  SetTextColor(dc, Resolve(panel.GetFont().color, COLOR_WINDOWTEXT));
  SetBkMode(dc, TRANSPARENT);
  std::wstring caption = win32::Wide(panel.Caption());
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
}

// ---------------------------------------------------------------- the controls

NativeChild* Win32FormPeer::ChildOf(Control& control) {
  auto it = byControl_.find(&control);
  if (it != byControl_.end()) return it->second;
  return CreateChild(control);
}

NativeChild* Win32FormPeer::ChildById(UINT id) {
  if (id < kFirstChildId || id - kFirstChildId >= children_.size()) return nullptr;
  return children_[id - kFirstChildId].get();
}

NativeChild* Win32FormPeer::ChildByWindow(HWND window) {
  if (!window || GetParent(window) != hwnd_) return nullptr;
  NativeChild* child = ChildById(static_cast<UINT>(GetDlgCtrlID(window)));
  return child && child->hwnd == window ? child : nullptr;
}

NativeChild* Win32FormPeer::CreateChild(Control& control) {
  if (control.Kind() == ControlKind::TabSheet) return nullptr;  // a page is its page control's area
  auto child = std::make_unique<NativeChild>();
  child->control = &control;
  child->id = kFirstChildId + static_cast<UINT>(children_.size());
  const auto menuId = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(child->id));
  const DWORD common = WS_CHILD | WS_CLIPSIBLINGS;
  const DWORD focusable = common | WS_TABSTOP;
  const wchar_t* cls = L"";
  std::wstring text;
  DWORD style = common, exStyle = 0;
  switch (control.Kind()) {
    case ControlKind::CheckBox:
      cls = L"BUTTON";
      text = win32::Wide(static_cast<CheckBox&>(control).Caption());
      style = focusable | BS_CHECKBOX;
      break;
    case ControlKind::RadioButton:
      // Not an automatic one: the program decides which button is checked. Tab stops at
      // the checked one only (the sync sets WS_TABSTOP).
      cls = L"BUTTON";
      text = win32::Wide(static_cast<RadioButton&>(control).Caption());
      style = common | BS_RADIOBUTTON;
      break;
    case ControlKind::Button:
      cls = L"BUTTON";
      text = win32::Wide(static_cast<Button&>(control).Caption());
      style = focusable | (static_cast<Button&>(control).IsDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case ControlKind::Edit:
      cls = L"EDIT";
      exStyle = WS_EX_CLIENTEDGE;
      style = focusable | ES_AUTOHSCROLL;
      if (static_cast<Edit&>(control).MultiLine())
        style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL;
      break;
    case ControlKind::Label:
      cls = L"STATIC";
      text = win32::Wide(static_cast<Label&>(control).Caption());
      style = common | SS_NOTIFY | (static_cast<Label&>(control).AlignRight() ? SS_RIGHT : SS_LEFT) |
              (static_cast<Label&>(control).ShowAccelChar() ? 0 : SS_NOPREFIX) |
              (static_cast<Label&>(control).Ellipsis() ? SS_ENDELLIPSIS : 0);
      break;
    case ControlKind::Panel:
      cls = L"STATIC";
      style = common | SS_OWNERDRAW;
      break;
    case ControlKind::GroupBox:
      cls = L"BUTTON";
      text = win32::Wide(static_cast<GroupBox&>(control).Caption());
      style = common | BS_GROUPBOX;
      break;
    case ControlKind::PageControl:
      cls = WC_TABCONTROLW;
      style = focusable;
      break;
    case ControlKind::ComboBox:
      cls = L"COMBOBOX";
      style = focusable | WS_VSCROLL | CBS_DROPDOWNLIST;
      break;
    case ControlKind::ListView: {
      // The rows stay in the program's list and the control asks for the ones it paints:
      // ten thousand rows appear as fast as ten.
      cls = WC_LISTVIEWW;
      exStyle = WS_EX_CLIENTEDGE;
      style = focusable | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA | LVS_SHAREIMAGELISTS;
      if (!static_cast<ListView&>(control).MultiSelect()) style |= LVS_SINGLESEL;
      break;
    }
    case ControlKind::Image:
      cls = L"STATIC";
      style = common | SS_ICON | SS_CENTERIMAGE;
      break;
    case ControlKind::TabSheet:
      return nullptr;
  }
  child->hwnd = CreateWindowExW(exStyle, cls, text.c_str(), style, 0, 0, 0, 0, hwnd_, menuId, Instance(), nullptr);
  if (!child->hwnd) return nullptr;
  NativeChild& added = *child;
  children_.push_back(std::move(child));
  byControl_[&control] = &added;

  switch (control.Kind()) {
    case ControlKind::Edit:
      SendMessageW(added.hwnd, EM_SETLIMITTEXT, 0, 0);  // as much as memory holds, not 32 KiB
      break;
    case ControlKind::Image: {
      const Control::Bounds place = control.FormPlace();
      added.icon = IconImage(static_cast<Image&>(control).GetIcon(), Scale(std::min(place.width, place.height)));
      SendMessageW(added.hwnd, STM_SETICON, reinterpret_cast<WPARAM>(added.icon), 0);
      break;
    }
    case ControlKind::ListView: {
      SendMessageW(added.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
      const auto& columns = static_cast<ListView&>(control).Columns();
      for (std::size_t c = 0; c < columns.size(); ++c) {
        std::wstring caption = win32::Wide(columns[c].caption);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = Scale(columns[c].width);
        column.pszText = &caption[0];
        column.iSubItem = static_cast<int>(c);
        SendMessageW(added.hwnd, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
      }
      break;
    }
    case ControlKind::PageControl: {
      Mirroring guard(mirroring_);
      const auto& pages = static_cast<PageControl&>(control).Pages();
      for (std::size_t i = 0; i < pages.size(); ++i) {
        std::wstring caption = win32::Wide(pages[i]->Caption());
        TCITEMW tab = {};
        tab.mask = TCIF_TEXT;
        tab.pszText = &caption[0];
        SendMessageW(added.hwnd, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tab));
      }
      break;
    }
    default:
      break;
  }
  if (control.Kind() == ControlKind::GroupBox) {
    // Themed, it paints its inside in the theme's colours (black under Wine) while the
    // controls on it sit on the form's: drawn plainly, all match. Without the themes' DLL
    // it is drawn plainly anyway.
    if (const win32::UxthemeFunctions* uxtheme = win32::Uxtheme()) uxtheme->SetWindowTheme(added.hwnd, L"", L"");
  }
  if (!IsContainer(control.Kind()) || control.Kind() == ControlKind::GroupBox) {
    // Keys and characters reach the program's handlers before the control sees them.
    SetWindowLongPtrW(added.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&added));
    SetPropW(added.hwnd, L"KeyvanePeer", this);
    added.baseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(added.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32FormPeer::ChildProc)));
  }
  if (IsContainer(control.Kind()) && hwnd_) {
    SetWindowPos(added.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  Sync(added);
  return &added;
}

LRESULT CALLBACK Win32FormPeer::ChildProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* child = reinterpret_cast<NativeChild*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  auto* peer = static_cast<Win32FormPeer*>(GetPropW(window, L"KeyvanePeer"));
  if (!child || !peer) return DefWindowProcW(window, msg, wParam, lParam);
  const WNDPROC base = child->baseProc;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
    RemovePropW(window, L"KeyvanePeer");
    return CallWindowProcW(base, window, msg, wParam, lParam);
  }
  if (msg == WM_GETDLGCODE && child->control->Kind() == ControlKind::Edit &&
      static_cast<Edit*>(child->control)->WantReturn()) {
    // The dialog manager would press the default button: the box's handler takes Enter.
    const LRESULT code = CallWindowProcW(base, window, msg, wParam, lParam);
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    return key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN ? code | DLGC_WANTMESSAGE : code;
  }
  if (msg == WM_GETDLGCODE && child->control->Kind() == ControlKind::RadioButton) {
    // The arrow keys reach the button, whose control moves the check through the form's
    // buttons: the dialog manager would move only the focus, and only inside a group.
    return CallWindowProcW(base, window, msg, wParam, lParam) | DLGC_WANTARROWS;
  }
  if (msg == WM_ERASEBKGND && child->control->Kind() == ControlKind::GroupBox) {
    // A group box leaves its inside unpainted; the form beneath does not paint under it.
    RECT r;
    GetClientRect(window, &r);
    FillRect(reinterpret_cast<HDC>(wParam), &r, SolidBrush(BackgroundOf(*child->control)));
    return 1;
  }
  bool swallowed = false;
  if (!peer->destroying_) win32::Guarded([&] { swallowed = peer->OnChildMessage(*child, msg, wParam); });
  if (swallowed) return 0;
  if (msg == WM_SYSKEYDOWN && child->control->Kind() == ControlKind::ComboBox && wParam != VK_UP && wParam != VK_DOWN)
    // A combo box keeps every system key but Alt+arrows to itself: F10 and Alt reach the
    // menu bar, Alt+F4 the window, as from any other control.
    return DefWindowProcW(window, msg, wParam, lParam);
  return CallWindowProcW(base, window, msg, wParam, lParam);
}

// Returns whether the message is swallowed; a handler may also change the key it carries.
bool Win32FormPeer::OnChildMessage(NativeChild& child, UINT msg, WPARAM& wParam) {
  Control& control = *child.control;
  if ((msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && control.TakesCombinations() && !CombinationCaptureTarget()) {
    // Without a capture (the system refused its hook) a key box still takes the
    // combinations that reach it.
    unsigned held = 0;
    if (GetKeyState(VK_CONTROL) < 0) held |= kModControl;
    if (GetKeyState(VK_MENU) < 0) held |= kModAlt;
    if (GetKeyState(VK_SHIFT) < 0) held |= kModShift;
    if (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0) held |= kModWin;
    if (TakesCombination(held, static_cast<int>(wParam))) {
      control.UserCombination(held, static_cast<int>(wParam));
      return true;
    }
  }
  switch (msg) {
    case WM_KEYDOWN: {
      if (control.Kind() == ControlKind::ListView) {
        // The program's selection moves the focus mark only now: on a long list moving it
        // costs as much as a repaint, and only the keys start from it.
        const int selected = static_cast<ListView&>(control).Selected();
        const int focused =
            static_cast<int>(SendMessageW(child.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (selected >= 0 && focused != selected) {
          Mirroring guard(mirroring_);
          SetListRowSelected(child.hwnd, selected, true, true);
        }
      }
      const int left = control.UserKeyDown(static_cast<int>(wParam));
      if (left == 0) return true;
      wParam = static_cast<WPARAM>(left);
      return false;
    }
    case WM_KILLFOCUS:
      control.UserFocusLost();
      return false;
    case WM_CHAR: {
      const int key = KeyOfChar(static_cast<wchar_t>(wParam));
      const int left = control.UserKeyPress(key);
      if (left == 0) return true;
      if (left != key) wParam = CharOfKey(left);
      return false;
    }
    case WM_SETFOCUS:
      control.SetFocus();  // also when it was the active one: a key box's capture starts again
      if (control.Kind() == ControlKind::Edit && static_cast<Edit&>(control).WantHangul()) {
        // The box is for Korean text: switch the input method to Hangul.
        if (const HIMC context = ImmGetContext(child.hwnd)) {
          DWORD conversion = 0, sentence = 0;
          ImmGetConversionStatus(context, &conversion, &sentence);
          ImmSetOpenStatus(context, TRUE);
          ImmSetConversionStatus(context, conversion | IME_CMODE_HANGUL | IME_CMODE_NATIVE, sentence);
          ImmReleaseContext(child.hwnd, context);
        }
      }
      return false;
    default:
      return false;
  }
}

void Win32FormPeer::SyncAll() {
  for (auto& child : children_) SyncCommon(*child);
}

// Place, visibility, enabled state and font: what every kind of control shares.
void Win32FormPeer::SyncCommon(NativeChild& child) {
  const Control& control = *child.control;
  const Control::Bounds place = control.FormPlace();
  RECT r = {Scale(place.x), Scale(place.y), Scale(place.x + place.width), Scale(place.y + place.height)};
  if (control.Kind() == ControlKind::ComboBox) {
    // A drop-down list's window height is the closed box plus its open list.
    const int rowHeight = static_cast<int>(SendMessageW(child.hwnd, CB_GETITEMHEIGHT, 0, 0));
    if (rowHeight > 0) r.bottom += static_cast<ComboBox&>(*child.control).DropDownRows() * rowHeight + 2;
  }
  if (!EqualRect(&r, &child.place)) {
    child.place = r;
    SetWindowPos(child.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (control.Kind() == ControlKind::Panel || control.Kind() == ControlKind::Label)
      InvalidateRect(child.hwnd, nullptr, TRUE);
  }
  const bool showing = control.Showing();
  if (((GetWindowLongPtrW(child.hwnd, GWL_STYLE) & WS_VISIBLE) != 0) != showing)
    ShowWindow(child.hwnd, showing ? SW_SHOWNA : SW_HIDE);
  const bool enabled = EffectivelyEnabled(control);
  if ((IsWindowEnabled(child.hwnd) != FALSE) != enabled) EnableWindow(child.hwnd, enabled ? TRUE : FALSE);
  const HFONT font = FontObject(control.GetFont());
  if (font != child.font) {
    child.font = font;
    SendMessageW(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (control.Kind() == ControlKind::ComboBox) child.place = RECT{};  // its row height follows the font
  }
  if (win32::Wide(control.Hint()) != child.tip) SyncTip(child);
}

// One tooltip per form, with a tool for each control that has a hint.
void Win32FormPeer::SyncTip(NativeChild& child) {
  std::wstring tip = win32::Wide(child.control->Hint());
  if (!tips_) {
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, Instance(),
                            nullptr);
    if (!tips_) return;
    // A long address wraps instead of running off the screen.
    SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, Scale(480));
  }
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(child.hwnd);
  tool.lpszText = &tip[0];
  if (child.tip.empty())
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  else if (tip.empty())
    SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  else
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  child.tip = tip;
}

void Win32FormPeer::Sync(NativeChild& child) {
  SyncCommon(child);
  Mirroring guard(mirroring_);
  const HWND h = child.hwnd;
  Control& control = *child.control;
  switch (control.Kind()) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: {
      const bool checked = control.Kind() == ControlKind::CheckBox ? static_cast<CheckBox&>(control).Checked()
                                                                   : static_cast<RadioButton&>(control).Checked();
      if ((SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED) != checked)
        SendMessageW(h, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
      // BM_SETCHECK moves WS_TABSTOP by the system's own rule: the form's says which have it.
      if (control.Kind() == ControlKind::RadioButton) {
        for (auto& other : children_) {
          if (other->control->Kind() != ControlKind::RadioButton) continue;
          const LONG_PTR style = GetWindowLongPtrW(other->hwnd, GWL_STYLE);
          const LONG_PTR stop = static_cast<RadioButton*>(other->control)->TabStop() ? WS_TABSTOP : 0;
          if ((style & WS_TABSTOP) != stop) SetWindowLongPtrW(other->hwnd, GWL_STYLE, (style & ~WS_TABSTOP) | stop);
        }
      }
      break;
    }
    case ControlKind::Button: {
      auto& button = static_cast<Button&>(control);
      SetTextIfDifferent(h, button.Caption());
      const LONG_PTR type = GetWindowLongPtrW(h, GWL_STYLE) & BS_TYPEMASK;
      const LONG_PTR wanted = button.IsDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      if (type != wanted) SendMessageW(h, BM_SETSTYLE, static_cast<WPARAM>(wanted), TRUE);
      break;
    }
    case ControlKind::Edit: {
      auto& edit = static_cast<Edit&>(control);
      // Only a real difference is written: the caret stays where the user is typing.
      SetTextIfDifferent(h, edit.Text());
      if (((GetWindowLongPtrW(h, GWL_STYLE) & ES_READONLY) != 0) != edit.ReadOnly())
        SendMessageW(h, EM_SETREADONLY, edit.ReadOnly() ? TRUE : FALSE, 0);
      break;
    }
    case ControlKind::Label: {
      auto& label = static_cast<Label&>(control);
      const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
      const LONG_PTR align = label.AlignRight() ? SS_RIGHT : SS_LEFT;
      const LONG_PTR prefix = label.ShowAccelChar() ? 0 : SS_NOPREFIX;
      const LONG_PTR ellipsis = label.Ellipsis() ? SS_ENDELLIPSIS : 0;
      constexpr LONG_PTR kMask = SS_TYPEMASK | SS_NOPREFIX | SS_ELLIPSISMASK;
      if ((style & kMask) != (align | prefix | ellipsis))
        SetWindowLongPtrW(h, GWL_STYLE, (style & ~kMask) | align | prefix | ellipsis);
      SetTextIfDifferent(h, label.Caption());
      InvalidateRect(h, nullptr, TRUE);  // over a coloured panel the old text would stay
      break;
    }
    case ControlKind::Panel:
      InvalidateRect(h, nullptr, TRUE);
      break;
    case ControlKind::PageControl: {
      const int page = static_cast<PageControl&>(control).ActivePage();
      if (static_cast<int>(SendMessageW(h, TCM_GETCURSEL, 0, 0)) != page) SendMessageW(h, TCM_SETCURSEL, page, 0);
      break;
    }
    case ControlKind::ComboBox:
      SyncComboBox(child);
      break;
    case ControlKind::ListView:
      SyncList(child);
      break;
    default:
      break;
  }
}

void Win32FormPeer::SyncComboBox(NativeChild& child) {
  Mirroring guard(mirroring_);
  const auto& combo = *static_cast<ComboBox*>(child.control);
  const auto& items = combo.Items();
  auto& shown = child.items;
  // Filling the list adds one entry at a time: append what is new instead of refilling.
  const bool appendOnly = shown.size() <= items.size() && std::equal(shown.begin(), shown.end(), items.begin());
  if (!appendOnly) {
    SendMessageW(child.hwnd, CB_RESETCONTENT, 0, 0);
    shown.clear();
  }
  for (std::size_t i = shown.size(); i < items.size(); ++i)
    SendMessageW(child.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Wide(items[i]).c_str()));
  shown = items;
  SendMessageW(child.hwnd, CB_SETMINVISIBLE, static_cast<WPARAM>(combo.DropDownRows()), 0);  // common controls 6
  const int index = combo.ItemIndex();
  if (static_cast<int>(SendMessageW(child.hwnd, CB_GETCURSEL, 0, 0)) != index)
    SendMessageW(child.hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32FormPeer::SyncImages(NativeChild& child) {
  const auto& images = static_cast<ListView*>(child.control)->Images();
  if (images == child.images) return;
  child.images = images;
  HIMAGELIST made = nullptr;
  if (!images.empty()) {
    made = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK,
                            static_cast<int>(images.size()), 0);
    for (Icon icon : images) {
      const HICON image = IconImage(icon);
      ImageList_AddIcon(made, image);
      if (image) DestroyIcon(image);
    }
  }
  SendMessageW(child.hwnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(made));
  if (child.imageList) ImageList_Destroy(child.imageList);
  child.imageList = made;
}

void Win32FormPeer::SyncList(NativeChild& child) {
  Mirroring guard(mirroring_);
  SyncImages(child);
  const int count = static_cast<ListView*>(child.control)->RowCount();
  if (count != child.rows) {
    SendMessageW(child.hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
    child.rows = count;
  }
  InvalidateRect(child.hwnd, nullptr, FALSE);
  SyncListSelection(child);
}

void Win32FormPeer::SyncListRow(NativeChild& child, int row) {
  const auto& list = *static_cast<ListView*>(child.control);
  if (list.RowCount() != child.rows || row >= child.rows) {
    SyncList(child);
    return;
  }
  Mirroring guard(mirroring_);
  SendMessageW(child.hwnd, LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
  const bool selected = list.IsSelected(row);
  const UINT state = static_cast<UINT>(SendMessageW(child.hwnd, LVM_GETITEMSTATE, row, LVIS_SELECTED));
  if (((state & LVIS_SELECTED) != 0) != selected) {
    SetListRowSelected(child.hwnd, row, selected, false);
    if (selected) SendMessageW(child.hwnd, LVM_SETSELECTIONMARK, 0, row);
  }
}

void Win32FormPeer::SyncListSelection(NativeChild& child) {
  Mirroring guard(mirroring_);
  const std::vector<int> wanted = static_cast<ListView*>(child.control)->SelectedRows();
  if (NativeSelection(child.hwnd) == wanted) return;
  SetListRowSelected(child.hwnd, -1, false, false);  // -1: every row
  for (int row : wanted) SetListRowSelected(child.hwnd, row, true, false);
  if (!wanted.empty()) SendMessageW(child.hwnd, LVM_SETSELECTIONMARK, 0, wanted.front());
}

}  // namespace

std::unique_ptr<FormPeer> CreateFormPeer(Form& form) {
  InitCommonControlsOnce();
  auto peer = std::make_unique<Win32FormPeer>(form);
  peer->Create();
  return peer;
}

}  // namespace plat
