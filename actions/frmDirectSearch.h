#pragma once
// Tfrm_DirectSearch: the picker of a direct-search entry's site, from "Config.ini".
#include "platform/controls.h"

namespace kv {

class Tfrm_DirectSearch : public plat::Form {
 public:
  // target: the box the chosen "description;address" is written into on OK.
  explicit Tfrm_DirectSearch(plat::Edit& target);

 private:
  plat::Edit& target_;
};

}  // namespace kv
