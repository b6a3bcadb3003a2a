#include "tray/frmTray.h"

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/msgloop.h"

namespace kv {

Tfrm_Tray::Tfrm_Tray() : plat::Form("Keyvane", plat::FormStyle::HiddenHost, 0, 0) {
  Handle();
  SetAutoStart(ReadStartUp() != 0);
}

void Tfrm_Tray::FormClose() {
  if (Editor) Editor->SwitchHotKeys(false);
  plat::QuitMessageLoop(0);
}

}  // namespace kv
