#pragma once
// The widgets of the program's windows. Each control owns its state and fires its
// events by the editor's rules; a native mirror (the win32 side) shows that state in real
// controls and turns the user's input into the User* calls below, which tests call directly.
//
// Change rules:
//  - CheckBox: OnClick fires on every change of the checked state, also one the program makes.
//  - ComboBox: OnChange fires only for a user's pick (UserPick), never for SetItemIndex.
//  - ListView: OnSelectItem fires when a row gains or loses the selection; when the selection
//    moves, the old row's loss comes first, delivered while no row is selected.
//    Clear and whole-list refills report nothing.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

namespace plat {

class Form;
class Control;

enum class ControlKind { CheckBox, ComboBox, ListView };

// Native mirror of one form; created by the backend the first time the form needs a window.
class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual WindowHandle Handle() const = 0;
  virtual void SetVisible(bool visible) = 0;  // showing also brings the window to the front
  virtual void CaptionChanged() = 0;
  // row < 0: the whole control changed; otherwise only that row of a list view.
  virtual void ControlChanged(Control& control, int row) = 0;
};

std::unique_ptr<FormPeer> CreateFormPeer(Form& form);

enum class FormStyle {
  HiddenHost,  // never shown; no taskbar button
  FixedDialog  // fixed single border, system menu only, centred on the screen
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

  bool Visible() const { return visible_; }
  // Shows the window and brings it to the front; FormShow runs when it was hidden.
  void Show();
  void Hide();
  // Asks FormCloseQuery; when closing is allowed the window hides and FormClose runs.
  // Returns whether it closed.
  bool Close();

  const std::vector<Control*>& Controls() const { return controls_; }

  // Window messages the form handles itself after any hook has seen them.
  virtual void HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);

 protected:
  virtual void FormShow() {}
  virtual void FormCloseQuery(bool& /*canClose*/) {}
  virtual void FormClose() {}

 private:
  friend class Control;
  void NotifyChanged(Control& control, int row);

  std::string caption_;
  FormStyle style_;
  int clientWidth_, clientHeight_;
  bool visible_ = false;
  std::vector<Control*> controls_;
  std::unique_ptr<FormPeer> peer_;
};

class Control {
 public:
  struct Bounds {
    int x, y, width, height;
  };
  Control(Form& owner, std::string name, Bounds bounds);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  virtual ControlKind Kind() const = 0;
  Form& Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  const Bounds& Place() const { return bounds_; }

 protected:
  void Changed(int row = -1) { owner_.NotifyChanged(*this, row); }

 private:
  Form& owner_;
  std::string name_;
  Bounds bounds_;
};

class CheckBox : public Control {
 public:
  CheckBox(Form& owner, std::string name, Bounds bounds, std::string caption);
  ControlKind Kind() const override { return ControlKind::CheckBox; }
  const std::string& Caption() const { return caption_; }
  bool Checked() const { return checked_; }
  // Fires OnClick when the state changes.
  void SetChecked(bool checked);
  // A user's click: OnMouseDown, then the state flips and OnClick fires.
  void UserClick();

  std::function<void()> OnClick;
  std::function<void()> OnMouseDown;

 private:
  std::string caption_;
  bool checked_ = false;
};

// A drop-down list that accepts only its own entries.
class ComboBox : public Control {
 public:
  ComboBox(Form& owner, std::string name, Bounds bounds);
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

  std::function<void()> OnChange;
  std::function<void()> OnClick;

 private:
  std::vector<std::string> items_;
  int index_ = -1;
};

// A report-style list: one caption cell and sub-item cells per row; one row selected at most.
class ListView : public Control {
 public:
  struct Column {
    std::string caption;
    int width;
  };
  ListView(Form& owner, std::string name, Bounds bounds, std::vector<Column> columns);
  ControlKind Kind() const override { return ControlKind::ListView; }

  const std::vector<Column>& Columns() const { return columns_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  // Cell 0 is the row's caption; cells 1.. are its sub-items 0...
  const std::vector<std::string>& Row(int row) const { return rows_[row]; }
  const std::string& Cell(int row, int column) const { return rows_[row][column]; }
  void SetCell(int row, int column, const std::string& text);

  // Appends a row, padded or cut to the number of columns. Reports nothing.
  void AddRow(std::vector<std::string> cells);
  // Removes every row; nothing is selected afterwards. Reports nothing.
  void Clear();
  // Removes one row; a selected row reports its loss first.
  void DeleteRow(int row);

  // While updating, changes are not mirrored one by one; EndUpdate mirrors the whole list.
  void BeginUpdate();
  void EndUpdate();

  int Selected() const { return selected_; }
  // Moves the selection (-1 for none) with the loss and gain reports.
  void Select(int row);
  void UserSelect(int row) { Select(row); }

  std::function<void(int row, bool selected)> OnSelectItem;

 private:
  std::vector<Column> columns_;
  std::vector<std::vector<std::string>> rows_;
  int selected_ = -1;
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
