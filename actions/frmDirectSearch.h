#pragma once
// Tfrm_DirectSearch: the picker of a direct-search entry's site, from "Config.ini".
#include "platform/controls.h"

namespace kv {

class Tfrm_DirectSearch : public plat::Form {
 public:
  // target: the box the chosen "description;address" is written into on OK.
  explicit Tfrm_DirectSearch(plat::Edit& target);

  plat::Label Label1;
  plat::Label Label2;
  plat::ListView Listall;
  plat::Label Label3;
  plat::Label lbl_info;
  plat::Label Label4;
  plat::Label lbl_site;
  plat::Label Label5;
  plat::Button bntok;
  plat::Button bntCancel;

  void ListallSelectItem(int row, bool selected);
  void bntokClick();

 protected:
  // The sites are read at every opening, so the options' latest list shows.
  void FormShow() override;

 private:
  void ShowChosen(int row);

  plat::Edit& target_;
  int chosen_ = -1;  // the row the labels show, or -1
};

}  // namespace kv
