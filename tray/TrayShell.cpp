#include "tray/TrayShell.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "platform/dialogs.h"
#include "platform/msgloop.h"
#include "platform/text.h"

namespace kv {

namespace {

constexpr int kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12;
constexpr std::intptr_t kWmMouseMove = 0x0200, kWmLButtonDown = 0x0201, kWmLButtonUp = 0x0202,
                        kWmLButtonDblClk = 0x0203, kWmRButtonDown = 0x0204, kWmRButtonUp = 0x0205,
                        kWmRButtonDblClk = 0x0206, kWmMButtonDown = 0x0207, kWmMButtonUp = 0x0208,
                        kWmMButtonDblClk = 0x0209;

TShiftState KeyboardShift() {
  TShiftState shift = 0;
  if (plat::KeyStateDown(kVkShift)) shift |= kSsShift;
  if (plat::KeyStateDown(kVkControl)) shift |= kSsCtrl;
  if (plat::KeyStateDown(kVkMenu)) shift |= kSsAlt;
  return shift;
}

}  // namespace

// ---------------------------------------------------------------- TPopupMenu

TPopupMenu::~TPopupMenu() {
  const std::vector<TTrayIcon*> watchers = watchers_;
  for (TTrayIcon* watcher : watchers) watcher->MenuDestroyed(this);
}

// ---------------------------------------------------------------- the hidden window

TTrayIcon::HiddenWindow::HiddenWindow(TTrayIcon& owner)
    : plat::Form("", plat::FormStyle::HiddenHost, 0, 0), owner_(owner) {}

void TTrayIcon::HiddenWindow::HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  if (msg == kTrayCallback && owner_.Enabled) {
    owner_.Reported([&] { owner_.TrayMessage(lParam); });
    return;
  }
  // The shell's taskbar was created again (the shell restarted): the icons it showed are
  // gone, so ours goes back in.
  if (msg == plat::TaskbarCreatedMessage() && !owner_.destroying_) {
    owner_.Reported([&] {
      if (owner_.active_) owner_.AddToTray();
    });
    return;
  }
  plat::Form::HandleMessage(msg, wParam, lParam);
}

// ---------------------------------------------------------------- TTrayIcon

TTrayIcon::TTrayIcon() : window_(std::make_unique<HiddenWindow>(*this)) {
  window_->Handle();
  icon_.OnChange = [this] { RefreshTray(); };
  icons_.OnChange = [this] { RefreshTray(); };
}

TTrayIcon::~TTrayIcon() {
  destroying_ = true;
  Enabled = false;
  icon_.OnChange = nullptr;
  icons_.OnChange = nullptr;
  SetAnimated(false);
  StopAnimation();
  RemoveFromTray();
  SetPopupMenu(nullptr);
  window_.reset();
}

template <class Fn>
void TTrayIcon::Reported(Fn&& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    plat::ShowErrorBox(e.what());
  } catch (...) {
    plat::ShowErrorBox("Unexpected error.");
  }
}

plat::WindowHandle TTrayIcon::Handle() { return window_->Handle(); }

void TTrayIcon::Loaded() {
  if (active_) AddToTray();
}

void TTrayIcon::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active)
    AddToTray();
  else
    RemoveFromTray();
}

void TTrayIcon::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  RefreshTray();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* menu) {
  if (menu == popupMenu_) return;
  if (popupMenu_) {
    auto& w = popupMenu_->watchers_;
    w.erase(std::remove(w.begin(), w.end(), this), w.end());
  }
  popupMenu_ = menu;
  if (menu) menu->watchers_.push_back(this);
}

void TTrayIcon::MenuDestroyed(TPopupMenu* menu) {
  if (menu == popupMenu_) SetPopupMenu(nullptr);
}

TIcon* TTrayIcon::CurrentIcon() {
  if (icons_.Count() == 0 || !animated_) return &icon_;
  return icons_.Items(std::clamp(frameIndex_, 0, icons_.Count() - 1));
}

std::string TTrayIcon::TipOf(const std::string& hint) {
  const std::string shortHint = hint.substr(0, hint.find('|'));
  // 63 bytes and the terminating zero fill the record's 64. A cut inside a double-byte
  // character would leave its lead byte alone at the end, shown as a broken character (or
  // joined with the zero into something else), and a cut inside an escape would show its
  // bytes, so the cut goes before that character.
  std::size_t end = 0;
  while (end < shortHint.size()) {
    const std::size_t next = end + plat::CharBytes(shortHint, end);
    if (next > 63) break;
    end = next;
  }
  return shortHint.substr(0, end);
}

void TTrayIcon::FillTrayData() {
  data_ = plat::NotifyIconData();
  data_.cbSize = 88;
  data_.window = Handle();
  data_.uID = 0;
  data_.uFlags = plat::kNifMessage | plat::kNifIcon | plat::kNifTip;
  data_.uCallbackMessage = kTrayCallback;
  TIcon* icon = CurrentIcon();
  const plat::IconHandle handle = icon ? icon->Handle() : 0;
  data_.icon = handle ? handle : plat::kNoIconHandle;
  const std::string tip = TipOf(hint_);
  std::memcpy(data_.szTip, tip.data(), tip.size());
  data_.szTip[tip.size()] = 0;
}

void TTrayIcon::RemoveFromTray() {
  plat::ShellNotifyIcon(plat::NotifyAction::Delete, data_);
  inTray_ = false;
  buttonsDown_ = 0;
  if (animated_) {
    animationSuspended_ = true;
    StopAnimation();
  }
}

void TTrayIcon::AddToTray() {
  RemoveFromTray();
  // An icon whose image gives no picture counts as empty: the shell would show a blank slot.
  TIcon* icon = CurrentIcon();
  if (!icon || icon->Empty() || !icon->Handle()) return;
  buttonsDown_ = 0;
  FillTrayData();
  inTray_ = plat::ShellNotifyIcon(plat::NotifyAction::Add, data_);
  if (hint_.substr(0, hint_.find('|')).empty() && inTray_) plat::ShellNotifyIcon(plat::NotifyAction::Modify, data_);
  if (animated_) {
    animationSuspended_ = false;
    StartAnimation();
  }
}

void TTrayIcon::RefreshTray() {
  if (icons_.Count() == 0) SetAnimated(false);
  if (inTray_) {
    TIcon* icon = CurrentIcon();
    if (!icon || icon->Empty() || !icon->Handle()) {
      RemoveFromTray();
    } else {
      FillTrayData();
      plat::ShellNotifyIcon(plat::NotifyAction::Modify, data_);
    }
  } else if (active_ && !destroying_) {
    AddToTray();
  }
}

void TTrayIcon::SetAnimated(bool animated) {
  const bool wanted = animated && icons_.Count() > 0;
  if (wanted == animated_) return;
  animated_ = wanted;
  if (wanted) {
    animationSuspended_ = !inTray_;
    StartAnimation();
  } else {
    StopAnimation();
  }
  frameIndex_ = 0;
  RefreshTray();
}

// The animation: each step is a one-shot timer of the message loop, armed with Interval as
// it is when the step before ends, so it runs on the user-interface thread like every other
// change of the component.
void TTrayIcon::StartAnimation() {
  if (timer_ || !animated_ || animationSuspended_ || destroying_) return;
  timer_ = plat::StartOneShotTimer(interval_, [this] { AnimationStep(); });
}

void TTrayIcon::StopAnimation() {
  plat::CancelTimer(timer_);
  timer_ = 0;
}

void TTrayIcon::AnimationStep() {
  timer_ = 0;
  if (!animated_ || animationSuspended_ || destroying_) return;
  Reported([this] { AdvanceFrame(); });
  StartAnimation();
}

void TTrayIcon::AdvanceFrame() {
  if (destroying_ || !animated_) return;
  ++frameIndex_;
  if (frameIndex_ >= icons_.Count()) frameIndex_ = 0;
  RefreshTray();
}

// ---------------------------------------------------------------- mouse

void TTrayIcon::TrayMessage(std::intptr_t mouseMessage) {
  const plat::ScreenPoint at = plat::CursorPos();
  const int x = at.x, y = at.y;
  const TShiftState shift = KeyboardShift();
  auto down = [&](TMouseButton button, TShiftState flags) {
    if (OnMouseDown) OnMouseDown(*this, button, shift | flags, x, y);
  };
  auto up = [&](TMouseButton button, TShiftState flags) {
    if (OnMouseUp) OnMouseUp(*this, button, shift | flags, x, y);
  };
  switch (mouseMessage) {
    case kWmMouseMove:
      if (OnMouseMove) OnMouseMove(*this, shift, x, y);
      break;
    case kWmLButtonDown:
      down(TMouseButton::Left, kSsLeft);
      buttonsDown_ |= kDownLeft;
      break;
    case kWmLButtonUp:
      if (buttonsDown_ & kDownLeft) {
        buttonsDown_ &= ~kDownLeft;
        Click(TMouseButton::Left, shift | kSsLeft, x, y);
      }
      up(TMouseButton::Left, kSsLeft);
      break;
    case kWmLButtonDblClk:
      DblClick();
      down(TMouseButton::Left, kSsDouble);
      break;
    case kWmRButtonDown:
      down(TMouseButton::Right, kSsRight);
      buttonsDown_ |= kDownRight;
      break;
    case kWmRButtonUp:
      if (buttonsDown_ & kDownRight) {
        buttonsDown_ &= ~kDownRight;
        Click(TMouseButton::Right, shift | kSsRight, x, y);
      }
      up(TMouseButton::Right, kSsRight);
      break;
    case kWmRButtonDblClk:
      down(TMouseButton::Right, kSsDouble);
      break;
    case kWmMButtonDown:
      down(TMouseButton::Middle, kSsMiddle);
      break;
    case kWmMButtonUp:
      up(TMouseButton::Middle, kSsMiddle);
      break;
    case kWmMButtonDblClk:
      down(TMouseButton::Middle, kSsDouble);
      break;
    default:
      break;
  }
}

void TTrayIcon::Click(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::Right && PopupAtCursor(x, y)) return;
  if (OnClick) OnClick(*this, button, shift, x, y);
}

void TTrayIcon::DblClick() {
  if (ClickDefaultItem()) return;
  if (OnDblClick) OnDblClick(*this);
}

bool TTrayIcon::ClickDefaultItem() {
  if (!active_ || !popupMenu_ || popupMenu_->Items.Items().empty()) return false;
  for (const auto& item : popupMenu_->Items.Items()) {
    if (item->IsDefault() && item->Enabled()) {
      item->Click();
      return true;
    }
  }
  return false;
}

bool TTrayIcon::PopupAtCursor(int x, int y) {
  if (!active_ || !popupMenu_ || !popupMenu_->AutoPopup) return false;
  popupMenu_->PopupComponent = this;
  TPopupMenu* menu = popupMenu_;
  plat::MenuItem* chosen = plat::ShowPopupMenu(Handle(), menu->Items, plat::ScreenPoint{x, y});
  if (chosen) chosen->Click();
  return true;
}

}  // namespace kv
