#pragma once
// Tfrm_Tray: the program's hidden main window and its menu in the notification area.
#include "platform/controls.h"
#include "tray/TrayShell.h"

namespace kv {

class Tfrm_main;

// The pause item's two captions.
extern const char* const kPauseCaption;   // "□  잠시 중지..": running, offers to pause
extern const char* const kResumeCaption;  // "▷  시작.. ": paused, offers to start again
// The icon's hint: "키베인", with what is so in parentheses: "잠시 중지" while paused, and
// "목록을 다 읽지 못함" from a start-up whose list was read only in part until the editor
// has said so ("키베인 (잠시 중지, 목록을 다 읽지 못함)" with both).
extern const char* const kTrayHint;  // "키베인"
std::string TrayHintText(bool paused, bool incomplete);

class Tfrm_Tray : public plat::Form {
 public:
  // Keeps the program off the taskbar and brings the Run value in line with "Config.ini".
  Tfrm_Tray();
  // The editor the menu opens, pauses and asks before the program ends.
  Tfrm_main* Editor = nullptr;
  // Makes editor the one the menu works on; its pause key then does what "잠시 중지" does,
  // and the icon's hint follows what the user should know of it.
  void Attach(Tfrm_main& editor);
  // "키베인", with "잠시 중지" while paused and what is amiss with the list meanwhile.
  std::string HintText() const;

 private:
  // The program's main window is made first, before the icon's own hidden window.
  plat::WindowHandle window_ = Handle();

 public:

  // The tray menu, top to bottom; "단축 편집" is its default item.
  TPopupMenu PopupMenu;
  plat::MenuItem& bnt_Edit;
  plat::MenuItem& bnt_homepage;
  plat::MenuItem& bnt_info;
  plat::MenuItem& bnt_listview;
  plat::MenuItem& bntStop;
  plat::MenuItem& bnt_close;
  // The icon in the notification area: hint "키베인", a right click opens PopupMenu, a
  // double click runs its default item.
  TTrayIcon TrayIcon;

  void bnt_EditClick();
  void bnt_homepageClick();
  void bnt_infoClick();
  void bnt_listviewClick();
  // Pauses or resumes; the item's caption, the icon and its hint follow.
  void bntStopClick();
  void bnt_closeClick();

  // Log-off or shut-down asks what ending from the menu asks; Cancel keeps the session and
  // tells Windows why. An ending session ends the program at once.
  bool QueryEndSession() override;
  void EndSession(bool ending) override;

 protected:
  void FormClose() override;

 private:
  // The caption, icon and hint of the editor's pause state.
  void ShowPauseState();
};

}  // namespace kv
