#include "actions/frmSiteadd.h"

#include "editor/frmOption.h"
#include "platform/dialogs.h"

namespace kv {

namespace {
const char* const kCaption = "알림말";

// Blanks alone would be trimmed to nothing when the site is read back, and the site lost.
bool Blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }
}  // namespace

Tfrm_Siteadd::Tfrm_Siteadd(Tfrm_Option& options)
    : plat::Form("사이트 추가", plat::FormStyle::FixedDialog, 367, 152),
      Label1(*this, "Label1", {8, 8, 350, 13}, "다이렉트 검색할 사이트를 추가합니다."),
      Label2(*this, "Label2", {8, 26, 350, 13}, "사이트 주소에는 쿼리부분의 주소만 입력합니다."),
      Label3(*this, "Label3", {8, 56, 84, 13}, "검색 설명   :"),
      txt_info(*this, "txt_info", {94, 52, 265, 21}),
      Label4(*this, "Label4", {8, 84, 84, 13}, "사이트 주소 :"),
      txt_site(*this, "txt_site", {94, 80, 265, 21}),
      bntok(*this, "bntok", {202, 118, 75, 25}, "확인(&O)"),
      bntCancel(*this, "bntCancel", {284, 118, 75, 25}, "취소(&C)"),
      options_(options) {
  SetFont({"굴림", 9});
  // No modal result of its own: a refused text keeps the dialog open.
  bntok.OnClick = [this] { bntokClick(); };
  bntok.SetDefault(true);
  bntCancel.SetCancel(true);
  bntCancel.SetModalResult(plat::kMrCancel);
}

void Tfrm_Siteadd::bntokClick() {
  const std::string info = txt_info.Text(), site = txt_site.Text();
  if (Blank(info) || Blank(site)) {
    plat::MessageBox("[검색 설명] [사이트 주소] 는 필수 항목입니다", kCaption, plat::kMbOk | plat::kMbIconInformation,
                     this);
    return;
  }
  // "Config.ini" keeps a site as description,address, and a direct-search entry as
  // description;address: either mark would cut the site when it is read back.
  if (info.find_first_of(",;") != std::string::npos || site.find_first_of(",;") != std::string::npos) {
    plat::MessageBox("[검색 설명] 과 [사이트 주소] 에는 쉼표(,)와 세미콜론(;)을 쓸 수 없습니다", kCaption,
                     plat::kMbOk | plat::kMbIconInformation, this);
    return;
  }
  options_.AddSiteRow(info, site);
  txt_info.SetText("");
  txt_site.SetText("");
  SetModalResult(plat::kMrOk);
}

}  // namespace kv
