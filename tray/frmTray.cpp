#include "tray/frmTray.h"

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "editor/frmInfor.h"
#include "editor/frmKeyList.h"
#include "platform/msgloop.h"

namespace kv {

const char* const kPauseCaption = "□  잠시 중지..";
const char* const kResumeCaption = "▷  시작.. ";

Tfrm_Tray::Tfrm_Tray()
    : plat::Form("Keyvane", plat::FormStyle::HiddenHost, 0, 0),
      bnt_Edit(PopupMenu.Add("단축 편집 (Ctrl+Win+F1)", [this] { bnt_EditClick(); })),
      bnt_homepage((PopupMenu.AddSeparator(), PopupMenu.Add("루메노 홈페이지", [this] { bnt_homepageClick(); }))),
      bnt_info(PopupMenu.Add("정보...", [this] { bnt_infoClick(); })),
      bnt_listview((PopupMenu.AddSeparator(), PopupMenu.Add("단축 리스트 보기", [this] { bnt_listviewClick(); }))),
      bntStop((PopupMenu.AddSeparator(), PopupMenu.Add(kPauseCaption, [this] { bntStopClick(); }))),
      bnt_close(PopupMenu.Add("끝내기", [this] { bnt_closeClick(); })) {
  Handle();
  SetAutoStart(ReadStartUp() != 0);
}

void Tfrm_Tray::bnt_EditClick() {
  if (!Editor) return;
  // A hidden editor reloads its list from the file when shown, so nothing is pending. An
  // editor already on screen keeps its unapplied changes and only comes to the front.
  if (!Editor->Visible()) {
    Editor->Modified = false;
    Editor->bnt_Apply.SetEnabled(false);
  }
  Editor->Show();
}

void Tfrm_Tray::bnt_homepageClick() { OpenHomePage(); }

void Tfrm_Tray::bnt_infoClick() {
  Tfrm_Infor about;
  about.ShowModal(nullptr);
}

void Tfrm_Tray::bnt_listviewClick() { ShowKeyList(); }

void Tfrm_Tray::bntStopClick() {
  if (!Editor) return;
  if (bntStop.Caption().find("중지") != std::string::npos) {
    bntStop.SetCaption(kResumeCaption);
    Editor->SwitchHotKeys(false);
  } else {
    bntStop.SetCaption(kPauseCaption);
    Editor->SwitchHotKeys(true);
  }
}

void Tfrm_Tray::bnt_closeClick() {
  // Changes still open in the editor get its closing question first: Yes applies them,
  // No drops them, Cancel keeps the program running.
  if (Editor && !Editor->MayEndProgram()) return;
  Close();
}

void Tfrm_Tray::FormClose() {
  if (Editor) Editor->SwitchHotKeys(false);
  plat::QuitMessageLoop(0);
}

}  // namespace kv
