#pragma once
// Tfrm_Option: the settings of "Config.ini" (start with Windows, new browser window, the
// direct-search sites). Nothing reaches the file before OK.
#include <string>

#include "platform/controls.h"

namespace kv {

class Tfrm_Option : public plat::Form {
 public:
  Tfrm_Option();

  plat::PageControl PageControl1;
  plat::TabSheet TabSheet1;
  plat::TabSheet TabSheet2;
  plat::GroupBox GroupBox1;
  plat::CheckBox Check_WinRun;
  plat::CheckBox Check_NewWindow;
  plat::Label Label1;
  plat::Label Label2;
  plat::ListView Listall;
  plat::Button bnt_add;
  plat::Button bnt_del;
  plat::Button bntok;
  plat::Button bntCancel;

  // Fills the controls from "Config.ini".
  void LoadOptions();
  // Writes the controls to "Config.ini" and sets the Run value first. False (error box
  // shown, the file untouched) when the Run value could not be written.
  bool SaveOptions();
  // A site holding a character a CP949 "Config.ini" cannot spell: the user chooses UTF-16
  // for the file from now on, or takes the character out. False when cancelled.
  bool FitSettingsFile();
  void AddSiteRow(const std::string& description, const std::string& address);

  void bntokClick();
  void bnt_addClick();
  void bnt_delClick();

 protected:
  void FormShow() override;
};

}  // namespace kv
