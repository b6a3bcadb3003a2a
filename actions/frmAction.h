#pragma once
// Tfrm_Action: the picker of the built-in window and mouse actions. One hidden copy is made
// at start; the editor makes a new one each time its button opens the picker.
#include "platform/controls.h"

namespace kv {

class Tfrm_Action : public plat::Form {
 public:
  // target: the box the chosen action's name is written into on OK (nullptr: none).
  explicit Tfrm_Action(plat::Edit* target = nullptr);

 private:
  plat::Edit* target_;
};

}  // namespace kv
