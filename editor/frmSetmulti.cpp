#include "editor/frmSetmulti.h"

namespace kv {

Tfrm_Setmulti::Tfrm_Setmulti(const plat::ListView&, plat::Edit& target)
    : plat::Form("다중 작업 설정", plat::FormStyle::FixedDialog, 499, 378), target_(target) {}

}  // namespace kv
