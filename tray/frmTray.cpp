#include "tray/frmTray.h"

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "editor/frmInfor.h"
#include "editor/frmKeyList.h"
#include "platform/msgloop.h"
#include "platform/session.h"
#include "tray/TrayIcons.h"

namespace kv {

const char* const kPauseCaption = "□  잠시 중지..";
const char* const kResumeCaption = "▷  시작.. ";
const char* const kTrayHint = "키베인";

std::string TrayHintText(bool paused, bool incomplete) {
  // "키베인", and in parentheses what is so, separated by commas.
  std::string notes;
  if (paused) notes = "잠시 중지";
  if (incomplete) notes += std::string(notes.empty() ? "" : ", ") + "목록을 다 읽지 못함";
  return notes.empty() ? std::string(kTrayHint) : std::string(kTrayHint) + " (" + notes + ")";
}

Tfrm_Tray::Tfrm_Tray()
    : plat::Form("Keyvane", plat::FormStyle::HiddenHost, 0, 0),
      bnt_Edit(PopupMenu.Items.Add("단축 편집 (Ctrl+Win+F1)", [this] { bnt_EditClick(); })),
      bnt_homepage(
          (PopupMenu.Items.AddSeparator(), PopupMenu.Items.Add("루메노 홈페이지", [this] { bnt_homepageClick(); }))),
      bnt_info(PopupMenu.Items.Add("정보...", [this] { bnt_infoClick(); })),
      bnt_listview(
          (PopupMenu.Items.AddSeparator(), PopupMenu.Items.Add("단축 리스트 보기", [this] { bnt_listviewClick(); }))),
      bntStop((PopupMenu.Items.AddSeparator(), PopupMenu.Items.Add(kPauseCaption, [this] { bntStopClick(); }))),
      bnt_close(PopupMenu.Items.Add("끝내기", [this] { bnt_closeClick(); })) {
  bnt_Edit.SetDefault(true);
  TrayIcon.SetHint(kTrayHint);
  TIcon icon;
  icon.LoadFromIco(TrayIconImage());
  TrayIcon.SetIcon(&icon);
  TIconList frames;
  for (int frame = 0; frame < kTrayFrames; ++frame) {
    TIcon image;
    image.LoadFromIco(TrayFrameImage(frame));
    frames.Add(&image);
  }
  TrayIcon.SetIcons(&frames);
  TrayIcon.SetInterval(700);
  TrayIcon.SetPopupMenu(&PopupMenu);
  TrayIcon.Loaded();
  SetAutoStart(ReadStartUp() != 0);
}

void Tfrm_Tray::Attach(Tfrm_main& editor) {
  Editor = &editor;
  editor.OnPauseKey = [this] { bntStopClick(); };
  editor.OnListNoticeChange = [this] { TrayIcon.SetHint(HintText()); };
  ShowPauseState();
}

std::string Tfrm_Tray::HintText() const {
  return TrayHintText(Editor && Editor->Paused(), Editor && Editor->ListIncompleteUntold());
}

void Tfrm_Tray::ShowPauseState() {
  const bool paused = Editor && Editor->Paused();
  bntStop.SetCaption(paused ? kResumeCaption : kPauseCaption);
  TrayIcon.SetHint(HintText());
  const std::string& image = paused ? TrayPausedImage() : TrayIconImage();
  if (TrayIcon.Icon().Image() == image) return;
  TIcon icon;
  icon.LoadFromIco(image);
  TrayIcon.SetIcon(&icon);
}

void Tfrm_Tray::bnt_EditClick() {
  if (!Editor) return;
  // A hidden editor reads its list again as it is shown, and 적용 then offers what is left
  // to apply. An editor already on screen keeps its changes and only comes to the front.
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
  // The item and Ctrl+Win+F2 both come here; the editor holds whether Keyvane is paused.
  if (Editor->Paused())
    Editor->Resume();
  else
    Editor->Pause();
  ShowPauseState();
}

void Tfrm_Tray::bnt_closeClick() {
  // Changes still open in the editor get its closing question first: Yes applies them,
  // No drops them, Cancel keeps the program running.
  if (Editor && !Editor->MayEndProgram()) return;
  Close();
}

bool Tfrm_Tray::QueryEndSession() {
  if (!Editor) return true;
  // Set before the question, so the shut-down screen can name it while the box is up.
  plat::SetShutdownBlockReason(Handle(), "적용하지 않은 단축키 설정이 있습니다.");
  const bool mayEnd = Editor->MayEndProgram();
  if (mayEnd) plat::SetShutdownBlockReason(Handle(), "");
  return mayEnd;
}

void Tfrm_Tray::EndSession(bool ending) {
  plat::SetShutdownBlockReason(Handle(), "");
  if (ending) Close();
}

void Tfrm_Tray::FormClose() {
  // The icon and the hotkeys go at once, even when an action's wait is still unwinding.
  TrayIcon.SetActive(false);
  if (Editor) Editor->SwitchHotKeys(false);
  plat::QuitMessageLoop(0);
}

}  // namespace kv
