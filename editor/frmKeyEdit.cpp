#include "editor/frmKeyEdit.h"

namespace kv {

Tfrm_KeyEdit::Tfrm_KeyEdit(plat::Edit& target)
    : plat::Form("키값 자동 입력", plat::FormStyle::FixedDialog, 398, 269), target_(target) {}

}  // namespace kv
