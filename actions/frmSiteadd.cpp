#include "actions/frmSiteadd.h"

#include "editor/frmOption.h"
#include "platform/dialogs.h"

namespace kv {

namespace {
const char* const kCaption = "알림말";

// Blanks and control characters at the ends are dropped when the site is read back from
// "Config.ini": the row shows the text as it will come back.
std::string Trimmed(const std::string& text) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return text.substr(b, e - b);
}

// "Config.ini" keeps a site as description,address and a direct-search entry as
// description;address; a quote mark keeps the separators after it inside the text, and a
// line break ends the line. Any of them would cut or lose the site when it is read back.
bool HasBreakingMark(const std::string& text) {
  for (char c : text)
    if (c == ',' || c == ';' || c == '\'' || c == '"' || c == '\r' || c == '\n') return true;
  return false;
}
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
  const std::string info = Trimmed(txt_info.Text()), site = Trimmed(txt_site.Text());
  if (info.empty() || site.empty()) {
    plat::MessageBox("[검색 설명] [사이트 주소] 는 필수 항목입니다", kCaption, plat::kMbOk | plat::kMbIconInformation,
                     this);
    return;
  }
  if (HasBreakingMark(info) || HasBreakingMark(site)) {
    plat::MessageBox("[검색 설명] 과 [사이트 주소] 에는 쉼표(,), 세미콜론(;), 따옴표(' \")와 줄바꿈을 쓸 수 없습니다",
                     kCaption, plat::kMbOk | plat::kMbIconInformation, this);
    return;
  }
  options_.AddSiteRow(info, site);
  txt_info.SetText("");
  txt_site.SetText("");
  SetModalResult(plat::kMrOk);
}

}  // namespace kv
