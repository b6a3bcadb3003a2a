#pragma once
// Tfrm_Action: the picker of the built-in window and mouse actions. One hidden copy is made
// at start; the editor makes a new one each time its button opens the picker.
#include "platform/controls.h"

namespace kv {

class Tfrm_Action : public plat::Form {
 public:
  // target: the box the chosen action's name is written into on OK (nullptr: none).
  explicit Tfrm_Action(plat::Edit* target = nullptr);

  plat::Label Label1;
  plat::Label Label2;
  plat::ListView Listall;
  plat::Label Label3;
  plat::Label lbl_info;
  plat::Button bntok;
  plat::Button bntCancel;

  void ListallSelectItem(int row, bool selected);
  void bntokClick();

 private:
  plat::Edit* target_;
  int chosen_ = -1;  // the row lbl_info names, or -1
};

}  // namespace kv
