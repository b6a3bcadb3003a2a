// The editor window's editing area, menus and file commands.
#include "core/frmMain.h"

#include "actions/frmAction.h"
#include "actions/frmDirectSearch.h"
#include "core/UnitFunction.h"
#include "editor/frmInfor.h"
#include "editor/frmKeyEdit.h"
#include "editor/frmOption.h"
#include "editor/frmSetmulti.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/text.h"

namespace kv {

namespace {
const char* const kWorkFileFilter = "작업 파일 (*.ini)|*.ini";
const char* const kAnyFileFilter = "모든 파일 (*.*)|*.*";
const char* const kAlertCaption = "알림말";
constexpr plat::Color kTitleStripColor = 9145227;  // RGB 139, 139, 139

// The kind names as stored, in the order of the kind buttons.
const char* KindName(int kind) {
  static const char* const names[Tfrm_main::kKinds] = {
      kKindShutdown,     kKindReboot,      kKindLogoff,      kKindVolumeUp,   kKindVolumeDown,
      kKindVolumeMute,   kKindKillProgram, kKindRunProgram,  kKindOpenFolder, kKindWebSite,
      kKindDirectSearch, kKindMultiJob,    kKindKeySequence, kKindBuiltin};
  return names[kind - 1];
}

// At most 40 bytes of a text for a message, never cutting a character in two.
std::string Shortened(const std::string& text) {
  constexpr std::size_t kMax = 40;
  if (text.size() <= kMax) return text;
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t length = plat::CharBytes(text, end);
    if (end + length > kMax) break;
    end += length;
  }
  return text.substr(0, end) + "...";
}

std::string FileNameOnly(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

void Tfrm_main::BindEditor() {
  Panel1.SetColor(kTitleStripColor);
  plat::Font strip = GetFont();
  strip.bold = true;
  strip.color = plat::kColorWhite;
  lblTitle.SetFont(strip);
  strip.bold = false;
  lbl_Compile.SetFont(strip);
  lbl_Compile.SetAlignRight(true);
  lbl_Compile.SetHandCursor(true);
  lbl_Compile.OnClick = [this] { lbl_CompileClick(); };

  plat::Font listFont;
  listFont.name = "돋움체";
  listFont.points = 9;
  WorkList.SetFont(listFont);
  WorkList.SetImages({plat::Icon::Program, plat::Icon::Warning});
  WorkList.PopupMenu = &PopupMenu;
  WorkList.OnSelectItem = [this](int row, bool selected) { WorkListSelectItem(row, selected); };
  WorkList.OnKeyDown = [this](int& vk) { WorkListKeyDown(vk); };

  pnlId.SetSunken(true);
  pnlId.SetCaption("자동 설정됨");

  bntNew.OnClick = [this] { bntNewClick(); };
  bntDelete.OnClick = [this] { bntDeleteClick(); };
  bnt_Apply.OnClick = [this] { bnt_ApplyClick(); };

  txt_subject.OnChange = [this] { txt_subjectChange(); };
  txt_subject.OnKeyPress = [this](int& key) { txt_subjectKeyPress(key); };
  cbShift.OnClick = [this] { cbShiftClick(); };
  cbControl.OnClick = [this] { cbControlClick(); };
  cbAlt.OnClick = [this] { cbAltClick(); };
  cbWin.OnClick = [this] { cbWinClick(); };
  cbShift.OnMouseDown = [this] { cbShiftMouseDown(); };
  cbControl.OnMouseDown = [this] { cbControlMouseDown(); };
  cbAlt.OnMouseDown = [this] { cbAltMouseDown(); };
  cbWin.OnMouseDown = [this] { cbWinMouseDown(); };
  cmVK.SetDropDownRows(15);
  cmVK.OnChange = [this] { cmVKChange(); };
  cmVK.OnClick = [this] { cmVKClick(); };
  cmVK.SetTakesCombinations(true);
  cmVK.OnCombination = [this](unsigned modifiers, int vk) { cmVKCombination(modifiers, vk); };
  CheckActive.OnClick = [this] { CheckActiveClick(); };
  CheckActive.OnMouseDown = [this] { CheckActiveMouseDown(); };

  // Checked as the window is made, before its handler is bound: no kind stands out yet.
  Radio_1.SetChecked(true);
  Radio_1.OnClick = [this] { Radio_1Click(); };
  Radio_2.OnClick = [this] { Radio_2Click(); };
  Radio_3.OnClick = [this] { Radio_3Click(); };
  Radio_4.OnClick = [this] { Radio_4Click(); };
  Radio_5.OnClick = [this] { Radio_5Click(); };
  Radio_6.OnClick = [this] { Radio_6Click(); };
  Radio_7.OnClick = [this] { Radio_7Click(); };
  Radio_8.OnClick = [this] { Radio_8Click(); };
  Radio_9.OnClick = [this] { Radio_9Click(); };
  Radio_10.OnClick = [this] { Radio_10Click(); };
  Radio_11.OnClick = [this] { Radio_11Click(); };
  Radio_12.OnClick = [this] { Radio_12Click(); };
  Radio_13.OnClick = [this] { Radio_13Click(); };
  Radio_14.OnClick = [this] { Radio_14Click(); };
  Radio_1.OnMouseDown = [this] { Radio_1MouseDown(); };
  Radio_2.OnMouseDown = [this] { Radio_2MouseDown(); };
  Radio_3.OnMouseDown = [this] { Radio_3MouseDown(); };
  Radio_4.OnMouseDown = [this] { Radio_4MouseDown(); };
  Radio_5.OnMouseDown = [this] { Radio_5MouseDown(); };
  Radio_6.OnMouseDown = [this] { Radio_6MouseDown(); };
  Radio_7.OnMouseDown = [this] { Radio_7MouseDown(); };
  Radio_8.OnMouseDown = [this] { Radio_8MouseDown(); };
  Radio_9.OnMouseDown = [this] { Radio_9MouseDown(); };
  Radio_10.OnMouseDown = [this] { Radio_10MouseDown(); };
  Radio_11.OnMouseDown = [this] { Radio_11MouseDown(); };
  Radio_12.OnMouseDown = [this] { Radio_12MouseDown(); };
  Radio_13.OnMouseDown = [this] { Radio_13MouseDown(); };
  Radio_14.OnMouseDown = [this] { Radio_13MouseDown(); };

  plat::Font infoFont;
  infoFont.name = "Tahoma";
  infoFont.points = 8;
  for (plat::Edit* box : infoBoxes_) box->SetFont(infoFont);
  for (plat::Edit* box : {&txt_subject, &txt_ExitFilename, &txt_ExcuteFilename, &txt_OpenDir, &txt_Urlselect,
                          &txt_DirectUrl, &txt_MultiJob, &txt_AutoKey, &txt_Action}) {
    box->SetWantHangul(true);
    // Deleting, pasting or composing Hangul changes the text without a key press of its own.
    box->OnUserChange = [this] { SetModified(); };
  }
  txt_ExitFilename.OnChange = [this] { txt_ExitFilenameChange(); };
  txt_ExcuteFilename.OnChange = [this] { txt_ExcuteFilenameChange(); };
  txt_OpenDir.OnChange = [this] { txt_OpenDirChange(); };
  txt_Urlselect.OnChange = [this] { txt_UrlselectChange(); };
  txt_DirectUrl.OnChange = [this] { txt_DirectUrlChange(); };
  txt_MultiJob.OnChange = [this] { txt_MultiJobChange(); };
  txt_AutoKey.OnChange = [this] { txt_AutoKeyChange(); };
  txt_Action.OnChange = [this] { txt_ActionChange(); };
  txt_ExitFilename.OnKeyDown = [this](int& vk) { txt_ExitFilenameKeyDown(vk); };
  txt_ExcuteFilename.OnKeyDown = [this](int& vk) { txt_ExcuteFilenameKeyDown(vk); };
  txt_OpenDir.OnKeyDown = [this](int& vk) { txt_OpenDirKeyDown(vk); };
  txt_Urlselect.OnKeyDown = [this](int& vk) { txt_UrlselectKeyDown(vk); };
  txt_DirectUrl.OnKeyDown = [this](int& vk) { txt_DirectUrlKeyDown(vk); };
  txt_MultiJob.OnKeyDown = [this](int& vk) { txt_MultiJobKeyDown(vk); };
  txt_AutoKey.OnKeyDown = [this](int& vk) { txt_AutoKeyKeyDown(vk); };
  txt_Action.OnKeyDown = [this](int& vk) { txt_ActionKeyDown(vk); };

  bntExitfound.OnClick = [this] { bntExitfoundClick(); };
  bntExcuteFind.OnClick = [this] { bntExcuteFindClick(); };
  bntSelForlder.OnClick = [this] { bntSelForlderClick(); };
  bntScriptFind.OnClick = [this] { bntScriptFindClick(); };
  bntMultijop.OnClick = [this] { bntMultijopClick(); };
  bntAutoKey.OnClick = [this] { bntAutoKeyClick(); };
  bntAction.OnClick = [this] { bntActionClick(); };
}

void Tfrm_main::ArrangeTabOrder() {
  // The kinds as they read, each followed by its box and its button. Of the kinds Tab stops
  // at the checked one only, so the arrows choose a kind and Tab goes on to its box.
  SetTabOrder({&Radio_1, &Radio_2, &Radio_3, &Radio_4, &Radio_5, &Radio_6, &Radio_7, &txt_ExitFilename,
               &bntExitfound, &Radio_8, &txt_ExcuteFilename, &bntExcuteFind, &Radio_9, &txt_OpenDir,
               &bntSelForlder, &Radio_10, &txt_Urlselect, &Radio_11, &txt_DirectUrl, &bntScriptFind, &Radio_12,
               &txt_MultiJob, &bntMultijop, &Radio_13, &txt_AutoKey, &bntAutoKey, &Radio_14, &txt_Action,
               &bntAction});
}

void Tfrm_main::BuildMenus() {
  plat::MenuItem& file = MainMenu().Add("파일");
  file.Add("열기(&O)..", [this] { N2Click(); });
  file.Add("다른 이름으로 저장(&S)..", [this] { S1Click(); });
  file.AddSeparator();
  file.Add("인쇄(&P)", [this] { p1Click(); });
  file.AddSeparator();
  file.Add("종료(&X)", [this] { whdfy1Click(); });
  plat::MenuItem& edit = MainMenu().Add("편집");
  edit.Add("새 등록(&N)..", [this] { N6Click(); });
  edit.Add("현재 항목 삭제(&D)", [this] { d1Click(); });
  edit.AddSeparator();
  edit.Add("옵션(&P)..", [this] { E1Click(); });
  plat::MenuItem& help = MainMenu().Add("도움말");
  help.Add(
      "도움말", [this] { N9Click(); }, plat::kVkF1);
  help.Add("프로그램 정보", [this] { N10Click(); });
  help.AddSeparator();
  help.Add("홈페이지 방문", [this] { N12Click(); });
  help.Add("질문/답변 게시판", [this] { N13Click(); });

  PopupMenu.Add("단축키 등록", [this] { bntNewClick(); });
  PopupMenu.Add("단축키 삭제", [this] { bntDeleteClick(); });
  PopupMenu.AddSeparator();
  PopupMenu.Add("창 닫기..", [this] { CloseWindowClick(); });
}

void Tfrm_main::SetModified() { Doc.SetModified(true); }

int Tfrm_main::CheckedKind() const {
  for (int kind = 1; kind <= kKinds; ++kind)
    if (kindButtons_[kind - 1]->Checked()) return kind;
  return 0;
}

void Tfrm_main::WriteEditField(EditField field) {
  const int row = WorkList.Selected();
  if (row < 0 || settingFields_) return;
  switch (field) {
    case EditField::Description:
      WorkList.SetCell(row, kColDescription, txt_subject.Text());
      break;
    case EditField::HotKey: {
      const std::string text = HotKeyTextFromEditor(*this);
      // While a row is being shown its own text comes back, possibly a part of it at a time:
      // that is no new choice to check.
      if (showingEntry_ || IsHotKeyFree(WorkList, text, row)) {
        WorkList.SetCell(row, kColHotKey, text);
      } else {
        plat::MessageBox("이미 등록된 단축키 입니다. 다른 단축키를 선택해 주세요", kAlertCaption,
                         plat::kMbOk | plat::kMbIconWarning, this);
        // The row keeps its combination, and the fields show it again instead of the refused one.
        if (WorkList.Selected() == row) ShowRowHotKey(row);
      }
      break;
    }
    case EditField::Active:
      WorkList.SetCell(row, kColActive, CheckActive.Checked() ? "True" : "False");
      break;
    case EditField::Kind:
    case EditField::Info: {
      const int kind = CheckedKind();
      if (kind == 0) break;
      if (field == EditField::Kind) WorkList.SetCell(row, kColKind, KindName(kind));
      const plat::Edit* box = InfoBox(kind);
      WorkList.SetCell(row, kColInfo, box ? EncodeInfoText(box->Text()) : std::string());
      break;
    }
  }
}

void Tfrm_main::ClearEditFields() {
  settingFields_ = true;
  txt_subject.SetText("");
  for (plat::CheckBox* box : {&cbShift, &cbControl, &cbAlt, &cbWin}) box->SetChecked(false);
  cmVK.SetItemIndex(-1);
  CheckActive.SetChecked(false);
  for (int kind = kFirstInfoKind; kind <= kKinds; ++kind) InfoBox(kind)->SetText("");
  settingFields_ = false;
}

void Tfrm_main::ShowSelectedEntry() {
  const int row = WorkList.Selected();
  if (row < 0) return;
  const HotkeyEntry entry = EntryOfRow(WorkList, row);
  showingEntry_ = true;
  txt_subject.SetText(entry.description);
  ShowHotKeyText(*this, entry.hotkey);
  for (plat::Edit* box : infoBoxes_) box->SetText("");
  for (int kind = 1; kind <= kKinds; ++kind) {
    if (entry.kind != KindName(kind)) continue;
    KindButton(kind).SetChecked(true);
    if (plat::Edit* box = InfoBox(kind)) box->SetText(entry.info);
    break;
  }
  CheckActive.SetChecked(entry.active == "True");
  showingEntry_ = false;
  // Showing a row never changes it, also where the fields cannot hold its values (a key
  // name outside the table, a kind no button stands for, a box left from another row).
  // A handler may have changed the list meanwhile: only the same row gets its texts back.
  if (WorkList.Selected() != row) return;
  const std::vector<std::string> shown{entry.description, entry.id, entry.hotkey, entry.kind, entry.info, entry.active};
  for (int column = 0; column < kEntryColumns; ++column)
    if (WorkList.Cell(row, column) != shown[column]) WorkList.SetCell(row, column, shown[column]);
}

void Tfrm_main::ShowRowHotKey(int row) {
  const std::string kept = WorkList.Cell(row, kColHotKey);
  showingEntry_ = true;
  for (plat::CheckBox* box : {&cbShift, &cbControl, &cbAlt, &cbWin}) box->SetChecked(false);
  cmVK.SetItemIndex(-1);
  ShowHotKeyText(*this, kept);
  showingEntry_ = false;
  if (WorkList.Selected() == row && WorkList.Cell(row, kColHotKey) != kept) WorkList.SetCell(row, kColHotKey, kept);
}

void Tfrm_main::ResetKindFonts() {
  for (plat::RadioButton* button : kindButtons_) button->SetBold(false);
}

void Tfrm_main::New() {
  SetModified();
  AddEntry(NewEntry(WorkList), WorkList);
  const int row = WorkList.RowCount() - 1;
  WorkList.ScrollIntoView(row);
  WorkList.Select(row);
  Radio_10.SetChecked(true);
}

void Tfrm_main::Delete() {
  SetModified();
  const int row = WorkList.Selected();
  if (row >= 0) WorkList.DeleteRow(row);
}

bool Tfrm_main::Apply() {
  const int row = WorkList.Selected();
  const std::vector<std::string> before = row >= 0 ? WorkList.Row(row) : std::vector<std::string>();
  // A list that cannot be written keeps everything as it was, the mark of changes included,
  // so the user can try again or save under another name.
  if (!Doc.Apply()) return false;
  ShowSavedRow(row, before);
  const std::vector<int> failed = UnregisteredRows();
  if (!failed.empty() || !PauseKeyHeld()) {
    // One box, kept to a size the screen can show however many failed.
    constexpr std::size_t kNamed = 20;
    std::string names;
    for (std::size_t i = 0; i < failed.size() && i < kNamed; ++i)
      names += "\r\n" + Shortened(WorkList.Cell(failed[i], kColHotKey)) + "  (" +
               Shortened(WorkList.Cell(failed[i], kColDescription)) + ")";
    if (failed.size() > kNamed) names += "\r\n외 " + std::to_string(failed.size() - kNamed) + "개";
    if (!PauseKeyHeld()) names += "\r\n" + std::string(kReservedHotKey) + "  (잠시 중지/시작)";
    plat::MessageBox("다음 단축키는 다른 프로그램이 사용 중이거나 예약되어 있어 등록하지 못했습니다:" + names,
                     kAlertCaption, plat::kMbOk | plat::kMbIconWarning, this);
  }
  return true;
}

void Tfrm_main::ShowSavedRow(int row, const std::vector<std::string>& before) {
  // The save gives the cells the texts the file reads back as: the fields show them too.
  // (A list read again instead has no row selected.)
  if (row >= 0 && WorkList.Selected() == row && WorkList.Row(row) != before) {
    ClearEditFields();
    ShowSelectedEntry();
  }
}

// ---------------------------------------------------------------- handlers

void Tfrm_main::WorkListSelectItem(int, bool) {
  ClearEditFields();
  ShowSelectedEntry();
}

void Tfrm_main::WorkListKeyDown(int& vk) {
  if (vk == plat::kVkDelete) Delete();
}

void Tfrm_main::txt_subjectChange() { WriteEditField(EditField::Description); }
void Tfrm_main::txt_subjectKeyPress(int&) { SetModified(); }
void Tfrm_main::cbShiftClick() { WriteEditField(EditField::HotKey); }
void Tfrm_main::cbControlClick() { WriteEditField(EditField::HotKey); }
void Tfrm_main::cbAltClick() { WriteEditField(EditField::HotKey); }
void Tfrm_main::cbWinClick() { WriteEditField(EditField::HotKey); }
void Tfrm_main::cbShiftMouseDown() { SetModified(); }
void Tfrm_main::cbControlMouseDown() { SetModified(); }
void Tfrm_main::cbAltMouseDown() { SetModified(); }
void Tfrm_main::cbWinMouseDown() { SetModified(); }
void Tfrm_main::cmVKChange() { WriteEditField(EditField::HotKey); }
void Tfrm_main::cmVKClick() { SetModified(); }

void Tfrm_main::cmVKCombination(unsigned modifiers, int vk) {
  const TVirtKey key = VirtKeyOfCode(vk);
  if (key == vkNone || WorkList.Selected() < 0 || !cmVK.Enabled()) return;
  SetModified();
  // The whole combination is one choice: the duplicate check sees it, not each box on the way.
  settingFields_ = true;
  cbShift.SetChecked((modifiers & plat::kModShift) != 0);
  cbControl.SetChecked((modifiers & plat::kModControl) != 0);
  cbAlt.SetChecked((modifiers & plat::kModAlt) != 0);
  cbWin.SetChecked((modifiers & plat::kModWin) != 0);
  cmVK.SetItemIndex(key);
  settingFields_ = false;
  WriteEditField(EditField::HotKey);
}
void Tfrm_main::CheckActiveClick() { WriteEditField(EditField::Active); }
void Tfrm_main::CheckActiveMouseDown() { SetModified(); }

void Tfrm_main::KindClick(int kind) {
  WriteEditField(EditField::Kind);
  ResetKindFonts();
  KindButton(kind).SetBold(true);
}

void Tfrm_main::Radio_1Click() { KindClick(1); }
void Tfrm_main::Radio_2Click() { KindClick(2); }
void Tfrm_main::Radio_3Click() { KindClick(3); }
void Tfrm_main::Radio_4Click() { KindClick(4); }
void Tfrm_main::Radio_5Click() { KindClick(5); }
void Tfrm_main::Radio_6Click() { KindClick(6); }
void Tfrm_main::Radio_7Click() { KindClick(7); }
void Tfrm_main::Radio_8Click() { KindClick(8); }
void Tfrm_main::Radio_9Click() { KindClick(9); }
void Tfrm_main::Radio_10Click() { KindClick(10); }
void Tfrm_main::Radio_11Click() { KindClick(11); }
void Tfrm_main::Radio_12Click() { KindClick(12); }
void Tfrm_main::Radio_13Click() { KindClick(13); }
void Tfrm_main::Radio_14Click() { KindClick(14); }
void Tfrm_main::Radio_1MouseDown() { SetModified(); }
void Tfrm_main::Radio_2MouseDown() { SetModified(); }
void Tfrm_main::Radio_3MouseDown() { SetModified(); }
void Tfrm_main::Radio_4MouseDown() { SetModified(); }
void Tfrm_main::Radio_5MouseDown() { SetModified(); }
void Tfrm_main::Radio_6MouseDown() { SetModified(); }
void Tfrm_main::Radio_7MouseDown() { SetModified(); }
void Tfrm_main::Radio_8MouseDown() { SetModified(); }
void Tfrm_main::Radio_9MouseDown() { SetModified(); }
void Tfrm_main::Radio_10MouseDown() { SetModified(); }
void Tfrm_main::Radio_11MouseDown() { SetModified(); }
void Tfrm_main::Radio_12MouseDown() { SetModified(); }
void Tfrm_main::Radio_13MouseDown() { SetModified(); }

void Tfrm_main::InfoChange(int kind) {
  if (settingFields_) return;
  KindButton(kind).SetChecked(true);
  WriteEditField(EditField::Info);
}

void Tfrm_main::InfoKeyDown(int&) { SetModified(); }

void Tfrm_main::ConfirmInfo(const plat::Edit& box) {
  // The box's text may be what it held already, so no change reported it: the choice
  // still makes the entry of the box's kind, with the box's info.
  for (int kind = kFirstInfoKind; kind <= kKinds; ++kind)
    if (InfoBox(kind) == &box) InfoChange(kind);
}

void Tfrm_main::txt_ExitFilenameChange() { InfoChange(7); }
void Tfrm_main::txt_ExcuteFilenameChange() { InfoChange(8); }
void Tfrm_main::txt_OpenDirChange() { InfoChange(9); }
void Tfrm_main::txt_UrlselectChange() { InfoChange(10); }
void Tfrm_main::txt_DirectUrlChange() { InfoChange(11); }
void Tfrm_main::txt_MultiJobChange() { InfoChange(12); }
void Tfrm_main::txt_AutoKeyChange() { InfoChange(13); }
void Tfrm_main::txt_ActionChange() { InfoChange(14); }
void Tfrm_main::txt_ExitFilenameKeyDown(int& vk) { InfoKeyDown(vk); }
void Tfrm_main::txt_ExcuteFilenameKeyDown(int& vk) { InfoKeyDown(vk); }
void Tfrm_main::txt_OpenDirKeyDown(int& vk) { InfoKeyDown(vk); }
void Tfrm_main::txt_UrlselectKeyDown(int& vk) { InfoKeyDown(vk); }
void Tfrm_main::txt_DirectUrlKeyDown(int& vk) { InfoKeyDown(vk); }
void Tfrm_main::txt_MultiJobKeyDown(int& vk) { InfoKeyDown(vk); }
void Tfrm_main::txt_AutoKeyKeyDown(int& vk) { InfoKeyDown(vk); }
void Tfrm_main::txt_ActionKeyDown(int& vk) { InfoKeyDown(vk); }

void Tfrm_main::bntNewClick() { New(); }
void Tfrm_main::bntDeleteClick() { Delete(); }
void Tfrm_main::bnt_ApplyClick() { Apply(); }

void Tfrm_main::FindFile(plat::Edit& box, bool nameOnly) {
  plat::FileDialogOptions options;
  options.filter = kAnyFileFilter;
  options.owner = this;
  std::string name;
  if (!plat::OpenFileDialog(options, name) || name.empty()) return;
  box.SetText(nameOnly ? FileNameOnly(name) : name);
  SetModified();
  ConfirmInfo(box);
}

void Tfrm_main::bntExitfoundClick() { FindFile(txt_ExitFilename, true); }
void Tfrm_main::bntExcuteFindClick() { FindFile(txt_ExcuteFilename, false); }

void Tfrm_main::bntSelForlderClick() {
  std::string folder;
  if (!plat::BrowseForFolder("폴더를 선택해 주세요:", this, folder) || folder.empty()) return;
  txt_OpenDir.SetText(folder);
  SetModified();
  ConfirmInfo(txt_OpenDir);
}

void Tfrm_main::bntScriptFindClick() {
  SetModified();
  Tfrm_DirectSearch dialog(txt_DirectUrl);
  if (dialog.ShowModal(this) == plat::kMrOk) ConfirmInfo(txt_DirectUrl);
}

void Tfrm_main::bntMultijopClick() {
  SetModified();
  Tfrm_Setmulti dialog(WorkList, txt_MultiJob);
  if (dialog.ShowModal(this) == plat::kMrOk) ConfirmInfo(txt_MultiJob);
}

void Tfrm_main::bntAutoKeyClick() {
  SetModified();
  Tfrm_KeyEdit dialog(txt_AutoKey);
  if (dialog.ShowModal(this) == plat::kMrOk) ConfirmInfo(txt_AutoKey);
}

void Tfrm_main::bntActionClick() {
  SetModified();
  Tfrm_Action dialog(&txt_Action);
  if (dialog.ShowModal(this) == plat::kMrOk) ConfirmInfo(txt_Action);
}

void Tfrm_main::lbl_CompileClick() { OpenHomePage(); }

// ---------------------------------------------------------------- menus

void Tfrm_main::N2Click() {
  plat::FileDialogOptions options;
  options.filter = kWorkFileFilter;
  options.initialDir = plat::ProgramFolder();
  options.owner = this;
  std::string name;
  // Edits not applied get the closing question before another list can replace them.
  if (!Doc.MayDrop()) return;
  if (!plat::OpenFileDialog(options, name) || name.empty()) return;
  Doc.Open(name);
}

void Tfrm_main::S1Click() {
  if (WorkList.RowCount() == 0) return;
  plat::FileDialogOptions options;
  options.filter = kWorkFileFilter;
  options.fileName = "MyJop.ini";
  options.initialDir = plat::ProgramFolder();
  options.overwritePrompt = true;
  options.hideReadOnly = true;
  options.resizable = true;
  options.owner = this;
  std::string name;
  if (!plat::SaveFileDialog(options, name)) return;
  const int row = WorkList.Selected();
  const std::vector<std::string> before = row >= 0 ? WorkList.Row(row) : std::vector<std::string>();
  // Also when the copy was written but could not become the work file.
  Doc.SaveAs(name);
  ShowSavedRow(row, before);
}

void Tfrm_main::p1Click() { PrintHotkeyList(WorkList); }

void Tfrm_main::whdfy1Click() { Close(); }
void Tfrm_main::N6Click() { bntNewClick(); }
void Tfrm_main::d1Click() { bntDeleteClick(); }

void Tfrm_main::E1Click() {
  Tfrm_Option options;
  options.LoadOptions();
  options.ShowModal(this);
}

void Tfrm_main::N9Click() { OpenHelp(this); }

void Tfrm_main::N10Click() {
  Tfrm_Infor about;
  about.ShowModal(this);
}

void Tfrm_main::N12Click() { OpenHomePage(); }
void Tfrm_main::N13Click() { OpenQnaBoard(); }
void Tfrm_main::CloseWindowClick() { Close(); }

}  // namespace kv
