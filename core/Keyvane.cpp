#include "core/Keyvane.h"

#include "actions/frmAction.h"
#include "core/ClassProcessUnique.h"
#include "core/frmMain.h"
#include "platform/msgloop.h"
#include "platform/shell.h"
#include "tray/frmTray.h"

namespace kv {

int KeyvaneMain() {
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
