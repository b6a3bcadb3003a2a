#include "core/frmMain.h"

#include "actions/MultiJob.h"
#include "actions/UnitExcuteFunction.h"
#include "core/UnitFunction.h"
#include "platform/dialogs.h"
#include "platform/files.h"

namespace kv {

Tfrm_main* frm_main = nullptr;

Tfrm_main::Tfrm_main()
    : plat::Form("Keyvane", plat::FormStyle::FixedDialog, 708, 613),
      WorkList(*this, "WorkList", {6, 31, 696, 330},
               {{"단축키 설명", 180},
                {"아이디", 70},
                {"단축키", 120},
                {"실행 종류", 100},
                {"실행 정보", 140},
                {"활성화", 50}}),
      cbShift(*this, "cbShift", {110, 420, 52, 17}, "Shift"),
      cbControl(*this, "cbControl", {165, 420, 48, 17}, "Ctrl"),
      cbAlt(*this, "cbAlt", {216, 420, 40, 17}, "Alt"),
      cbWin(*this, "cbWin", {259, 420, 44, 17}, "Win"),
      cmVK(*this, "cmVK", {110, 442, 193, 20}),
      AMHK(*this),
      TimerAction(10) {
  frm_main = this;
  TimerAction.OnTimer = [this] { TimerActionTimer(); };
  for (plat::CheckBox* box : {&cbShift, &cbControl, &cbAlt, &cbWin}) {
    box->OnClick = [this] { UpdateHotKey(); };
    box->OnMouseDown = [this] { SetModified(); };
  }
  cmVK.OnChange = [this] { UpdateHotKey(); };
  cmVK.OnClick = [this] { SetModified(); };
  FormCreate();
}

Tfrm_main::~Tfrm_main() {
  if (frm_main == this) frm_main = nullptr;
}

void Tfrm_main::FormCreate() {
  LoadLastWorkFile();
  SwitchHotKeys(false);
  SwitchHotKeys(true);
  AMHK.OnHotKeys = [this](TAMHotKeys& sender, std::uint16_t index) { HotKeyPressed(sender, index); };
}

void Tfrm_main::LoadLastWorkFile() {
  ClearWorkList();
  const std::string path = GetLastWorkFile();
  if (!path.empty() && plat::FileExists(path)) LoadWorkFile(path, WorkList, *this);
}

void Tfrm_main::FormShow() { LoadLastWorkFile(); }

void Tfrm_main::ClearWorkList() {
  WorkList.Clear();
  FillKeyNames(cmVK);
}

void Tfrm_main::RegisterAllHotKeys() {
  THotKeys& keys = AMHK.HotKeys();
  registeredIds_.clear();
  for (int i = 0; i < WorkList.RowCount(); ++i) {
    const HotKeyParts parts = ParseHotKeyText(WorkList.Cell(i, kColHotKey));
    const bool active = WorkList.Cell(i, kColActive) == "True";
    THotKeyItem& item = keys.Add();
    registeredIds_.push_back(WorkList.Cell(i, kColId));
    item.SetVirtKey(KeyNameIndex(parts.key));
    TModifiers mods = 0;
    const std::pair<bool, TModifier> wanted[] = {{parts.shift, TModifier::modShift},
                                                 {parts.ctrl, TModifier::modControl},
                                                 {parts.alt, TModifier::modAlt},
                                                 {parts.win, TModifier::modWin}};
    for (const auto& [present, modifier] : wanted) {
      if (!present) continue;
      mods = static_cast<TModifiers>(item.Modifiers() | ModBit(modifier));
      item.SetModifiers(mods);
    }
    item.SetEnabled(active);
  }
  THotKeyItem& editor = keys.Add();
  editor.SetVirtKey(KeyNameIndex("F1"));
  editor.SetModifiers(ModBit(TModifier::modControl));
  editor.SetModifiers(static_cast<TModifiers>(editor.Modifiers() | ModBit(TModifier::modWin)));
  editor.SetEnabled(true);
}

void Tfrm_main::UnregisterAllHotKeys() {
  THotKeys& keys = AMHK.HotKeys();
  for (int i = keys.Count() - 1; i >= 0; --i) FreeHotKeyItem(keys.Item(i));
  registeredIds_.clear();
}

bool Tfrm_main::SwitchHotKeys(bool registerAll) {
  try {
    if (registerAll)
      RegisterAllHotKeys();
    else
      UnregisterAllHotKeys();
    return true;
  } catch (...) {
    return false;
  }
}

void Tfrm_main::HotKeyPressed(TAMHotKeys&, std::uint16_t hotKeyIndex) {
  const std::size_t index = hotKeyIndex;
  if (index == registeredIds_.size()) {
    Show();
    return;
  }
  if (index > registeredIds_.size()) return;
  const int row = RowOfRegisteredEntry(index);
  if (row < 0) return;  // deleted since it was registered
  // Copies: the action may pump messages, and a later event may change the list meanwhile.
  const std::string id = WorkList.Cell(row, kColId);
  const std::string kind = WorkList.Cell(row, kColKind);
  const std::string info = WorkList.Cell(row, kColInfo);
  ExecuteEntryAction(id, kind, info);
}

int Tfrm_main::RowOfRegisteredEntry(std::size_t itemIndex) const {
  const std::string& id = registeredIds_[itemIndex];
  const int rows = WorkList.RowCount();
  // The registered position first: a list with duplicate IDs then still runs each row's own.
  const int position = static_cast<int>(itemIndex);
  if (position < rows && WorkList.Cell(position, kColId) == id) return position;
  for (int row = 0; row < rows; ++row)
    if (WorkList.Cell(row, kColId) == id) return row;
  return -1;
}

void Tfrm_main::SetModified() {
  Modified = true;
  ApplyEnabled = true;
}

void Tfrm_main::UpdateHotKey() {
  const int row = WorkList.Selected();
  if (row < 0) return;
  const std::string text = HotKeyTextFromEditor(*this);
  if (IsHotKeyFree(WorkList, text))
    WorkList.SetCell(row, kColHotKey, text);
  else
    plat::MessageBox("이미 등록된 단축키 입니다. 다른 단축키를 선택해 주세요", "알림말",
                     plat::kMbOk | plat::kMbIconWarning, this);
}

void Tfrm_main::FormCloseQuery(bool& canClose) {
  if (WorkFilePath.empty()) WorkFilePath = DefaultWorkFile();
  if (!Modified) return;
  // The question disables the editor, but another program can still send it WM_CLOSE.
  if (closeQuestionOpen_) {
    canClose = false;
    return;
  }
  closeQuestionOpen_ = true;
  const int answer = plat::MessageBox("현재 단축키 설정이 변경되었습니다. 적용 하시겠습니까?", "알림말",
                                      plat::kMbYesNoCancel | plat::kMbIconQuestion, this);
  closeQuestionOpen_ = false;
  switch (answer) {
    case plat::kIdYes:
      // A save that fails keeps the window open: closing would drop the edits unseen. So does
      // a failed "Config.ini": the next start would load another list than the one saved.
      if (!SaveWorkFile(WorkFilePath, *this) || !SetLastWorkFile(WorkFilePath)) {
        canClose = false;
        return;
      }
      SwitchHotKeys(false);
      SwitchHotKeys(true);
      canClose = true;
      break;
    case plat::kIdNo:
      canClose = true;
      break;
    default:
      canClose = false;
      break;
  }
}

}  // namespace kv
