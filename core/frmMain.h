#pragma once
// Tfrm_main: the editor window. It owns the hotkey list (WorkList), the hotkey component
// and the current work file, registers the list's hotkeys and dispatches their presses.
#include <cstdint>
#include <string>
#include <vector>

#include "hotkeys/AMHotKey.h"
#include "platform/controls.h"

namespace kv {

class Tfrm_main : public plat::Form {
 public:
  // Creates the window hidden, loads the last work file and registers its hotkeys.
  Tfrm_main();
  ~Tfrm_main() override;

  plat::ListView WorkList;
  plat::CheckBox cbShift, cbControl, cbAlt, cbWin;
  plat::ComboBox cmVK;
  TAMHotKeys AMHK;

  std::string WorkFilePath;
  bool Modified = false;
  bool ApplyEnabled = true;  // the state of the Apply button
  // Set while the list holds only the first part of this file because its load stopped
  // before the last byte (a line that could not be read, or a NUL); the next save of that
  // file keeps the original beside it first.
  std::string IncompleteLoadPath;

  void ClearWorkList();
  void RegisterAllHotKeys();
  void UnregisterAllHotKeys();
  // Builds (true) or releases (false) every registration; false when something failed.
  bool SwitchHotKeys(bool registerAll);
  // An item runs the entry it was registered for: the row at its position while that row
  // still holds the entry's ID, otherwise the first row with that ID, otherwise nothing.
  // The item after the rows' items shows the editor, whatever the list holds now.
  void HotKeyPressed(TAMHotKeys& sender, std::uint16_t hotKeyIndex);
  void SetModified();
  // Rebuilds the selected row's hotkey from the modifier boxes and the key list.
  void UpdateHotKey();

  // "파일" menu: open another work file; save the list under another name.
  void N2Click();
  void S1Click();

  // A built-in action waits in PendingAction (the latest start wins) until the one-shot
  // TimerAction fires 10 ms after the first start; TimerActionTimer performs it.
  std::string PendingAction;
  plat::Timer TimerAction;
  void StartBuiltinAction(const std::string& name);
  void TimerActionTimer();

 protected:
  void FormShow() override;
  void FormCloseQuery(bool& canClose) override;

 private:
  void FormCreate();
  void LoadLastWorkFile();
  int RowOfRegisteredEntry(std::size_t itemIndex) const;

  // The ID of the entry behind each item of AMHK, in item order; the editor's item follows.
  std::vector<std::string> registeredIds_;
  // Set while the closing question is up, so a second close cannot ask it again.
  bool closeQuestionOpen_ = false;
};

// The editor window while it exists; actions that need it reach it here.
extern Tfrm_main* frm_main;

}  // namespace kv
