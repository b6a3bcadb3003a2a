#pragma once
// Tfrm_Action: the picker of the built-in window and mouse actions, created hidden at start.
#include "platform/controls.h"

namespace kv {

class Tfrm_Action : public plat::Form {
 public:
  Tfrm_Action();
};

}  // namespace kv
