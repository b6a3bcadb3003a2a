#include "actions/frmAction.h"

namespace kv {

Tfrm_Action::Tfrm_Action(plat::Edit* target)
    : plat::Form("액션 실행", plat::FormStyle::FixedDialog, 521, 355), target_(target) {}

}  // namespace kv
