#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/controls.h"

namespace plat {
namespace {

constexpr UINT kFirstChildId = 100;
// Posted to a form's own window: a list row lost the selection by the user's hand, and
// unless a gain follows it the program's list must lose it too.
constexpr UINT kMsgListLossCheck = WM_APP + 0x2A0;
constexpr int kComboRowsVisible = 15;
// A whole-list sync of more rows than this, or one adding or removing that many, stops the
// list painting until it is done: thousands of rows would otherwise repaint thousands of times.
constexpr std::size_t kQuietSyncRows = 64;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// Sizes in the design are pixels at 96 dpi; a DPI-aware window scales them itself.
int Scale(int pixels) {
  static const int dpi = [] {
    const HDC screen = GetDC(nullptr);
    const int d = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return d > 0 ? d : 96;
  }();
  return MulDiv(pixels, dpi, 96);
}

void InitCommonControlsOnce() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

// What a native control shows, so that a sync touches only what changed.
struct NativeChild {
  Control* control = nullptr;
  HWND hwnd = nullptr;
  UINT id = 0;
  std::vector<std::string> items;              // combo box entries
  std::vector<std::vector<std::string>> rows;  // list view cells
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

class QuietRedraw {
 public:
  QuietRedraw(HWND window, bool quiet) : window_(quiet ? window : nullptr) {
    if (window_) SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
  }
  ~QuietRedraw() {
    if (!window_) return;
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
  }
  QuietRedraw(const QuietRedraw&) = delete;
  QuietRedraw& operator=(const QuietRedraw&) = delete;

 private:
  HWND window_;
};

// ---------------------------------------------------------------- list view calls

void SetListCell(HWND list, int row, int column, const std::string& text) {
  std::wstring wide = win32::Wide(text);
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = &wide[0];  // never null: an empty std::wstring still has its terminator
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void InsertListRow(HWND list, int row, const std::vector<std::string>& cells) {
  std::wstring caption = win32::Wide(cells.empty() ? std::string() : cells[0]);
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = &caption[0];
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  for (std::size_t c = 1; c < cells.size(); ++c)
    if (!cells[c].empty()) SetListCell(list, row, static_cast<int>(c), cells[c]);
}

void SetListRowSelected(HWND list, int row, bool selected) {
  LVITEMW item = {};
  item.stateMask = selected ? (LVIS_SELECTED | LVIS_FOCUSED) : LVIS_SELECTED;
  item.state = selected ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int NativeSelection(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
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
  void FocusControl(Control& control) override;
  void ScrollIntoView(Control& list, int row) override;
  void RunModal(Form* owner) override;
  void StayOnTopChanged() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  void Forward(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnCommand(UINT id, UINT code);
  void OnNotify(const NMHDR& header);
  void OnListLossCheck(UINT id);

  NativeChild* ChildOf(Control& control);
  NativeChild* ChildById(UINT id);
  NativeChild* CreateChild(Control& control);

  void SyncCheckBox(NativeChild& child);
  void SyncComboBox(NativeChild& child);
  void SyncListRow(NativeChild& child, int row);
  void SyncList(NativeChild& child);
  void SyncListSelection(NativeChild& child);

  Form& form_;
  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<std::unique_ptr<NativeChild>> children_;
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

bool Win32FormPeer::Create() {
  if (!RegisterFormClass(&Win32FormPeer::WindowProc)) return false;
  const bool host = form_.Style() == FormStyle::HiddenHost;
  const DWORD style = host ? WS_POPUP : (WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN);
  const DWORD exStyle = host ? WS_EX_TOOLWINDOW : WS_EX_CONTROLPARENT;
  RECT frame = {0, 0, Scale(form_.ClientWidth()), Scale(form_.ClientHeight())};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int x = host ? 0 : std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int y = host ? 0 : std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  // The window procedure takes this peer from WM_NCCREATE on.
  CreateWindowExW(exStyle, win32::kFormClassName, win32::Wide(form_.Caption()).c_str(), style, x, y, width, height,
                  nullptr, nullptr, Instance(), this);
  if (!hwnd_) return false;
  font_ = CreateFontW(-Scale(12), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, HANGUL_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"굴림체");
  for (Control* control : form_.Controls()) ChildOf(*control);
  return true;
}

Win32FormPeer::~Win32FormPeer() {
  // The form is being torn down: its controls may already be gone, so the notifications the
  // children send while they are destroyed must not reach them.
  destroying_ = true;
  if (hwnd_) DestroyWindow(hwnd_);
  if (font_) DeleteObject(font_);
}

void Win32FormPeer::SetVisible(bool visible) {
  if (!hwnd_ || form_.Style() == FormStyle::HiddenHost) return;
  if (visible) {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
  } else {
    ShowWindow(hwnd_, SW_HIDE);
  }
}

void Win32FormPeer::CaptionChanged() {
  if (hwnd_) SetWindowTextW(hwnd_, win32::Wide(form_.Caption()).c_str());
}

void Win32FormPeer::ControlChanged(Control& control, int row) {
  if (!hwnd_ || destroying_) return;
  NativeChild* child = ChildOf(control);
  if (!child) return;
  switch (control.Kind()) {
    case ControlKind::CheckBox:
      SyncCheckBox(*child);
      break;
    case ControlKind::ComboBox:
      SyncComboBox(*child);
      break;
    case ControlKind::ListView:
      if (row >= 0)
        SyncListRow(*child, row);
      else
        SyncList(*child);
      break;
    default:
      break;
  }
}

void Win32FormPeer::FocusControl(Control& control) {
  if (NativeChild* child = hwnd_ ? ChildOf(control) : nullptr) SetFocus(child->hwnd);
}

void Win32FormPeer::ScrollIntoView(Control& list, int row) {
  if (NativeChild* child = hwnd_ ? ChildOf(list) : nullptr) SendMessageW(child->hwnd, LVM_ENSUREVISIBLE, row, FALSE);
}

void Win32FormPeer::RunModal(Form* owner) {
  const HWND ownerWindow = owner ? reinterpret_cast<HWND>(owner->Handle()) : nullptr;
  const bool ownerWasEnabled = ownerWindow && IsWindowEnabled(ownerWindow);
  if (ownerWasEnabled) EnableWindow(ownerWindow, FALSE);
  MSG msg;
  while (form_.ModalResult() == kMrNone) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop ends too
      break;
    }
    if (got < 0) break;
    if (hwnd_ && IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
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

  switch (msg) {
    case WM_CLOSE:
      // The form decides: closing may be refused, and allowed closing only hides the window.
      win32::Guarded([&] { peer->Forward(msg, wParam, lParam); });
      return 0;
    case kMsgListLossCheck:
      win32::Guarded([&] { peer->OnListLossCheck(static_cast<UINT>(wParam)); });
      return 0;
    case WM_COMMAND:
      if (lParam) win32::Guarded([&] { peer->OnCommand(LOWORD(wParam), HIWORD(wParam)); });
      break;
    case WM_NOTIFY:
      win32::Guarded([&] { peer->OnNotify(*reinterpret_cast<const NMHDR*>(lParam)); });
      break;
    default:
      break;
  }
  win32::Guarded([&] { peer->Forward(msg, wParam, lParam); });
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    peer->hwnd_ = nullptr;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void Win32FormPeer::Forward(UINT msg, WPARAM wParam, LPARAM lParam) {
  form_.HandleMessage(msg, static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam));
}

void Win32FormPeer::OnCommand(UINT id, UINT code) {
  if (destroying_ || mirroring_) return;
  NativeChild* child = ChildById(id);
  if (!child) return;
  switch (child->control->Kind()) {
    case ControlKind::CheckBox:
      // BS_CHECKBOX leaves the check mark alone: the control decides and the sync shows it.
      if (code == BN_CLICKED) {
        static_cast<CheckBox*>(child->control)->UserClick();
        SyncCheckBox(*child);
      }
      break;
    case ControlKind::ComboBox:
      if (code == CBN_SELCHANGE) {
        const int picked = static_cast<int>(SendMessageW(child->hwnd, CB_GETCURSEL, 0, 0));
        static_cast<ComboBox*>(child->control)->UserPick(picked);
        SyncComboBox(*child);
      }
      break;
    default:
      break;
  }
}

void Win32FormPeer::OnNotify(const NMHDR& header) {
  if (destroying_ || mirroring_ || header.code != LVN_ITEMCHANGED) return;
  NativeChild* child = ChildById(static_cast<UINT>(header.idFrom));
  if (!child || child->hwnd != header.hwndFrom || child->control->Kind() != ControlKind::ListView) return;
  const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
  if (!(change.uChanged & LVIF_STATE)) return;
  const bool was = (change.uOldState & LVIS_SELECTED) != 0, is = (change.uNewState & LVIS_SELECTED) != 0;
  auto& list = *static_cast<ListView*>(child->control);
  if (change.iItem < 0) {
    // A change to every row at once (some versions clear the selection that way).
    PostMessageW(hwnd_, kMsgListLossCheck, child->id, 0);
  } else if (is && !was) {
    if (list.Selected() != change.iItem) list.UserSelect(change.iItem);
    SyncListSelection(*child);
  } else if (was && !is && change.iItem == list.Selected()) {
    // A move of the selection reports the loss before the gain; only a loss that no gain
    // follows (a click on empty space) empties the program's selection.
    PostMessageW(hwnd_, kMsgListLossCheck, child->id, 0);
  }
}

void Win32FormPeer::OnListLossCheck(UINT id) {
  if (destroying_) return;
  NativeChild* child = ChildById(id);
  if (!child || child->control->Kind() != ControlKind::ListView) return;
  auto& list = *static_cast<ListView*>(child->control);
  if (NativeSelection(child->hwnd) < 0 && list.Selected() >= 0) {
    list.UserSelect(-1);
    SyncListSelection(*child);
  }
}

NativeChild* Win32FormPeer::ChildOf(Control& control) {
  for (auto& child : children_)
    if (child->control == &control) return child.get();
  return CreateChild(control);
}

NativeChild* Win32FormPeer::ChildById(UINT id) {
  if (id < kFirstChildId || id - kFirstChildId >= children_.size()) return nullptr;
  return children_[id - kFirstChildId].get();
}

NativeChild* Win32FormPeer::CreateChild(Control& control) {
  auto child = std::make_unique<NativeChild>();
  child->control = &control;
  child->id = kFirstChildId + static_cast<UINT>(children_.size());
  const Control::Bounds& place = control.Place();
  const int x = Scale(place.x), y = Scale(place.y), width = Scale(place.width), height = Scale(place.height);
  const auto menuId = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(child->id));
  const DWORD common = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  switch (control.Kind()) {
    case ControlKind::CheckBox:
      child->hwnd = CreateWindowExW(0, L"BUTTON", win32::Wide(static_cast<CheckBox&>(control).Caption()).c_str(),
                                    common | BS_CHECKBOX, x, y, width, height, hwnd_, menuId, Instance(), nullptr);
      break;
    case ControlKind::ComboBox:
      child->hwnd = CreateWindowExW(0, L"COMBOBOX", L"", common | WS_VSCROLL | CBS_DROPDOWNLIST, x, y, width, height,
                                    hwnd_, menuId, Instance(), nullptr);
      break;
    case ControlKind::ListView: {
      child->hwnd =
          CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", common | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                          x, y, width, height, hwnd_, menuId, Instance(), nullptr);
      if (!child->hwnd) break;
      SendMessageW(child->hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
      const auto& columns = static_cast<ListView&>(control).Columns();
      for (std::size_t c = 0; c < columns.size(); ++c) {
        std::wstring caption = win32::Wide(columns[c].caption);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = Scale(columns[c].width);
        column.pszText = &caption[0];
        column.iSubItem = static_cast<int>(c);
        SendMessageW(child->hwnd, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
      }
      break;
    }
    default:
      break;
  }
  if (!child->hwnd) return nullptr;
  if (font_) SendMessageW(child->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  if (control.Kind() == ControlKind::ComboBox) {
    // A drop-down list's window height is the closed box plus its open list.
    const int rowHeight = static_cast<int>(SendMessageW(child->hwnd, CB_GETITEMHEIGHT, 0, 0));
    if (rowHeight > 0)
      SetWindowPos(child->hwnd, nullptr, 0, 0, width, height + kComboRowsVisible * rowHeight + 2,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(child->hwnd, CB_SETMINVISIBLE, kComboRowsVisible, 0);  // common controls 6
  }
  NativeChild& added = *child;
  children_.push_back(std::move(child));
  switch (control.Kind()) {
    case ControlKind::CheckBox:
      SyncCheckBox(added);
      break;
    case ControlKind::ComboBox:
      SyncComboBox(added);
      break;
    case ControlKind::ListView:
      SyncList(added);
      break;
    default:
      break;
  }
  return &added;
}

void Win32FormPeer::SyncCheckBox(NativeChild& child) {
  Mirroring guard(mirroring_);
  const bool checked = static_cast<CheckBox*>(child.control)->Checked();
  SendMessageW(child.hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
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
  const int index = combo.ItemIndex();
  if (static_cast<int>(SendMessageW(child.hwnd, CB_GETCURSEL, 0, 0)) != index)
    SendMessageW(child.hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32FormPeer::SyncListRow(NativeChild& child, int row) {
  const auto& list = *static_cast<ListView*>(child.control);
  auto& shown = child.rows;
  const int shownCount = static_cast<int>(shown.size());
  const bool update = row < shownCount && list.RowCount() == shownCount;
  const bool append = row == shownCount && list.RowCount() == shownCount + 1;
  if (!update && !append) {
    SyncList(child);
    return;
  }
  Mirroring guard(mirroring_);
  const auto& cells = list.Row(row);
  if (append) {
    InsertListRow(child.hwnd, row, cells);
    shown.push_back(cells);
  } else {
    auto& old = shown[row];
    old.resize(cells.size());
    for (std::size_t c = 0; c < cells.size(); ++c)
      if (old[c] != cells[c]) SetListCell(child.hwnd, row, static_cast<int>(c), cells[c]);
    old = cells;
  }
  const bool selected = list.Selected() == row;
  const UINT state = static_cast<UINT>(SendMessageW(child.hwnd, LVM_GETITEMSTATE, row, LVIS_SELECTED));
  if (((state & LVIS_SELECTED) != 0) != selected) SetListRowSelected(child.hwnd, row, selected);
}

void Win32FormPeer::SyncList(NativeChild& child) {
  const auto& list = *static_cast<ListView*>(child.control);
  auto& shown = child.rows;
  const std::size_t count = static_cast<std::size_t>(list.RowCount());
  Mirroring guard(mirroring_);
  const std::size_t changed = count > shown.size() ? count - shown.size() : shown.size() - count;
  QuietRedraw quiet(child.hwnd, changed > kQuietSyncRows || count > kQuietSyncRows);

  if (count == 0 && !shown.empty()) {
    SendMessageW(child.hwnd, LVM_DELETEALLITEMS, 0, 0);
    shown.clear();
  }
  // One row deleted from the middle: take it out instead of rewriting every row below it.
  if (shown.size() == count + 1) {
    std::size_t gone = 0;
    while (gone < count && shown[gone] == list.Row(static_cast<int>(gone))) ++gone;
    bool restMatches = true;
    for (std::size_t i = gone; i < count && restMatches; ++i)
      restMatches = shown[i + 1] == list.Row(static_cast<int>(i));
    if (restMatches) {
      SendMessageW(child.hwnd, LVM_DELETEITEM, gone, 0);
      shown.erase(shown.begin() + static_cast<std::ptrdiff_t>(gone));
    }
  }
  while (shown.size() > count) {
    SendMessageW(child.hwnd, LVM_DELETEITEM, shown.size() - 1, 0);
    shown.pop_back();
  }
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const auto& cells = list.Row(static_cast<int>(i));
    auto& old = shown[i];
    if (old == cells) continue;
    old.resize(cells.size());
    for (std::size_t c = 0; c < cells.size(); ++c)
      if (old[c] != cells[c]) SetListCell(child.hwnd, static_cast<int>(i), static_cast<int>(c), cells[c]);
    old = cells;
  }
  while (shown.size() < count) {
    const int row = static_cast<int>(shown.size());
    InsertListRow(child.hwnd, row, list.Row(row));
    shown.push_back(list.Row(row));
  }
  SyncListSelection(child);
}

void Win32FormPeer::SyncListSelection(NativeChild& child) {
  Mirroring guard(mirroring_);
  const int wanted = static_cast<ListView*>(child.control)->Selected();
  const int native = NativeSelection(child.hwnd);
  if (native == wanted) return;
  if (native >= 0) SetListRowSelected(child.hwnd, -1, false);  // -1: every row
  if (wanted >= 0) {
    SetListRowSelected(child.hwnd, wanted, true);
    SendMessageW(child.hwnd, LVM_SETSELECTIONMARK, 0, wanted);
  }
}

}  // namespace

std::unique_ptr<FormPeer> CreateFormPeer(Form& form) {
  InitCommonControlsOnce();
  auto peer = std::make_unique<Win32FormPeer>(form);
  peer->Create();
  return peer;
}

}  // namespace plat
