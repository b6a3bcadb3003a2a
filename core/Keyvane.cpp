#include "core/Keyvane.h"

#include "actions/frmAction.h"
#include "core/ClassProcessUnique.h"
#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/dialogs.h"
#include "platform/msgloop.h"
#include "platform/shell.h"
#include "tray/frmTray.h"

namespace kv {

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  if (args.empty()) return line;
  const std::string& a = args[0];
  const std::string word = a.size() > 1 && (a[0] == '/' || a[0] == '-') ? LowerAscii(a.substr(1)) : std::string();
  if (word == "uninstall")
    line.task = CommandLine::Task::Uninstall;
  else if (word == "startup=1" || word == "startup=0" || word == "startup") {
    line.task = CommandLine::Task::StartUp;
    line.fromConfig = word == "startup";
    line.startUp = word.back() == '1';
  } else {
    line.task = CommandLine::Task::Invalid;
    line.bad = a;
    return line;
  }
  // One switch at a time.
  if (args.size() > 1) {
    line.task = CommandLine::Task::Invalid;
    line.bad = args[1];
  }
  return line;
}

int KeyvaneMain(const std::vector<std::string>& args) {
  const CommandLine line = ParseCommandLine(args);
  switch (line.task) {
    case CommandLine::Task::Run:
      break;
    case CommandLine::Task::Uninstall:
      TProcessUnique().KillOtherCopies();
      SetAutoStart(false);
      return 0;
    case CommandLine::Task::StartUp:
      if (line.fromConfig) return SetAutoStart(ReadStartUp() != 0) ? 0 : 1;
      // The same writes as 옵션's 확인, so 옵션 then shows the box as it was set here.
      return WriteStartUp(line.startUp) ? 0 : 1;
    case CommandLine::Task::Invalid:
      plat::ShowErrorBox("알 수 없는 명령줄 인수입니다: " + line.bad +
                         "\n\n쓸 수 있는 것: /startup=1, /startup=0, /startup, /uninstall");
      return 1;
  }
  plat::InitializeShell();
  // Before any window exists, so the old copy's hotkeys are free when ours register.
  TProcessUnique().KillOtherCopies();
  Tfrm_Tray tray;
  Tfrm_main editor;
  tray.Attach(editor);
  Tfrm_Action action;
  return plat::RunMessageLoop();
}

}  // namespace kv
