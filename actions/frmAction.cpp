#include "actions/frmAction.h"

namespace kv {

Tfrm_Action::Tfrm_Action() : plat::Form("특정액션 선택", plat::FormStyle::FixedDialog, 300, 360) {}

}  // namespace kv
