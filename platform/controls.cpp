#include "platform/controls.h"

#include <algorithm>
#include <utility>

#include "platform/hotkeys.h"
#include "platform/input.h"
#include "platform/msgloop.h"

namespace plat {

// ---------------------------------------------------------------- menus

MenuItem& MenuItem::Add(std::string caption, std::function<void()> onClick, int shortcut) {
  items_.push_back(std::make_unique<MenuItem>(std::move(caption), std::move(onClick), shortcut));
  return *items_.back();
}

MenuItem* MenuItem::Find(const std::string& caption) {
  for (auto& item : items_) {
    if (item->caption_ == caption) return item.get();
    if (MenuItem* found = item->Find(caption)) return found;
  }
  return nullptr;
}

MenuItem* MenuItem::FindShortcut(int vk) {
  if (vk == 0) return nullptr;
  for (auto& item : items_) {
    if (item->shortcut_ == vk) return item.get();
    if (MenuItem* found = item->FindShortcut(vk)) return found;
  }
  return nullptr;
}

void MenuItem::Click() {
  if (OnClick) OnClick();
}

// ---------------------------------------------------------------- forms

Form::Form(std::string caption, FormStyle style, int clientWidth, int clientHeight)
    : caption_(std::move(caption)),
      style_(style),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight),
      designWidth_(clientWidth),
      designHeight_(clientHeight) {}

Form::~Form() { UpdateCapture(false); }

WindowHandle Form::Handle() {
  if (!peer_) peer_ = CreateFormPeer(*this);
  return peer_->Handle();
}

void Form::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  if (peer_) peer_->CaptionChanged();
}

void Form::UserResize(int clientWidth, int clientHeight) {
  if (clientWidth == clientWidth_ && clientHeight == clientHeight_) return;
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  // A control moves when it or anything holding it follows the right or bottom edge.
  for (Control* control : controls_)
    for (const Control* c = control; c; c = c->parent_)
      if (c->anchors_ & (kAnchorRight | kAnchorBottom)) {
        NotifyChanged(*control, -1);
        break;
      }
}

bool Form::HandleShortcut(int vk) {
  MenuItem* item = menu_.FindShortcut(vk);
  if (!item) return false;
  item->Click();
  return true;
}

void Form::SetStayOnTop(bool stayOnTop) {
  if (stayOnTop == stayOnTop_) return;
  stayOnTop_ = stayOnTop;
  if (peer_) peer_->StayOnTopChanged();
}

void Form::Show() {
  Handle();
  const bool wasHidden = !visible_;
  visible_ = true;
  // The list is refilled before the window appears, so the user never sees the old one.
  if (wasHidden) FormShow();
  peer_->SetVisible(true);
  if (wasHidden) FormShown();
}

void Form::SetTabOrder(const std::vector<Control*>& order) {
  std::vector<std::size_t> places;
  std::vector<Control*> placed;
  for (Control* control : order) {
    const auto at = std::find(controls_.begin(), controls_.end(), control);
    if (at == controls_.end()) continue;
    places.push_back(static_cast<std::size_t>(at - controls_.begin()));
    placed.push_back(control);
  }
  std::sort(places.begin(), places.end());
  for (std::size_t i = 0; i < placed.size(); ++i) controls_[places[i]] = placed[i];
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  UpdateCapture(false);
  if (peer_) peer_->SetVisible(false);
}

bool Form::Close() {
  bool canClose = true;
  FormCloseQuery(canClose);
  if (!canClose) return false;
  if (modal_) {
    if (modalResult_ == kMrNone) modalResult_ = kMrCancel;
    return true;  // the modal loop hides the form and runs FormClose
  }
  Hide();
  FormClose();
  return true;
}

int Form::ShowModal(Form* owner) {
  if (modal_) return kMrNone;
  modalResult_ = kMrNone;
  modal_ = true;
  Show();
  peer_->RunModal(owner);
  if (modalResult_ == kMrNone) modalResult_ = kMrCancel;  // the program is quitting
  modal_ = false;
  Hide();
  FormClose();
  return modalResult_;
}

void Form::SetModalResult(int result) {
  if (modal_) modalResult_ = result;
}

void Form::Release() {
  if (released_) return;
  released_ = true;
  StartOneShotTimer(0, [this] { delete this; });
}

void Form::HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  if (msg == kWmClose) Close();
  // A combination may still arrive just after the focus moved on: only a key box takes it.
  if (msg == kMsgCombination && active_ && active_->TakesCombinations())
    active_->UserCombination(static_cast<unsigned>(wParam), static_cast<int>(lParam));
}

void Form::UpdateCapture(bool hasFocus) {
  if (hasFocus && visible_ && active_ && active_->TakesCombinations() && active_->Showing() && active_->Enabled()) {
    const WindowHandle window = Handle();
    if (CombinationCaptureTarget() != window) CaptureCombinations(window);
  } else if (peer_ && CombinationCaptureTarget() == peer_->Handle()) {
    StopCapturingCombinations();
  }
}

void Form::NotifyChanged(Control& control, int row) {
  if (peer_) peer_->ControlChanged(control, row);
}

void Form::NotifyRowImage(Control& control, int row) {
  if (peer_) peer_->RowImageChanged(control, row);
}

void Form::NotifyScroll(Control& control, int row) {
  if (peer_) peer_->ScrollIntoView(control, row);
}

// ---------------------------------------------------------------- controls

Control::Control(Form& owner, std::string name, Bounds bounds, Control* parent)
    : owner_(owner), parent_(parent), name_(std::move(name)), bounds_(bounds) {
  owner_.controls_.push_back(this);
}

namespace {
// Anchored to the right or bottom: the edge keeps its distance from the same edge of what
// holds the control, which has grown by dw and dh since it was designed.
void FollowAnchors(Control::Bounds& place, unsigned anchors, int dw, int dh) {
  if (anchors & kAnchorRight) {
    if (anchors & kAnchorLeft)
      place.width += dw;
    else
      place.x += dw;
  }
  if (anchors & kAnchorBottom) {
    if (anchors & kAnchorTop)
      place.height += dh;
    else
      place.y += dh;
  }
  place.width = std::max(place.width, 0);
  place.height = std::max(place.height, 0);
}
}  // namespace

Control::Bounds Control::FormPlace() const {
  Bounds place = bounds_;
  if (!parent_) {
    FollowAnchors(place, anchors_, owner_.clientWidth_ - owner_.designWidth_,
                  owner_.clientHeight_ - owner_.designHeight_);
    return place;
  }
  Bounds outer = parent_->FormPlace();
  int dw = outer.width - parent_->bounds_.width, dh = outer.height - parent_->bounds_.height;
  if (parent_->Kind() == ControlKind::TabSheet) {
    // A page's own place is the page area of its page control.
    const PageControl& pages = static_cast<const TabSheet*>(parent_)->Pages();
    outer = pages.FormPlace();
    dw = outer.width - pages.bounds_.width;
    dh = outer.height - pages.bounds_.height;
    const Bounds area = pages.PageArea();
    outer = {outer.x + area.x, outer.y + area.y, area.width, area.height};
  }
  FollowAnchors(place, anchors_, dw, dh);
  place.x += outer.x;
  place.y += outer.y;
  return place;
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed();
}

bool Control::Showing() const {
  for (const Control* c = this; c; c = c->parent_) {
    if (!c->visible_) return false;
    if (c->Kind() == ControlKind::TabSheet) {
      const auto* page = static_cast<const TabSheet*>(c);
      if (page->Pages().ActivePage() != page->Index()) return false;
      if (!page->Pages().Showing()) return false;
    }
  }
  return true;
}

void Control::SetFont(const Font& font) {
  if (ownFont_ && font == font_) return;
  font_ = font;
  ownFont_ = true;
  Changed();
}

void Control::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  Changed();
}

void Control::SetBold(bool bold) {
  Font font = GetFont();
  font.bold = bold;
  SetFont(font);
}

void Control::SetFocus() {
  owner_.active_ = this;
  if (owner_.peer_) owner_.peer_->FocusControl(*this);
  owner_.UpdateCapture(HasSystemFocus());
}

void Control::SetTakesCombinations(bool takes) {
  takesCombinations_ = takes;
  if (Focused()) owner_.UpdateCapture(HasSystemFocus());
}

// A control without a native window has the focus whenever its form gives it the focus.
bool Control::HasSystemFocus() { return !owner_.peer_ || owner_.peer_->HasFocus(*this); }

void Control::UserFocusLost() {
  if (Focused()) owner_.UpdateCapture(false);
}

void Control::UserCombination(unsigned modifiers, int vk) {
  if (takesCombinations_ && TakesCombination(modifiers, vk) && OnCombination) OnCombination(modifiers, vk);
}

bool TakesCombination(unsigned modifiers, int vk) {
  const unsigned held = modifiers & (kModAlt | kModControl | kModShift | kModWin);
  const bool modifierKey = (vk >= 0x10 && vk <= 0x12) || (vk >= 0xA0 && vk <= 0xA5) || vk == 0x5B || vk == 0x5C;
  const bool closesTheWindow = held == kModAlt && vk == 0x73;
  return held != 0 && vk > 0 && vk < 0xFF && !modifierKey && vk != kVkEscape && vk != kVkTab && !closesTheWindow;
}

int Control::UserKeyDown(int vk) {
  if (OnKeyDown) OnKeyDown(vk);
  if (vk != 0 && Kind() == ControlKind::RadioButton && static_cast<RadioButton*>(this)->MoveCheck(vk)) return 0;
  return vk;
}

int Control::UserKeyPress(int key) {
  if (OnKeyPress) OnKeyPress(key);
  return key;
}

void Control::UserMouseDown() {
  if (OnMouseDown) OnMouseDown();
}

CheckBox::CheckBox(Form& owner, std::string name, Bounds bounds, std::string caption, Control* parent)
    : Control(owner, std::move(name), bounds, parent), caption_(std::move(caption)) {}

void CheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Changed();
  if (OnClick) OnClick();
}

void CheckBox::UserClick() {
  if (!Enabled()) return;
  UserMouseDown();
  SetChecked(!checked_);
}

RadioButton::RadioButton(Form& owner, std::string name, Bounds bounds, std::string caption, Control* parent)
    : Control(owner, std::move(name), bounds, parent), caption_(std::move(caption)) {}

void RadioButton::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Changed();
  if (!checked) return;
  for (Control* other : Owner().Controls()) {
    if (other == this || other->Kind() != ControlKind::RadioButton) continue;
    auto* radio = static_cast<RadioButton*>(other);
    if (radio->checked_) {
      radio->checked_ = false;
      radio->Changed();
    }
  }
  if (OnClick) OnClick();
}

void RadioButton::UserClick() {
  if (!Enabled()) return;
  UserMouseDown();
  SetChecked(true);
}

bool RadioButton::TabStop() const {
  if (checked_) return true;
  const RadioButton* first = nullptr;
  for (const Control* other : Owner().Controls()) {
    if (other->Kind() != ControlKind::RadioButton) continue;
    if (static_cast<const RadioButton*>(other)->checked_) return false;
    if (!first) first = static_cast<const RadioButton*>(other);
  }
  return first == this;
}

bool RadioButton::MoveCheck(int vk) {
  const bool forward = vk == kVkDown || vk == kVkRight;
  if (!forward && vk != kVkUp && vk != kVkLeft) return false;
  std::vector<RadioButton*> group;
  for (Control* other : Owner().Controls()) {
    if (other->Kind() != ControlKind::RadioButton || !other->Showing()) continue;
    bool enabled = true;
    for (const Control* c = other; c; c = c->Parent()) enabled = enabled && c->Enabled();
    if (enabled || other == this) group.push_back(static_cast<RadioButton*>(other));
  }
  const auto at = std::find(group.begin(), group.end(), this);
  if (at == group.end() || group.size() < 2) return true;
  const std::size_t i = static_cast<std::size_t>(at - group.begin());
  RadioButton* next = group[(i + (forward ? 1 : group.size() - 1)) % group.size()];
  next->SetFocus();
  next->UserClick();
  return true;
}

Edit::Edit(Form& owner, std::string name, Bounds bounds, Control* parent, bool multiLine)
    : Control(owner, std::move(name), bounds, parent), multiLine_(multiLine) {}

void Edit::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Changed();
  if (OnChange) OnChange();
}

void Edit::UserSetText(const std::string& text) {
  if (text == text_) return;
  SetText(text);
  if (OnUserChange) OnUserChange();
}

void Edit::SetReadOnly(bool readOnly) {
  if (readOnly == readOnly_) return;
  readOnly_ = readOnly;
  Changed();
}

namespace {
// The virtual key that types an ASCII character on a US layout (shifted characters share
// their key with the unshifted one).
int KeyOfCharacter(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') return c;
  if (c == '\n' || c == '\r') return kVkReturn;
  if (c == '\t') return kVkTab;
  static const char kShiftedDigits[] = ")!@#$%^&*(";
  for (int d = 0; d < 10; ++d)
    if (c == kShiftedDigits[d]) return '0' + d;
  static const struct {
    const char* chars;
    int vk;
  } kOem[] = {{";:", 0xBA}, {"=+", 0xBB}, {",<", 0xBC}, {"-_", 0xBD}, {".>", 0xBE}, {"/?", 0xBF},
              {"`~", 0xC0}, {"[{", 0xDB}, {"\\|", 0xDC}, {"]}", 0xDD}, {"'\"", 0xDE}};
  for (const auto& key : kOem)
    if (c == static_cast<unsigned char>(key.chars[0]) || c == static_cast<unsigned char>(key.chars[1])) return key.vk;
  return kVkProcessKey;  // anything else comes through the input method
}
}  // namespace

void Edit::UserType(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const bool wide = lead >= 0x81 && lead != 0xFF && i + 1 < text.size();
    const std::size_t length = wide ? 2 : 1;
    const std::string character = text.substr(i, length);
    i += length;
    if (!Enabled() || readOnly_) continue;
    // A Hangul character comes through the input method. A character without a plain key
    // of its own (";", "-") has no key-down to report, and is typed all the same.
    const int vk = wide ? kVkProcessKey : KeyOfCharacter(lead);
    if (vk != 0 && UserKeyDown(vk) == 0) continue;
    const int key = wide ? lead * 256 + static_cast<unsigned char>(character[1]) : (lead == '\n' ? '\r' : lead);
    if (UserKeyPress(key) == 0) continue;
    if (lead == '\n' || lead == '\r') {
      if (multiLine_) UserSetText(text_ + "\r\n");
      continue;
    }
    UserSetText(text_ + character);
  }
}

Button::Button(Form& owner, std::string name, Bounds bounds, std::string caption, Control* parent)
    : Control(owner, std::move(name), bounds, parent), caption_(std::move(caption)) {}

void Button::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed();
}

void Button::UserClick() {
  if (!Enabled() || !Showing()) return;
  UserMouseDown();
  if (OnClick) OnClick();
  if (modalResult_ != kMrNone) Owner().SetModalResult(modalResult_);
}

Label::Label(Form& owner, std::string name, Bounds bounds, std::string caption, Control* parent)
    : Control(owner, std::move(name), bounds, parent), caption_(std::move(caption)) {}

void Label::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed();
}

void Label::SetShowAccelChar(bool show) {
  if (show == showAccelChar_) return;
  showAccelChar_ = show;
  Changed();
}

void Label::SetEllipsis(bool ellipsis) {
  if (ellipsis == ellipsis_) return;
  ellipsis_ = ellipsis;
  Changed();
}

void Label::UserClick() {
  if (!Enabled()) return;
  if (OnClick) OnClick();
}

Image::Image(Form& owner, std::string name, Bounds bounds, Icon icon, Control* parent)
    : Control(owner, std::move(name), bounds, parent), icon_(icon) {}

Panel::Panel(Form& owner, std::string name, Bounds bounds, Control* parent, Bevel bevel)
    : Control(owner, std::move(name), bounds, parent), bevel_(bevel) {}

void Panel::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed();
}

GroupBox::GroupBox(Form& owner, std::string name, Bounds bounds, std::string caption, Control* parent)
    : Control(owner, std::move(name), bounds, parent), caption_(std::move(caption)) {}

PageControl::PageControl(Form& owner, std::string name, Bounds bounds, Control* parent)
    : Control(owner, std::move(name), bounds, parent) {}

void PageControl::SetActivePage(int page) {
  if (page < 0 || page >= static_cast<int>(pages_.size()) || page == active_) return;
  active_ = page;
  Changed();
}

Control::Bounds PageControl::PageArea() const {
  // Below a row of tabs, inside the control's frame.
  const Bounds& place = Place();
  return {4, 24, std::max(place.width - 8, 0), std::max(place.height - 28, 0)};
}

TabSheet::TabSheet(PageControl& pages, std::string name, std::string caption)
    : Control(pages.Owner(), std::move(name), {0, 0, 0, 0}, &pages),
      pages_(pages),
      caption_(std::move(caption)),
      index_(static_cast<int>(pages.pages_.size())) {
  pages.pages_.push_back(this);
}

ComboBox::ComboBox(Form& owner, std::string name, Bounds bounds, Control* parent)
    : Control(owner, std::move(name), bounds, parent) {}

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
  if (!Enabled()) return;
  if (OnClick) OnClick();
  SetItemIndex(index);
  if (OnChange) OnChange();
}

// ---------------------------------------------------------------- list views

ListView::ListView(Form& owner, std::string name, Bounds bounds, std::vector<Column> columns, Control* parent)
    : Control(owner, std::move(name), bounds, parent), columns_(std::move(columns)) {}

void ListView::SetCell(int row, int column, const std::string& text) {
  if (rows_[row].cells[column] == text) return;
  rows_[row].cells[column] = text;
  if (!updating_) Changed(row);
}

void ListView::SetRowImage(int row, int image) {
  if (rows_[row].image == image) return;
  rows_[row].image = image;
  if (!updating_) Owner().NotifyRowImage(*this, row);
}

void ListView::AddRow(std::vector<std::string> cells) { InsertRow(RowCount(), std::move(cells)); }

void ListView::InsertRow(int row, std::vector<std::string> cells) {
  row = std::clamp(row, 0, RowCount());
  cells.resize(columns_.size());
  RowData data;
  data.cells = std::move(cells);
  rows_.insert(rows_.begin() + row, std::move(data));
  if (firstSelected_ >= row) ++firstSelected_;
  if (updating_) return;
  // An appended row is mirrored alone; an insertion moves the rows below it.
  Changed(row == RowCount() - 1 ? row : -1);
}

void ListView::Clear() {
  rows_.clear();
  firstSelected_ = -1;
  if (!updating_) Changed();
}

void ListView::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  if (rows_[row].selected) SetRowSelected(row, false);
  if (row >= RowCount()) return;  // the handler changed the list
  rows_.erase(rows_.begin() + row);
  if (firstSelected_ > row) --firstSelected_;
  if (!updating_) Changed();
}

void ListView::BeginUpdate() { ++updating_; }

void ListView::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) Changed();
}

int ListView::Selected() const { return firstSelected_; }

std::vector<std::vector<std::string>> ListView::Rows() const {
  std::vector<std::vector<std::string>> cells;
  cells.reserve(rows_.size());
  for (const auto& row : rows_) cells.push_back(row.cells);
  return cells;
}

std::vector<int> ListView::SelectedRows() const {
  std::vector<int> rows;
  if (firstSelected_ < 0) return rows;
  for (int i = firstSelected_; i < RowCount(); ++i)
    if (rows_[i].selected) rows.push_back(i);
  return rows;
}

void ListView::FindFirstSelected() {
  firstSelected_ = -1;
  for (int i = 0; i < RowCount(); ++i)
    if (rows_[i].selected) {
      firstSelected_ = i;
      return;
    }
}

void ListView::SetSelectedFlag(int row, bool selected) {
  rows_[row].selected = selected;
  if (selected) {
    if (firstSelected_ < 0 || row < firstSelected_) firstSelected_ = row;
  } else if (row == firstSelected_) {
    FindFirstSelected();
  }
}

void ListView::SetRowSelected(int row, bool selected) {
  if (row < 0 || row >= RowCount() || rows_[row].selected == selected) return;
  if (selected && !multiSelect_) {
    Select(row);
    return;
  }
  SetSelectedFlag(row, selected);
  Changed(row);
  if (OnSelectItem) OnSelectItem(row, selected);
}

void ListView::Select(int row) {
  if (row < -1 || row >= RowCount()) row = -1;
  // Every other selected row loses the selection first, one report each.
  const auto firstOther = [this, &row] {
    for (int i = firstSelected_; i >= 0 && i < RowCount(); ++i)
      if (rows_[i].selected && i != row) return i;
    return -1;
  };
  for (int other = firstOther(); other >= 0; other = firstOther()) {
    SetSelectedFlag(other, false);
    Changed(other);
    if (OnSelectItem) OnSelectItem(other, false);
    if (row >= RowCount()) row = -1;  // a handler shortened the list
  }
  if (row < 0 || rows_[row].selected) return;
  SetSelectedFlag(row, true);
  Changed(row);
  if (OnSelectItem) OnSelectItem(row, true);
}

void ListView::UserSelect(int row, bool ctrl) {
  if (!Enabled()) return;
  if (ctrl && multiSelect_ && row >= 0 && row < RowCount()) {
    SetRowSelected(row, !rows_[row].selected);
    return;
  }
  Select(row);
}

void ListView::ScrollIntoView(int row) {
  if (row < 0 || row >= RowCount()) return;
  scrolledTo_ = row;
  // Rows added while updating reach the native list only at EndUpdate.
  if (!updating_) Owner().NotifyScroll(*this, row);
}

// ---------------------------------------------------------------- timers

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
