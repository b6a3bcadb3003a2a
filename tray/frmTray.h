#pragma once
// Tfrm_Tray: the hidden main window. The program ends when it closes.
#include "platform/controls.h"

namespace kv {

class Tfrm_main;

class Tfrm_Tray : public plat::Form {
 public:
  // Keeps the program off the taskbar and brings the Run value in line with "Config.ini".
  Tfrm_Tray();
  // The editor whose hotkeys are released when the program ends.
  Tfrm_main* Editor = nullptr;

 protected:
  void FormClose() override;
};

}  // namespace kv
