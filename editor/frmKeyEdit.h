#pragma once
// Tfrm_KeyEdit: edits a key-sequence string in a memo with the special keys at hand.
#include "platform/controls.h"

namespace kv {

class Tfrm_KeyEdit : public plat::Form {
 public:
  // Starts with the target's text; OK writes the sequence into the target.
  explicit Tfrm_KeyEdit(plat::Edit& target);

 private:
  plat::Edit& target_;
};

}  // namespace kv
