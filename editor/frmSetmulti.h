#pragma once
// Tfrm_Setmulti: composes a multi-job string from the entries of the list.
#include "platform/controls.h"

namespace kv {

class Tfrm_Setmulti : public plat::Form {
 public:
  // Filled from the entries (description, ID) and the target's multi-job string; OK writes
  // the new string into the target.
  Tfrm_Setmulti(const plat::ListView& entries, plat::Edit& target);

 private:
  plat::Edit& target_;
};

}  // namespace kv
