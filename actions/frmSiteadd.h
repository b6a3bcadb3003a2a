#pragma once
// Tfrm_Siteadd: adds a direct-search site to the options window's list.
#include "platform/controls.h"

namespace kv {

class Tfrm_Option;

class Tfrm_Siteadd : public plat::Form {
 public:
  explicit Tfrm_Siteadd(Tfrm_Option& options);

  plat::Label Label1;
  plat::Label Label2;
  plat::Label Label3;
  plat::Edit txt_info;
  plat::Label Label4;
  plat::Edit txt_site;
  plat::Button bntok;
  plat::Button bntCancel;

  void bntokClick();

 private:
  Tfrm_Option& options_;
};

}  // namespace kv
