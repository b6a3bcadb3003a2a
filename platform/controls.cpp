#include "platform/controls.h"

#include <utility>

#include "platform/msgloop.h"

namespace plat {

Form::Form(std::string caption, FormStyle style, int clientWidth, int clientHeight)
    : caption_(std::move(caption)), style_(style), clientWidth_(clientWidth), clientHeight_(clientHeight) {}

Form::~Form() = default;

WindowHandle Form::Handle() {
  if (!peer_) peer_ = CreateFormPeer(*this);
  return peer_->Handle();
}

void Form::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  if (peer_) peer_->CaptionChanged();
}

void Form::Show() {
  Handle();
  const bool wasHidden = !visible_;
  visible_ = true;
  // The list is refilled before the window appears, so the user never sees the old one.
  if (wasHidden) FormShow();
  peer_->SetVisible(true);
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  if (peer_) peer_->SetVisible(false);
}

bool Form::Close() {
  bool canClose = true;
  FormCloseQuery(canClose);
  if (!canClose) return false;
  Hide();
  FormClose();
  return true;
}

void Form::HandleMessage(unsigned msg, std::uintptr_t, std::intptr_t) {
  if (msg == kWmClose) Close();
}

void Form::NotifyChanged(Control& control, int row) {
  if (peer_) peer_->ControlChanged(control, row);
}

Control::Control(Form& owner, std::string name, Bounds bounds)
    : owner_(owner), name_(std::move(name)), bounds_(bounds) {
  owner_.controls_.push_back(this);
}

CheckBox::CheckBox(Form& owner, std::string name, Bounds bounds, std::string caption)
    : Control(owner, std::move(name), bounds), caption_(std::move(caption)) {}

void CheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Changed();
  if (OnClick) OnClick();
}

void CheckBox::UserClick() {
  if (OnMouseDown) OnMouseDown();
  SetChecked(!checked_);
}

ComboBox::ComboBox(Form& owner, std::string name, Bounds bounds) : Control(owner, std::move(name), bounds) {}

void ComboBox::ClearItems() {
  items_.clear();
  index_ = -1;
  Changed();
}

void ComboBox::AddItem(const std::string& item) {
  items_.push_back(item);
  Changed();
}

void ComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) index = -1;
  if (index == index_) return;
  index_ = index;
  Changed();
}

std::string ComboBox::Text() const { return index_ < 0 ? std::string() : items_[index_]; }

void ComboBox::UserPick(int index) {
  if (OnClick) OnClick();
  SetItemIndex(index);
  if (OnChange) OnChange();
}

ListView::ListView(Form& owner, std::string name, Bounds bounds, std::vector<Column> columns)
    : Control(owner, std::move(name), bounds), columns_(std::move(columns)) {}

void ListView::SetCell(int row, int column, const std::string& text) {
  if (rows_[row][column] == text) return;
  rows_[row][column] = text;
  if (!updating_) Changed(row);
}

void ListView::AddRow(std::vector<std::string> cells) {
  cells.resize(columns_.size());
  rows_.push_back(std::move(cells));
  if (!updating_) Changed(RowCount() - 1);
}

void ListView::Clear() {
  rows_.clear();
  selected_ = -1;
  if (!updating_) Changed();
}

void ListView::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  if (row == selected_) Select(-1);
  rows_.erase(rows_.begin() + row);
  if (selected_ > row) --selected_;
  if (!updating_) Changed();
}

void ListView::BeginUpdate() { ++updating_; }

void ListView::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) Changed();
}

void ListView::Select(int row) {
  if (row < -1 || row >= RowCount()) row = -1;
  if (row == selected_) return;
  const int old = selected_;
  selected_ = -1;
  if (old >= 0) {
    Changed(old);
    if (OnSelectItem) OnSelectItem(old, false);
  }
  if (row >= RowCount()) return;  // the handler may have emptied the list
  selected_ = row;
  if (row >= 0) {
    Changed(row);
    if (OnSelectItem) OnSelectItem(row, true);
  }
}

Timer::~Timer() { SetEnabled(false); }

void Timer::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  if (enabled) {
    id_ = StartOneShotTimer(interval_, [this] { Fire(); });
  } else {
    CancelTimer(id_);
    id_ = 0;
  }
}

void Timer::SetInterval(std::uint32_t intervalMs) {
  interval_ = intervalMs;
  if (!Enabled()) return;
  SetEnabled(false);
  SetEnabled(true);
}

void Timer::Fire() {
  // The next period is armed before the handler runs, so a handler that disables the
  // timer (or pumps messages) sees it as a running timer.
  id_ = 0;
  SetEnabled(true);
  if (OnTimer) OnTimer();
}

}  // namespace plat
