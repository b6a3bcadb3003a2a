#include "actions/frmDirectSearch.h"

namespace kv {

Tfrm_DirectSearch::Tfrm_DirectSearch(plat::Edit& target)
    : plat::Form("다이렉트 검색", plat::FormStyle::FixedDialog, 467, 316), target_(target) {}

}  // namespace kv
