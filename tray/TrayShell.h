#pragma once
// TTrayIcon: one icon in the notification area. It turns the shell's mouse messages for the
// icon into click, double-click and mouse events, opens its popup menu on a right click,
// runs the menu's default item on a double click, comes back when the shell's taskbar is
// created again, and can cycle through the frames of Icons.
//
// Everything runs on the user-interface thread: the animation steps come from a timer of
// the message loop, so no lock is needed.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/tray.h"
#include "tray/IcoList.h"

namespace kv {

class TTrayIcon;

// A popup menu: its items, whether it opens by itself on a right click, and the component
// that showed it last. Components that refer to it are told when it is destroyed.
class TPopupMenu {
 public:
  TPopupMenu() = default;
  ~TPopupMenu();
  TPopupMenu(const TPopupMenu&) = delete;
  TPopupMenu& operator=(const TPopupMenu&) = delete;

  plat::MenuItem Items;
  bool AutoPopup = true;
  TTrayIcon* PopupComponent = nullptr;

 private:
  friend class TTrayIcon;
  std::vector<TTrayIcon*> watchers_;
};

enum class TMouseButton { Left, Right, Middle };

// Shift-state flags.
enum : unsigned {
  kSsShift = 0x01,
  kSsAlt = 0x02,
  kSsCtrl = 0x04,
  kSsLeft = 0x08,
  kSsRight = 0x10,
  kSsMiddle = 0x20,
  kSsDouble = 0x40
};
using TShiftState = unsigned;

// ButtonsDown flags.
enum : unsigned { kDownLeft = 1, kDownRight = 2 };

class TTrayIcon {
 public:
  // The message the shell sends to the hidden window for the icon.
  static constexpr unsigned kTrayCallback = 0xB054;

  // Creates the hidden window; Active and Enabled are true, Interval is 150, no icon.
  TTrayIcon();
  // Takes the icon out of the tray and frees the window and the icons.
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  // The owning form has set every property: the icon goes in when Active.
  void Loaded();

  bool Active() const { return active_; }
  void SetActive(bool active);
  // Mouse messages from the shell become events only while enabled.
  bool Enabled = true;
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  // The owned static icon and animation frames; changing them refreshes the tray.
  TIcon& Icon() { return icon_; }
  void SetIcon(const TIcon* icon) { icon_.Assign(icon); }
  TIconList& Icons() { return icons_; }
  void SetIcons(const TIconList* icons) { icons_.Assign(icons); }
  bool Animated() const { return animated_; }
  void SetAnimated(bool animated);
  std::uint16_t Interval() const { return interval_; }
  // A running animation takes it from its next step on.
  void SetInterval(std::uint16_t ms) { interval_ = ms; }
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  // Showing the icon while a form is designed: Keyvane has no designer, so it is only kept.
  bool ShowDesign = false;

  std::function<void(TTrayIcon&, TMouseButton, TShiftState, int x, int y)> OnClick;
  std::function<void(TTrayIcon&)> OnDblClick;
  std::function<void(TTrayIcon&, TShiftState, int x, int y)> OnMouseMove;
  std::function<void(TTrayIcon&, TMouseButton, TShiftState, int x, int y)> OnMouseDown;
  std::function<void(TTrayIcon&, TMouseButton, TShiftState, int x, int y)> OnMouseUp;

  // The hidden window the shell talks to.
  plat::WindowHandle Handle();
  bool InTray() const { return inTray_; }
  unsigned ButtonsDown() const { return buttonsDown_; }
  int FrameIndex() const { return frameIndex_; }
  // The record of the last shell call.
  const plat::NotifyIconData& TrayData() const { return data_; }
  // The animation is waiting for its next step (it is stopped while the icon is out).
  bool AnimationRunning() const { return timer_ != 0; }

  // The icon shown: the static one, or the current frame while animated.
  TIcon* CurrentIcon();
  // The short hint cut to fit the record, as FillTrayData puts it there.
  static std::string TipOf(const std::string& hint);
  void FillTrayData();
  void AddToTray();
  void RemoveFromTray();
  void RefreshTray();
  void AdvanceFrame();
  // Runs the popup menu's first enabled default top-level item; false when none ran.
  bool ClickDefaultItem();
  // Shows the popup menu at a screen point and runs the item chosen; false when the menu
  // cannot show (not active, no menu, automatic popup off).
  bool PopupAtCursor(int x, int y);
  void Click(TMouseButton button, TShiftState shift, int x, int y);
  void DblClick();

 private:
  class HiddenWindow : public plat::Form {
   public:
    explicit HiddenWindow(TTrayIcon& owner);
    void HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) override;

   private:
    TTrayIcon& owner_;
  };
  friend class TPopupMenu;

  void TrayMessage(std::intptr_t mouseMessage);
  void MenuDestroyed(TPopupMenu* menu);
  void StartAnimation();
  void StopAnimation();
  void AnimationStep();
  // Runs fn; an error it raises is shown by the program's error box, and the caller goes on.
  template <class Fn>
  void Reported(Fn&& fn);

  std::unique_ptr<HiddenWindow> window_;
  TIcon icon_;
  TIconList icons_;
  plat::NotifyIconData data_;
  TPopupMenu* popupMenu_ = nullptr;
  std::string hint_;
  bool active_ = true;
  bool animated_ = false;
  bool destroying_ = false;
  bool inTray_ = false;
  unsigned buttonsDown_ = 0;
  int frameIndex_ = -1;
  std::uint16_t interval_ = 150;
  bool animationSuspended_ = false;
  unsigned timer_ = 0;  // the pending animation step's one-shot timer, or 0
};

}  // namespace kv
