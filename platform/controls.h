#pragma once
// The widgets of the program's windows. Each control owns its state and fires its
// events by the editor's rules; a native mirror (the win32 side) shows that state in real
// controls and turns the user's input into the User* calls below, which tests call directly.
//
// Change rules:
//  - Edit: OnChange fires on every change of the text, also one the program makes, and never
//    when the text is set to what it already is.
//  - CheckBox: OnClick fires on every change of the checked state, also one the program makes.
//  - RadioButton: OnClick fires only when the button becomes checked (by the user or the
//    program); checking one unchecks the others of its form without reports. As in a
//    dialog box, Tab stops at the checked one only, and the arrow keys check the next or
//    previous one instead.
//  - ComboBox: OnChange fires only for a user's pick (UserPick), never for SetItemIndex.
//  - ListView: OnSelectItem fires when a row gains or loses the selection; when the selection
//    moves, the old row's loss comes first, delivered while no row is selected.
//    Clear and whole-list refills report nothing.
//
// Places and sizes are pixels at 96 dpi, relative to the control's parent (the form's client
// area for a control without one); the native side scales them by the screen's dpi.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

namespace plat {

class Form;
class Control;
class MenuItem;

enum class ControlKind {
  CheckBox,
  ComboBox,
  ListView,
  Edit,
  Button,
  RadioButton,
  Label,
  Panel,
  GroupBox,
  PageControl,
  TabSheet,
  Image
};

// Colours as 0x00BBGGRR; kColorDefault leaves the control's own.
using Color = std::uint32_t;
constexpr Color kColorDefault = 0x1FFFFFFF;
constexpr Color kColorWhite = 0xFFFFFF, kColorBlack = 0x000000, kColorGray = 0x808080, kColorNavy = 0x800000;

struct Font {
  std::string name = "굴림체";
  int points = 9;
  bool bold = false;
  bool underline = false;
  Color color = kColorDefault;
  bool operator==(const Font& o) const {
    return name == o.name && points == o.points && bold == o.bold && underline == o.underline && color == o.color;
  }
  bool operator!=(const Font& o) const { return !(*this == o); }
};

// Icons for list rows and pictures; the native side maps each to a real icon.
enum class Icon { Program, Warning, Information, Question, Folder };

// Virtual-key codes the program looks at.
constexpr int kVkBack = 0x08, kVkTab = 0x09, kVkReturn = 0x0D, kVkEscape = 0x1B, kVkSpace = 0x20, kVkLeft = 0x25,
              kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28, kVkDelete = 0x2E, kVkF1 = 0x70,
              kVkProcessKey = 0xE5;

// Modal results.
constexpr int kMrNone = 0, kMrOk = 1, kMrCancel = 2;

// Native mirror of one form; created by the backend the first time the form needs a window.
class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual WindowHandle Handle() const = 0;
  virtual void SetVisible(bool visible) = 0;  // showing also brings the window to the front
  virtual void CaptionChanged() = 0;
  // row < 0: the whole control changed; otherwise only that row of a list view.
  virtual void ControlChanged(Control& control, int row) = 0;
  virtual void FocusControl(Control& control) = 0;
  // Whether the control has the keyboard focus now (its window is the active one).
  virtual bool HasFocus(Control& /*control*/) { return true; }
  virtual void ScrollIntoView(Control& list, int row) = 0;
  // Runs a nested message loop until the form has a modal result (or the program quits),
  // with the owner disabled meanwhile.
  virtual void RunModal(Form* owner) = 0;
  virtual void StayOnTopChanged() = 0;
  // Only the image of a list view's row changed.
  virtual void RowImageChanged(Control& list, int row) { ControlChanged(list, row); }
};

std::unique_ptr<FormPeer> CreateFormPeer(Form& form);

enum class FormStyle {
  HiddenHost,   // never shown; no taskbar button
  FixedDialog,  // fixed single border, system menu only, centred on the screen
  Sizeable      // single border with system menu and maximise box, centred on the screen
};

// An item of a main menu or popup menu. A caption "-" makes a separator; "&" marks the
// mnemonic. Items with children are submenus.
class MenuItem {
 public:
  MenuItem() = default;
  MenuItem(std::string caption, std::function<void()> onClick, int shortcut)
      : OnClick(std::move(onClick)), caption_(std::move(caption)), shortcut_(shortcut) {}
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  // Appends a child and returns it.
  MenuItem& Add(std::string caption, std::function<void()> onClick = nullptr, int shortcut = 0);
  MenuItem& AddSeparator() { return Add("-"); }

  const std::string& Caption() const { return caption_; }
  // Popup menus are built from their items each time they open, so a new caption shows at
  // the next opening.
  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  bool IsSeparator() const { return caption_ == "-"; }
  // A disabled item shows greyed and cannot be chosen; the default item of a popup menu is
  // drawn bold. Both are read when the menu is shown.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool IsDefault() const { return default_; }
  void SetDefault(bool isDefault) { default_ = isDefault; }
  int Shortcut() const { return shortcut_; }  // a virtual key without modifiers (F1), or 0
  const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }
  // The child with this caption, searched depth first; nullptr when there is none.
  MenuItem* Find(const std::string& caption);
  // The item whose shortcut is vk, searched depth first.
  MenuItem* FindShortcut(int vk);
  // The user's choice of the item: OnClick.
  void Click();

  std::function<void()> OnClick;

 private:
  std::string caption_;
  int shortcut_ = 0;
  bool enabled_ = true;
  bool default_ = false;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

class Form {
 public:
  Form(std::string caption, FormStyle style, int clientWidth, int clientHeight);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // The native window; created on first use.
  WindowHandle Handle();
  bool HasWindow() const { return peer_ != nullptr; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

  FormStyle Style() const { return style_; }
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  // The user resized the window (96-dpi pixels): anchored controls follow.
  void UserResize(int clientWidth, int clientHeight);

  // The form's font; controls without their own font use it.
  const Font& GetFont() const { return font_; }
  void SetFont(const Font& font) { font_ = font; }

  // The main menu; a form without items has none. Fill it before the window exists.
  MenuItem& MainMenu() { return menu_; }
  // A key pressed anywhere in the form: runs the menu item that has it as its shortcut.
  // Returns whether one did.
  bool HandleShortcut(int vk);

  bool StayOnTop() const { return stayOnTop_; }
  void SetStayOnTop(bool stayOnTop);

  bool Visible() const { return visible_; }
  // Shows the window and brings it to the front; FormShow runs when it was hidden.
  void Show();
  void Hide();
  // Asks FormCloseQuery; when closing is allowed the window hides and FormClose runs.
  // Closing a modal form gives it the result kMrCancel unless it has one.
  // Returns whether it closed.
  bool Close();

  // Shows the form modally over owner (disabled meanwhile) until it has a modal result,
  // then hides it. Returns that result.
  int ShowModal(Form* owner);
  bool InModal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  // In a modal form, a result other than kMrNone ends the modal loop.
  void SetModalResult(int result);

  // Deletes this form from the message loop, once the current message is handled: for
  // windows that free themselves when closed. The form must have been made with new.
  // Asking again (Enter and the close box may both close a window) changes nothing.
  void Release();

  // The controls in tab order (the order they were made in, unless SetTabOrder changed it).
  const std::vector<Control*>& Controls() const { return controls_; }
  // Tab visits these controls in the order given, in the places the first of them held;
  // every other control keeps its place. Call before the window exists.
  void SetTabOrder(const std::vector<Control*>& order);
  // The control with the keyboard focus, or nullptr.
  Control* ActiveControl() const { return active_; }

  // Window messages the form handles itself after any hook has seen them.
  virtual void HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);

  // The Windows session is about to end (log-off, shut-down): every window is asked whether
  // it may, and one false keeps the session. EndSession follows with whether it now ends;
  // after an ending one the process may be gone at any moment.
  virtual bool QueryEndSession() { return true; }
  virtual void EndSession(bool /*ending*/) {}

 protected:
  virtual void FormShow() {}
  // After the window has appeared: what it has to say goes over it.
  virtual void FormShown() {}
  virtual void FormCloseQuery(bool& /*canClose*/) {}
  virtual void FormClose() {}

 private:
  friend class Control;
  friend class ListView;
  void NotifyChanged(Control& control, int row);
  void NotifyScroll(Control& control, int row);
  void NotifyRowImage(Control& control, int row);
  // Starts the capture of combinations when the focused control takes them and the form
  // shows with the focus; otherwise ends a capture that reports to this form.
  void UpdateCapture(bool hasFocus);

  std::string caption_;
  FormStyle style_;
  int clientWidth_, clientHeight_;
  int designWidth_, designHeight_;
  Font font_;
  MenuItem menu_;
  bool stayOnTop_ = false;
  bool visible_ = false;
  bool modal_ = false;
  bool released_ = false;
  int modalResult_ = kMrNone;
  std::vector<Control*> controls_;
  Control* active_ = nullptr;
  std::unique_ptr<FormPeer> peer_;
};

// Which edges keep their distance from the same edge of what holds the control (the form,
// or the panel, group box or page it sits in) when the form is resized.
enum Anchor : unsigned { kAnchorLeft = 1, kAnchorTop = 2, kAnchorRight = 4, kAnchorBottom = 8 };

class Control {
 public:
  struct Bounds {
    int x, y, width, height;
  };
  // parent: the panel, group box or page the control sits in, or nullptr for the form.
  Control(Form& owner, std::string name, Bounds bounds, Control* parent = nullptr);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  virtual ControlKind Kind() const = 0;
  Form& Owner() const { return owner_; }
  Control* Parent() const { return parent_; }
  const std::string& Name() const { return name_; }
  // Relative to the parent, at 96 dpi.
  const Bounds& Place() const { return bounds_; }
  // In the form's client area, at 96 dpi, after the form's resizing.
  Bounds FormPlace() const;
  void SetAnchors(unsigned anchors) { anchors_ = anchors; }
  unsigned Anchors() const { return anchors_; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Visible itself and inside visible parents (a page only while it is the active one).
  bool Showing() const;

  // The control's font: its own once set, otherwise the form's.
  const Font& GetFont() const { return ownFont_ ? font_ : owner_.GetFont(); }
  void SetFont(const Font& font);
  void SetBold(bool bold);
  bool HandCursor() const { return handCursor_; }
  void SetHandCursor(bool hand) { handCursor_ = hand; }
  // The tip shown while the pointer rests on the control; empty: none.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);

  // Gives the control the keyboard focus.
  void SetFocus();
  bool Focused() const { return owner_.ActiveControl() == this; }
  // The keyboard focus left the control for another window, or the form hid: it stays the
  // form's active control.
  void UserFocusLost();

  // A key box: while it has the keyboard focus and its form shows, a combination pressed
  // anywhere (TakesCombination in platform/input.h) reaches OnCombination instead of any
  // hotkey or window; the capture ends the moment the focus leaves.
  bool TakesCombinations() const { return takesCombinations_; }
  void SetTakesCombinations(bool takes);
  std::function<void(unsigned modifiers, int vk)> OnCombination;
  // The user pressed a combination into the control: OnCombination, for one a box takes.
  void UserCombination(unsigned modifiers, int vk);

  // Raw input. A key-down handler may set the key to 0 to swallow it; so may a key-press
  // handler for the character (the byte of an ASCII character, or lead * 256 + trail of a
  // CP949 one).
  std::function<void()> OnMouseDown;
  std::function<void(int& vk)> OnKeyDown;
  std::function<void(int& key)> OnKeyPress;
  // The user presses a key on the control: OnKeyDown; returns the key left (0: swallowed).
  int UserKeyDown(int vk);
  // The character of a key: OnKeyPress; returns the character left (0: swallowed).
  int UserKeyPress(int key);
  void UserMouseDown();

 protected:
  void Changed(int row = -1) { owner_.NotifyChanged(*this, row); }

 private:
  friend class Form;
  bool HasSystemFocus();
  Form& owner_;
  Control* parent_;
  std::string name_;
  Bounds bounds_;
  unsigned anchors_ = kAnchorLeft | kAnchorTop;
  bool enabled_ = true;
  bool visible_ = true;
  bool ownFont_ = false;
  bool handCursor_ = false;
  bool takesCombinations_ = false;
  Font font_;
  std::string hint_;
};

class CheckBox : public Control {
 public:
  CheckBox(Form& owner, std::string name, Bounds bounds, std::string caption, Control* parent = nullptr);
  ControlKind Kind() const override { return ControlKind::CheckBox; }
  const std::string& Caption() const { return caption_; }
  bool Checked() const { return checked_; }
  // Fires OnClick when the state changes.
  void SetChecked(bool checked);
  // A user's click: OnMouseDown, then the state flips and OnClick fires.
  void UserClick();

  std::function<void()> OnClick;

 private:
  std::string caption_;
  bool checked_ = false;
};

// One of the form's radio buttons; they form one group per form.
class RadioButton : public Control {
 public:
  RadioButton(Form& owner, std::string name, Bounds bounds, std::string caption, Control* parent = nullptr);
  ControlKind Kind() const override { return ControlKind::RadioButton; }
  const std::string& Caption() const { return caption_; }
  bool Checked() const { return checked_; }
  // Checking unchecks the others silently and fires OnClick; unchecking reports nothing.
  void SetChecked(bool checked);
  // A user's click: OnMouseDown, then the button becomes checked (OnClick if it was not).
  void UserClick();
  // Whether Tab stops here: the checked button of the form, or its first when none is.
  bool TabStop() const;

  std::function<void()> OnClick;

 private:
  friend class Control;
  // An arrow key on the button: the next (Down, Right) or previous (Up, Left) button of the
  // form in tab order that is shown and enabled, wrapping around, gets the focus and is
  // clicked. Returns whether the key was such an arrow.
  bool MoveCheck(int vk);

  std::string caption_;
  bool checked_ = false;
};

// A single-line edit box, or a multi-line memo with both scroll bars. Line breaks in a
// memo's text are CR LF.
class Edit : public Control {
 public:
  Edit(Form& owner, std::string name, Bounds bounds, Control* parent = nullptr, bool multiLine = false);
  ControlKind Kind() const override { return ControlKind::Edit; }
  bool MultiLine() const { return multiLine_; }
  const std::string& Text() const { return text_; }
  // Fires OnChange when the text differs from the current one.
  void SetText(const std::string& text);
  // The user types text at the end: for each character OnKeyDown and OnKeyPress (either may
  // swallow it), then the character is added (OnChange). "\n" is the Enter key: a memo
  // adds CR LF, a single-line box adds nothing.
  void UserType(const std::string& text);
  // The user changed the text by other means (pasting, deleting, cutting, undoing, the
  // input method).
  void UserEdit(const std::string& text) { UserSetText(text); }

  // Ask for the Korean input method when the box has the focus.
  bool WantHangul() const { return wantHangul_; }
  void SetWantHangul(bool want) { wantHangul_ = want; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  // Enter in a single-line box reaches its key handlers instead of pressing the form's
  // default button.
  bool WantReturn() const { return wantReturn_; }
  void SetWantReturn(bool want) { wantReturn_ = want; }

  std::function<void()> OnChange;
  // After OnChange, when the change was the user's (typed, pasted, deleted, composed);
  // never for SetText.
  std::function<void()> OnUserChange;

 private:
  void UserSetText(const std::string& text);

  bool multiLine_;
  bool wantHangul_ = false;
  bool wantReturn_ = false;
  bool readOnly_ = false;
  std::string text_;
};

class Button : public Control {
 public:
  Button(Form& owner, std::string name, Bounds bounds, std::string caption, Control* parent = nullptr);
  ControlKind Kind() const override { return ControlKind::Button; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // Enter in the form presses the default button, Esc the cancel button.
  bool IsDefault() const { return default_; }
  void SetDefault(bool isDefault) { default_ = isDefault; }
  bool IsCancel() const { return cancel_; }
  void SetCancel(bool isCancel) { cancel_ = isCancel; }
  // Pressing the button gives a modal form this result (kMrNone: none).
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }

  // A user's click on an enabled button: OnClick, then the modal result.
  void UserClick();

  std::function<void()> OnClick;

 private:
  std::string caption_;
  bool default_ = false;
  bool cancel_ = false;
  int modalResult_ = kMrNone;
};

class Label : public Control {
 public:
  Label(Form& owner, std::string name, Bounds bounds, std::string caption, Control* parent = nullptr);
  ControlKind Kind() const override { return ControlKind::Label; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // Right-aligned text (for a label at the right edge of a strip).
  bool AlignRight() const { return alignRight_; }
  void SetAlignRight(bool right) { alignRight_ = right; }
  // True: "&" marks the next letter as the mnemonic (underlined, "&&" draws one "&"). A
  // label that shows data (an address, a name) turns it off so that "&" shows as itself.
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool show);
  // One line: a caption wider than the label ends in "..." where it is cut, instead of
  // being cut without a sign.
  bool Ellipsis() const { return ellipsis_; }
  void SetEllipsis(bool ellipsis);
  void UserClick();

  std::function<void()> OnClick;

 private:
  std::string caption_;
  bool alignRight_ = false;
  bool showAccelChar_ = true;
  bool ellipsis_ = false;
};

// A picture: one icon drawn at its size in the control's place (32 x 32 for a large icon).
class Image : public Control {
 public:
  Image(Form& owner, std::string name, Bounds bounds, Icon icon, Control* parent = nullptr);
  ControlKind Kind() const override { return ControlKind::Image; }
  Icon GetIcon() const { return icon_; }

 private:
  Icon icon_;
};

enum class Bevel { None, Raised, Lowered };

// A plain area that holds other controls: a colour, an optional caption and a bevel.
class Panel : public Control {
 public:
  Panel(Form& owner, std::string name, Bounds bounds, Control* parent = nullptr, Bevel bevel = Bevel::Raised);
  ControlKind Kind() const override { return ControlKind::Panel; }
  Bevel GetBevel() const { return bevel_; }
  // A sunken frame around the whole panel (a border of its own, inside any bevel).
  bool Sunken() const { return sunken_; }
  void SetSunken(bool sunken) { sunken_ = sunken; }
  Color GetColor() const { return color_; }
  void SetColor(Color color) { color_ = color; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

 private:
  Bevel bevel_;
  bool sunken_ = false;
  Color color_ = kColorDefault;
  std::string caption_;
};

class GroupBox : public Control {
 public:
  GroupBox(Form& owner, std::string name, Bounds bounds, std::string caption, Control* parent = nullptr);
  ControlKind Kind() const override { return ControlKind::GroupBox; }
  const std::string& Caption() const { return caption_; }

 private:
  std::string caption_;
};

class TabSheet;

// Tabs over pages; only the active page's controls show.
class PageControl : public Control {
 public:
  PageControl(Form& owner, std::string name, Bounds bounds, Control* parent = nullptr);
  ControlKind Kind() const override { return ControlKind::PageControl; }
  // The pages, made by the TabSheet constructor, in tab order.
  const std::vector<TabSheet*>& Pages() const { return pages_; }
  int ActivePage() const { return active_; }
  void SetActivePage(int page);
  void UserSelectPage(int page) { SetActivePage(page); }
  // The area of a page inside the control, relative to the control.
  Bounds PageArea() const;

 private:
  friend class TabSheet;
  std::vector<TabSheet*> pages_;
  int active_ = 0;
};

class TabSheet : public Control {
 public:
  TabSheet(PageControl& pages, std::string name, std::string caption);
  ControlKind Kind() const override { return ControlKind::TabSheet; }
  const std::string& Caption() const { return caption_; }
  PageControl& Pages() const { return pages_; }
  int Index() const { return index_; }

 private:
  PageControl& pages_;
  std::string caption_;
  int index_;
};

// A drop-down list that accepts only its own entries.
class ComboBox : public Control {
 public:
  ComboBox(Form& owner, std::string name, Bounds bounds, Control* parent = nullptr);
  ControlKind Kind() const override { return ControlKind::ComboBox; }
  void ClearItems();
  void AddItem(const std::string& item);
  const std::vector<std::string>& Items() const { return items_; }
  int ItemIndex() const { return index_; }
  // Selects without firing OnChange; an index outside the items selects nothing.
  void SetItemIndex(int index);
  // The selected entry's text, or empty when nothing is selected.
  std::string Text() const;
  // A user's pick: OnClick, then the selection, then OnChange.
  void UserPick(int index);
  // Rows the open list shows.
  int DropDownRows() const { return dropDownRows_; }
  void SetDropDownRows(int rows) { dropDownRows_ = rows; }

  std::function<void()> OnChange;
  std::function<void()> OnClick;

 private:
  std::vector<std::string> items_;
  int index_ = -1;
  int dropDownRows_ = 8;
};

// A report-style list: one caption cell and sub-item cells per row. One row selected at most
// unless multi-select is on.
class ListView : public Control {
 public:
  struct Column {
    std::string caption;
    int width;
  };
  ListView(Form& owner, std::string name, Bounds bounds, std::vector<Column> columns, Control* parent = nullptr);
  ControlKind Kind() const override { return ControlKind::ListView; }

  const std::vector<Column>& Columns() const { return columns_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  // Cell 0 is the row's caption; cells 1.. are its sub-items 0...
  const std::vector<std::string>& Row(int row) const { return rows_[row].cells; }
  // Every row's cells, top to bottom.
  std::vector<std::vector<std::string>> Rows() const;
  const std::string& Cell(int row, int column) const { return rows_[row].cells[column]; }
  void SetCell(int row, int column, const std::string& text);

  // The row images: an image list of icons (none by default); each row shows one of them.
  void SetImages(std::vector<Icon> images) { images_ = std::move(images); }
  const std::vector<Icon>& Images() const { return images_; }
  int RowImage(int row) const { return rows_[row].image; }
  void SetRowImage(int row, int image);

  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool multi) { multiSelect_ = multi; }

  // Appends a row (image 0), padded or cut to the number of columns. Reports nothing.
  void AddRow(std::vector<std::string> cells);
  // Inserts a row before row (at the end when row is the count). Reports nothing; the
  // selection stays on its rows.
  void InsertRow(int row, std::vector<std::string> cells);
  // Removes every row; nothing is selected afterwards. Reports nothing.
  void Clear();
  // Removes one row; a selected row reports its loss first.
  void DeleteRow(int row);

  // While updating, changes are not mirrored one by one; EndUpdate mirrors the whole list.
  void BeginUpdate();
  void EndUpdate();

  // The first selected row, or -1.
  int Selected() const;
  bool IsSelected(int row) const { return rows_[row].selected; }
  std::vector<int> SelectedRows() const;
  // Selects this row alone (-1 for none): every other selected row reports its loss first,
  // then the row its gain.
  void Select(int row);
  // Adds a row to the selection or takes it out, with its report (multi-select lists; in a
  // single-select list selecting a row is Select).
  void SetRowSelected(int row, bool selected);
  // A user's click on a row (-1: on empty space); with ctrl in a multi-select list the row
  // is toggled instead.
  void UserSelect(int row, bool ctrl = false);
  // Scrolls the list so that the row is visible.
  void ScrollIntoView(int row);
  int ScrolledTo() const { return scrolledTo_; }  // the last row scrolled into view, or -1

  // Right-click menu, or nullptr.
  MenuItem* PopupMenu = nullptr;

  std::function<void(int row, bool selected)> OnSelectItem;

 private:
  struct RowData {
    std::vector<std::string> cells;
    int image = 0;
    bool selected = false;
  };
  void SetSelectedFlag(int row, bool selected);
  void FindFirstSelected();

  std::vector<Column> columns_;
  std::vector<Icon> images_;
  std::vector<RowData> rows_;
  int firstSelected_ = -1;
  int scrolledTo_ = -1;  // kept with the flags, so Selected() costs nothing on long lists
  bool multiSelect_ = false;
  int updating_ = 0;
};

// A form's timer, not a window control: while enabled, OnTimer runs every Interval
// milliseconds from the message loop or a pumping wait. Enabling it while it is enabled
// lets the running countdown go on. Created disabled.
class Timer {
 public:
  explicit Timer(std::uint32_t intervalMs) : interval_(intervalMs) {}
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool Enabled() const { return id_ != 0; }
  void SetEnabled(bool enabled);
  std::uint32_t Interval() const { return interval_; }
  // Restarts the countdown when enabled.
  void SetInterval(std::uint32_t intervalMs);

  std::function<void()> OnTimer;

 private:
  void Fire();

  std::uint32_t interval_;
  unsigned id_ = 0;  // the platform's one-shot timer for the current period; 0 while disabled
};

}  // namespace plat
