#include "core/frmMain.h"

#include <algorithm>

#include "actions/MultiJob.h"
#include "actions/UnitExcuteFunction.h"
#include "core/UnitFunction.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/input.h"
#include "platform/msgloop.h"

namespace kv {

Tfrm_main* frm_main = nullptr;

namespace {
constexpr std::uint8_t kVkF2 = 0x71;  // the pause key's key
}  // namespace

Tfrm_main::Tfrm_main()
    : plat::Form("Keyvane", plat::FormStyle::FixedDialog, 708, 613),
      Panel1(*this, "Panel1", {0, 0, 708, 25}, nullptr, plat::Bevel::None),
      lblTitle(*this, "lblTitle", {0, 6, 200, 13}, "  키베인 v1.5", &Panel1),
      lbl_Compile(*this, "lbl_Compile", {640, 6, 62, 13}, "루메노", &Panel1),
      WorkList(*this, "WorkList", {6, 31, 696, 299},
               {{"단축키 설명", 180},
                {"아이디", 70},
                {"단축키", 120},
                {"실행 종류", 100},
                {"실행 정보", 140},
                {"활성화", 50}}),
      pnlEdit(*this, "pnlEdit", {6, 336, 696, 271}, nullptr, plat::Bevel::Lowered),
      pnlButtons(*this, "pnlButtons", {6, 6, 330, 30}, &pnlEdit),
      bntNew(*this, "bntNew", {4, 3, 75, 24}, "등록", &pnlButtons),
      bntDelete(*this, "bntDelete", {82, 3, 75, 24}, "삭제", &pnlButtons),
      bnt_Apply(*this, "bnt_Apply", {251, 3, 75, 24}, "적용", &pnlButtons),
      gbBasic(*this, "gbBasic", {6, 40, 330, 224}, "기본 설정", &pnlEdit),
      lblSubject(*this, "lblSubject", {10, 24, 84, 13}, "단축키 설명 :", &gbBasic),
      lblId(*this, "lblId", {10, 54, 84, 13}, "아이디      :", &gbBasic),
      lblHotKey(*this, "lblHotKey", {10, 84, 84, 13}, "단축키 설정 :", &gbBasic),
      lblActive(*this, "lblActive", {10, 146, 84, 13}, "활성화 설정 :", &gbBasic),
      txt_subject(*this, "txt_subject", {96, 20, 224, 21}, &gbBasic),
      pnlId(*this, "pnlId", {96, 50, 224, 21}, &gbBasic, plat::Bevel::Lowered),
      cbShift(*this, "cbShift", {96, 82, 56, 17}, "Shift", &gbBasic),
      cbControl(*this, "cbControl", {154, 82, 52, 17}, "Ctrl", &gbBasic),
      cbAlt(*this, "cbAlt", {208, 82, 48, 17}, "Alt", &gbBasic),
      cbWin(*this, "cbWin", {258, 82, 52, 17}, "Win", &gbBasic),
      cmVK(*this, "cmVK", {96, 106, 224, 20}, &gbBasic),
      CheckActive(*this, "CheckActive", {96, 144, 160, 17}, "단축키 활성화", &gbBasic),
      gbKinds(*this, "gbKinds", {344, 6, 346, 258}, "실행 작업 설정", &pnlEdit),
      Radio_1(*this, "Radio_1", {10, 18, 105, 17}, "강제 종료", &gbKinds),
      Radio_2(*this, "Radio_2", {118, 18, 105, 17}, "재 부팅", &gbKinds),
      Radio_3(*this, "Radio_3", {226, 18, 105, 17}, "로그 오프", &gbKinds),
      Radio_4(*this, "Radio_4", {10, 38, 105, 17}, "볼륨 높임", &gbKinds),
      Radio_5(*this, "Radio_5", {118, 38, 105, 17}, "볼륨 줄임", &gbKinds),
      Radio_6(*this, "Radio_6", {226, 38, 105, 17}, "볼륨 음소거", &gbKinds),
      Radio_7(*this, "Radio_7", {10, 62, 110, 17}, "프로그램 종료", &gbKinds),
      Radio_8(*this, "Radio_8", {10, 86, 110, 17}, "프로그램 실행", &gbKinds),
      Radio_9(*this, "Radio_9", {10, 110, 110, 17}, "특정폴더 열기", &gbKinds),
      Radio_10(*this, "Radio_10", {10, 134, 110, 17}, "웹사이트 이동", &gbKinds),
      Radio_11(*this, "Radio_11", {10, 158, 110, 17}, "다이렉트 검색", &gbKinds),
      Radio_12(*this, "Radio_12", {10, 182, 110, 17}, "다중작업 실행", &gbKinds),
      Radio_13(*this, "Radio_13", {10, 206, 110, 17}, "키값자동 입력  ", &gbKinds),
      Radio_14(*this, "Radio_14", {10, 230, 110, 17}, "특정액션 실행", &gbKinds),
      txt_ExitFilename(*this, "txt_ExitFilename", {122, 60, 164, 21}, &gbKinds),
      txt_ExcuteFilename(*this, "txt_ExcuteFilename", {122, 84, 164, 21}, &gbKinds),
      txt_OpenDir(*this, "txt_OpenDir", {122, 108, 164, 21}, &gbKinds),
      txt_Urlselect(*this, "txt_Urlselect", {122, 132, 216, 21}, &gbKinds),
      txt_DirectUrl(*this, "txt_DirectUrl", {122, 156, 164, 21}, &gbKinds),
      txt_MultiJob(*this, "txt_MultiJob", {122, 180, 164, 21}, &gbKinds),
      txt_AutoKey(*this, "txt_AutoKey", {122, 204, 164, 21}, &gbKinds),
      txt_Action(*this, "txt_Action", {122, 228, 164, 21}, &gbKinds),
      bntExitfound(*this, "bntExitfound", {290, 60, 48, 21}, "찾기", &gbKinds),
      bntExcuteFind(*this, "bntExcuteFind", {290, 84, 48, 21}, "찾기", &gbKinds),
      bntSelForlder(*this, "bntSelForlder", {290, 108, 48, 21}, "찾기", &gbKinds),
      bntScriptFind(*this, "bntScriptFind", {290, 156, 48, 21}, "입력", &gbKinds),
      bntMultijop(*this, "bntMultijop", {290, 180, 48, 21}, "입력", &gbKinds),
      bntAutoKey(*this, "bntAutoKey", {290, 204, 48, 21}, "입력", &gbKinds),
      bntAction(*this, "bntAction", {290, 228, 48, 21}, "입력", &gbKinds),
      AMHK(*this),
      Doc(*this),
      TimerAction(10),
      kindButtons_{&Radio_1, &Radio_2, &Radio_3,  &Radio_4,  &Radio_5,  &Radio_6,  &Radio_7,
                   &Radio_8, &Radio_9, &Radio_10, &Radio_11, &Radio_12, &Radio_13, &Radio_14},
      infoBoxes_{&txt_ExitFilename, &txt_ExcuteFilename, &txt_OpenDir, &txt_Urlselect,
                 &txt_DirectUrl,    &txt_MultiJob,       &txt_AutoKey, &txt_Action} {
  frm_main = this;
  TimerAction.OnTimer = [this] { TimerActionTimer(); };
  BindEditor();
  FormCreate();
}

Tfrm_main::~Tfrm_main() {
  if (watchingPresses_) plat::StopWatchingNewPresses();
  if (frm_main == this) frm_main = nullptr;
}

void Tfrm_main::FormCreate() {
  Doc.Start();
  SwitchHotKeys(false);
  SwitchHotKeys(true);
  AMHK.OnHotKeys = [this](TAMHotKeys& sender, std::uint16_t index) { HotKeyPressed(sender, index); };
}

// However it is shown (the tray's item or its double click, Ctrl+Win+F1), the editor
// reads its list again and asks the document what is left to apply.
void Tfrm_main::FormShow() { Doc.Show(); }

void Tfrm_main::FormShown() { Doc.Shown(); }

void Tfrm_main::ClearWorkList() {
  WorkList.Clear();
  FillKeyNames(cmVK);
}

void Tfrm_main::RegisterAllHotKeys() {
  Doc.TakeAsApplied();
  RegisterAppliedRows();
}

void Tfrm_main::RegisterAppliedRows() {
  // One set at a time: items are tied to rows by position, so a second set over a working
  // one would run other entries and take the editor's key.
  UnregisterAllHotKeys();
  THotKeys& keys = AMHK.HotKeys();
  for (const std::vector<std::string>& row : Doc.Applied()) {
    const std::string& text = row[kColHotKey];
    const HotKeyParts parts = ParseHotKeyText(text);
    // An entry holding a reserved combination would take the editor's key: it stays
    // unregistered and is marked.
    const bool reserved = IsReservedHotKey(text);
    const bool active = row[kColActive] == "True";
    THotKeyItem& item = keys.Add();
    registeredIds_.push_back(row[kColId]);
    reservedItems_.push_back(reserved && active);
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
    item.SetEnabled(active && !reserved);
  }
  THotKeyItem& editor = keys.Add();
  editor.SetVirtKey(KeyNameIndex("F1"));
  editor.SetModifiers(ModBit(TModifier::modControl));
  editor.SetModifiers(static_cast<TModifiers>(editor.Modifiers() | ModBit(TModifier::modWin)));
  editor.SetEnabled(true);
  HoldPauseKey();
}

void Tfrm_main::UnregisterAllHotKeys() {
  THotKeys& keys = AMHK.HotKeys();
  pauseKey_ = nullptr;
  for (int i = keys.Count() - 1; i >= 0; --i) FreeHotKeyItem(keys.Item(i));
  registeredIds_.clear();
  reservedItems_.clear();
}

void Tfrm_main::ReleaseAllButPauseKey() {
  THotKeys& keys = AMHK.HotKeys();
  for (int i = keys.Count() - 1; i >= 0; --i)
    if (&keys.Item(i) != pauseKey_) FreeHotKeyItem(keys.Item(i));
  registeredIds_.clear();
  reservedItems_.clear();
}

void Tfrm_main::HoldPauseKey() {
  if (PauseKeyHeld()) return;
  // Refused before (another program held it): asked for again, as the last item.
  if (pauseKey_) FreeHotKeyItem(*pauseKey_);
  THotKeyItem& key = AMHK.HotKeys().Add();
  pauseKey_ = &key;
  key.SetVirtKey(KeyNameIndex("F2"));
  key.SetModifiers(static_cast<TModifiers>(ModBit(TModifier::modControl) | ModBit(TModifier::modWin)));
  // A switch: held a moment too long, a repeating key would pause and resume by turns.
  key.SetNoRepeat(true);
  key.SetEnabled(true);
  // Where the system repeats it anyway, it also says which presses are new.
  if (key.Registered()) {
    watchingPresses_ = plat::WatchNewPresses(plat::kModControl | plat::kModWin, kVkF2);
  } else if (watchingPresses_) {
    plat::StopWatchingNewPresses();
    watchingPresses_ = false;
  }
}

void Tfrm_main::Pause() {
  paused_ = true;
  cmVK.SetTakesCombinations(false);  // paused, Keyvane takes no key from anyone
  try {
    ReleaseAllButPauseKey();
    HoldPauseKey();
  } catch (...) {
  }
  MarkUnregisteredRows();
}

void Tfrm_main::Resume() {
  paused_ = false;
  cmVK.SetTakesCombinations(true);
  // The list last applied, not the one on screen now: edits not applied yet, or a list
  // read again from a file changed meanwhile, run only after 적용.
  try {
    RegisterAppliedRows();
  } catch (...) {
  }
  MarkUnregisteredRows();
}

void Tfrm_main::RegisterApplied() {
  if (!paused_) {
    SwitchHotKeys(false);
    SwitchHotKeys(true);
    return;
  }
  // The list saved is the one resuming registers.
  Doc.TakeAsApplied();
  try {
    HoldPauseKey();
  } catch (...) {
  }
  MarkUnregisteredRows();
}

bool Tfrm_main::SwitchHotKeys(bool registerAll) {
  bool ok = true;
  try {
    if (registerAll)
      RegisterAllHotKeys();
    else
      UnregisterAllHotKeys();
  } catch (...) {
    ok = false;
  }
  MarkUnregisteredRows();
  return ok;
}

std::vector<int> Tfrm_main::UnregisteredRows() const {
  std::vector<int> rows;
  THotKeys& keys = const_cast<TAMHotKeys&>(AMHK).HotKeys();
  const std::size_t items = std::min<std::size_t>(registeredIds_.size(), keys.Count());
  for (std::size_t i = 0; i < items; ++i) {
    // An item without a key never asks to be registered: nothing failed for it.
    const THotKeyItem& item = keys.Item(static_cast<int>(i));
    const bool failed = item.Enabled() && !item.Registered() && item.VirtKey() != vkNone;
    if (!failed && !reservedItems_[i]) continue;
    const int row = RowOfRegisteredEntry(i, nullptr);
    if (row >= 0) rows.push_back(row);
  }
  return rows;
}

void Tfrm_main::MarkUnregisteredRows() {
  std::vector<int> images(WorkList.RowCount(), kImageEntry);
  // The registrations of another file's list say nothing about this one's rows.
  if (Doc.FromAppliedFile())
    for (int row : UnregisteredRows()) images[row] = kImageUnregistered;
  for (int row = 0; row < WorkList.RowCount(); ++row)
    if (WorkList.RowImage(row) != images[row]) WorkList.SetRowImage(row, images[row]);
}

void Tfrm_main::HotKeyPressed(TAMHotKeys&, std::uint16_t hotKeyIndex) {
  const std::size_t index = hotKeyIndex;
  // The pause key is the last item, and the only one while paused.
  if (pauseKey_ && pauseKey_->Index() == hotKeyIndex) {
    PauseKeyPressed();
    return;
  }
  if (index == registeredIds_.size()) {
    Show();
    return;
  }
  if (index > registeredIds_.size()) return;
  // Within one file a press finds its entry in the list on screen, edits included; after
  // 열기 of another file, until 적용, in the list its registration was made from.
  const EntryRows* applied = Doc.FromAppliedFile() ? nullptr : &Doc.Applied();
  const int row = RowOfRegisteredEntry(index, applied);
  if (row < 0) return;  // deleted since it was registered
  // Copies: the action may pump messages, and a later event may change the list meanwhile.
  const std::vector<std::string>& cells = applied ? (*applied)[row] : WorkList.Row(row);
  const std::string id = cells[kColId], kind = cells[kColKind], info = cells[kColInfo],
                    description = cells[kColDescription];
  ExecuteEntryAction(id, kind, info, description);
}

void Tfrm_main::PauseKeyPressed() {
  // A repeat of a held key: F2 has not been up since the press that was counted last.
  // Where the system cannot tell, it keeps the key from repeating.
  if (watchingPresses_ && !plat::TakeNewPress()) return;
  if (OnPauseKey)
    OnPauseKey();
  else if (paused_)
    Resume();
  else
    Pause();
}

int Tfrm_main::RowOfRegisteredEntry(std::size_t itemIndex, const EntryRows* rows) const {
  const std::string& id = registeredIds_[itemIndex];
  // Without rows: the list on screen.
  const int count = rows ? static_cast<int>(rows->size()) : WorkList.RowCount();
  const auto idAt = [&](int row) -> const std::string& { return rows ? (*rows)[row][kColId] : WorkList.Cell(row, kColId); };
  // The registered position first: a list with duplicate IDs then still runs each row's own.
  const int position = static_cast<int>(itemIndex);
  if (position < count && idAt(position) == id) return position;
  for (int row = 0; row < count; ++row)
    if (idAt(row) == id) return row;
  return -1;
}

int Tfrm_main::RowOfEntry(const std::string& id) const {
  for (int row = 0; row < WorkList.RowCount(); ++row)
    if (WorkList.Cell(row, kColId) == id) return row;
  return -1;
}

std::optional<HotkeyEntry> Tfrm_main::EntryToRun(const std::string& id) const {
  if (Doc.FromAppliedFile()) {
    const int row = RowOfEntry(id);
    if (row < 0) return std::nullopt;
    return EntryOfRow(WorkList, row);
  }
  for (const std::vector<std::string>& r : Doc.Applied())
    if (r[kColId] == id) return HotkeyEntry{r[0], r[1], r[2], r[3], r[4], r[5]};
  return std::nullopt;
}

bool Tfrm_main::MayEndProgram() {
  // A hidden editor reads its list again when shown: nothing of it is pending.
  if (!Visible() || !Doc.Modified()) return true;
  bool canClose = true;
  FormCloseQuery(canClose);
  return canClose;
}

void Tfrm_main::FormCloseQuery(bool& canClose) { canClose = Doc.MayDrop(); }

}  // namespace kv
