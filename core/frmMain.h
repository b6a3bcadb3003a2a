#pragma once
// Tfrm_main: the editor window. It owns the hotkey list (WorkList), the hotkey component
// and the current work file, registers the list's hotkeys and dispatches their presses.
// The lower half edits the selected row in place: every change of a field is written into
// that row at once; the list reaches the work file and the registrations only at Apply.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/UnitFunction.h"
#include "core/WorkDocument.h"
#include "hotkeys/AMHotKey.h"
#include "platform/controls.h"
#include "platform/textfile.h"

namespace kv {

// The fields of the selected row the editing area writes.
enum class EditField { Description, HotKey, Active, Kind, Info };

class Tfrm_main : public plat::Form {
 public:
  static constexpr int kKinds = 14;
  static constexpr int kFirstInfoKind = 7;  // kinds 7 to 14 have an info box
  // Row images: the list's icons.
  static constexpr int kImageEntry = 0, kImageUnregistered = 1;

  // Creates the window hidden, loads the last work file and registers its hotkeys.
  Tfrm_main();
  ~Tfrm_main() override;

  // Title strip.
  plat::Panel Panel1;
  plat::Label lblTitle, lbl_Compile;
  plat::ListView WorkList;
  // Editing area.
  plat::Panel pnlEdit, pnlButtons;
  plat::Button bntNew, bntDelete, bnt_Apply;
  plat::GroupBox gbBasic;
  plat::Label lblSubject, lblId, lblHotKey, lblActive;
  plat::Edit txt_subject;
  plat::Panel pnlId;
  plat::CheckBox cbShift, cbControl, cbAlt, cbWin;
  plat::ComboBox cmVK;
  plat::CheckBox CheckActive;
  plat::GroupBox gbKinds;
  plat::RadioButton Radio_1, Radio_2, Radio_3, Radio_4, Radio_5, Radio_6, Radio_7, Radio_8, Radio_9, Radio_10, Radio_11,
      Radio_12, Radio_13, Radio_14;
  plat::Edit txt_ExitFilename, txt_ExcuteFilename, txt_OpenDir, txt_Urlselect, txt_DirectUrl, txt_MultiJob, txt_AutoKey,
      txt_Action;
  plat::Button bntExitfound, bntExcuteFind, bntSelForlder, bntScriptFind, bntMultijop, bntAutoKey, bntAction;
  // The list's right-click menu.
  plat::MenuItem PopupMenu;

 private:
  // Declared here so the menus and the tab order are set before AMHK makes the window,
  // which is then created with its menu bar and its controls in tab order.
  bool menusBuilt_ = (BuildMenus(), ArrangeTabOrder(), true);

 public:
  TAMHotKeys AMHK;

  // The list, its work file and what the hotkeys run: every rule about them lives there.
  TWorkDocument Doc;
  // From a start-up whose list holds only part of its file until the editor has been shown
  // (and said so): the tray's hint says it meanwhile.
  bool ListIncompleteUntold() const { return Doc.IncompleteUntold(); }
  // Runs when ListIncompleteUntold changes.
  std::function<void()> OnListNoticeChange;

  // Kind button n (1..14), and the info box of kind n (nullptr for kinds 1 to 6).
  plat::RadioButton& KindButton(int kind) { return *kindButtons_[kind - 1]; }
  plat::Edit* InfoBox(int kind) { return kind >= kFirstInfoKind ? infoBoxes_[kind - kFirstInfoKind] : nullptr; }

  // The first row of the list with that ID; -1 when none has it.
  int RowOfEntry(const std::string& id) const;
  // The entry with that ID that a press runs: the list on screen's first, or the applied
  // list's while the list on screen came from another file.
  std::optional<HotkeyEntry> EntryToRun(const std::string& id) const;

  void ClearWorkList();
  // Takes the list as the applied one and registers it: the rows' items, the editor's key
  // (Ctrl+Win+F1), then the pause key (Ctrl+Win+F2).
  void RegisterAllHotKeys();
  // Frees every item, the pause key's included.
  void UnregisterAllHotKeys();
  // Builds (true) or releases (false) every registration; false when something failed.
  // A rebuild marks the rows whose hotkey could not be registered.
  bool SwitchHotKeys(bool registerAll);

  // Paused, every registration but the pause key's is released, so that key resumes; an
  // Apply saves the list without registering it. Resuming registers the list again.
  bool Paused() const { return paused_; }
  void Pause();
  void Resume();
  // Ctrl+Win+F2 is registered (another program may hold it).
  bool PauseKeyHeld() const { return pauseKey_ && pauseKey_->Registered(); }
  // Raised by a press of the pause key; without a handler the editor pauses or resumes itself.
  // Held down, the key repeats where the system does not keep it from doing so: only a press
  // that followed a key-up of F2 switches, as the system tells them apart.
  std::function<void()> OnPauseKey;
  // After the list was saved by Apply or the closing question's Yes: registers it again,
  // or while paused only takes the pause key again when it is not held.
  void RegisterApplied();
  // The rows of active entries with a key whose registration failed at the last rebuild.
  std::vector<int> UnregisteredRows() const;
  // An item runs the entry it was registered for: the row at its position while that row
  // still holds the entry's ID, otherwise the first row with that ID, otherwise nothing.
  // The item after the rows' items shows the editor, whatever the list holds now.
  void HotKeyPressed(TAMHotKeys& sender, std::uint16_t hotKeyIndex);
  // The user's input: the list counts as changed.
  void SetModified();

  // Editing.
  void WriteEditField(EditField field);
  void ClearEditFields();
  void ShowSelectedEntry();
  // After a save changed the cells (to what the file reads back as, or without characters
  // CP949 cannot spell): the selected row (before: its cells until then) shows in the fields.
  void ShowSavedRow(int row, const std::vector<std::string>& before);
  // The modifier boxes and the key show the row's hotkey as it stands.
  void ShowRowHotKey(int row);
  void ResetKindFonts();
  void New();
  void Delete();
  // False when the list could not be saved: then nothing else changed.
  bool Apply();

  // Handlers, by the names the window binds.
  void WorkListSelectItem(int row, bool selected);
  void WorkListKeyDown(int& vk);
  void txt_subjectChange();
  void txt_subjectKeyPress(int& key);
  void cbShiftClick();
  void cbControlClick();
  void cbAltClick();
  void cbWinClick();
  void cbShiftMouseDown();
  void cbControlMouseDown();
  void cbAltMouseDown();
  void cbWinMouseDown();
  void cmVKChange();
  void cmVKClick();
  // A combination pressed into the key list: the boxes and the key as if clicked, one check.
  void cmVKCombination(unsigned modifiers, int vk);
  void CheckActiveClick();
  void CheckActiveMouseDown();
  void Radio_1Click();
  void Radio_2Click();
  void Radio_3Click();
  void Radio_4Click();
  void Radio_5Click();
  void Radio_6Click();
  void Radio_7Click();
  void Radio_8Click();
  void Radio_9Click();
  void Radio_10Click();
  void Radio_11Click();
  void Radio_12Click();
  void Radio_13Click();
  void Radio_14Click();
  void Radio_1MouseDown();
  void Radio_2MouseDown();
  void Radio_3MouseDown();
  void Radio_4MouseDown();
  void Radio_5MouseDown();
  void Radio_6MouseDown();
  void Radio_7MouseDown();
  void Radio_8MouseDown();
  void Radio_9MouseDown();
  void Radio_10MouseDown();
  void Radio_11MouseDown();
  void Radio_12MouseDown();
  void Radio_13MouseDown();  // also Radio_14's
  void txt_ExitFilenameChange();
  void txt_ExcuteFilenameChange();
  void txt_OpenDirChange();
  void txt_UrlselectChange();
  void txt_DirectUrlChange();
  void txt_MultiJobChange();
  void txt_AutoKeyChange();
  void txt_ActionChange();
  void txt_ExitFilenameKeyDown(int& vk);
  void txt_ExcuteFilenameKeyDown(int& vk);
  void txt_OpenDirKeyDown(int& vk);
  void txt_UrlselectKeyDown(int& vk);
  void txt_DirectUrlKeyDown(int& vk);
  void txt_MultiJobKeyDown(int& vk);
  void txt_AutoKeyKeyDown(int& vk);
  void txt_ActionKeyDown(int& vk);
  void bntNewClick();
  void bntDeleteClick();
  void bnt_ApplyClick();
  void bntExitfoundClick();
  void bntExcuteFindClick();
  void bntSelForlderClick();
  void bntScriptFindClick();
  void bntMultijopClick();
  void bntAutoKeyClick();
  void bntActionClick();
  void lbl_CompileClick();

  // Main menu.
  void N2Click();      // 파일 - 열기
  void S1Click();      // 파일 - 다른 이름으로 저장
  void p1Click();      // 파일 - 인쇄
  void whdfy1Click();  // 파일 - 종료
  void N6Click();      // 편집 - 새 등록
  void d1Click();      // 편집 - 현재 항목 삭제
  void E1Click();      // 편집 - 옵션
  void N9Click();      // 도움말 - 도움말 (F1)
  void N10Click();     // 도움말 - 프로그램 정보
  void N12Click();     // 도움말 - 홈페이지 방문
  void N13Click();     // 도움말 - 질문/답변 게시판
  // Popup "창 닫기..": closes the editor like its close box.
  void CloseWindowClick();

  // A built-in action waits in PendingAction (the latest start wins) until the one-shot
  // TimerAction fires 10 ms after the first start; TimerActionTimer performs it.
  std::string PendingAction;
  plat::Timer TimerAction;
  void StartBuiltinAction(const std::string& name);
  void TimerActionTimer();

  // Before the program ends: an editor on screen with changes not yet applied asks its
  // closing question. False when the user chose to stay (or the changes could not be saved).
  bool MayEndProgram();
  // Marks the rows whose hotkey could not be registered (none while the list on screen
  // came from another file than the registrations).
  void MarkUnregisteredRows();

 protected:
  void FormShow() override;
  void FormShown() override;
  void FormCloseQuery(bool& canClose) override;

 private:
  void FormCreate();
  void BindEditor();
  void BuildMenus();
  void ArrangeTabOrder();
  // The row of the entry behind an item in rows (nullptr: the list on screen); -1.
  int RowOfRegisteredEntry(std::size_t itemIndex, const EntryRows* rows) const;
  // Registers the document's applied list (see RegisterAllHotKeys).
  void RegisterAppliedRows();
  void PauseKeyPressed();
  // Frees the rows' items and the editor's key, keeping the pause key.
  void ReleaseAllButPauseKey();
  // Adds the pause key's item last unless it is registered already.
  void HoldPauseKey();
  int CheckedKind() const;
  void KindClick(int kind);
  void InfoChange(int kind);
  void InfoKeyDown(int& vk);
  void ConfirmInfo(const plat::Edit& box);
  void FindFile(plat::Edit& box, bool nameOnly);

  std::array<plat::RadioButton*, kKinds> kindButtons_;
  std::array<plat::Edit*, kKinds - kFirstInfoKind + 1> infoBoxes_;
  // Ctrl+Win+F2's item in AMHK, or nullptr.
  THotKeyItem* pauseKey_ = nullptr;
  bool paused_ = false;
  // The system counts the pause key's new presses (WatchNewPresses).
  bool watchingPresses_ = false;
  // The ID of the entry behind each item of AMHK, in item order; the editor's item follows.
  std::vector<std::string> registeredIds_;
  // Per item: an active entry whose reserved combination was kept from registering.
  std::vector<bool> reservedItems_;
  // While the program sets the boxes itself (ClearEditFields, a pressed combination), the
  // change handlers they set off write nothing to the list.
  bool settingFields_ = false;
  // While ShowSelectedEntry loads a row, its hotkey writes carry that row's own text.
  bool showingEntry_ = false;
};

// The editor window while it exists; actions that need it reach it here.
extern Tfrm_main* frm_main;

}  // namespace kv
