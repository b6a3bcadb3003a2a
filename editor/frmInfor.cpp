#include "editor/frmInfor.h"

#include "platform/files.h"
#include "platform/shell.h"

namespace kv {

const char* const kHomePage = "keyvane.example.org";

void OpenWebLink(const std::string& address) { plat::ShellOpen("iexplore", true, address); }

void OpenHomePage() { OpenWebLink(kHomePage); }

void OpenQnaBoard() { OpenWebLink(std::string(kHomePage) + "/zeroboard/zboard.php?id=freeboard"); }

void OpenHelp(plat::Form* owner) {
  plat::ShellExecuteVerb(owner, "Open", plat::ProgramFolder() + "Readme.txt", "", plat::kSwShow);
}

Tfrm_Infor::Tfrm_Infor()
    : plat::Form("키베인 정보", plat::FormStyle::FixedDialog, 376, 178),
      Image1(*this, "Image1", {24, 16, 32, 32}, plat::Icon::Program),
      Label1(*this, "Label1", {80, 16, 120, 13}, "키베인 v1.5"),
      Label4(*this, "Label4", {23, 80, 345, 13}, "프로그램에 대한 문의나, 좀 더 개선해야 할 점은 아래의 "),
      Label5(*this, "Label5", {23, 96, 345, 13}, "개발사 사이트를 이용 하십시오"),
      // Three pixels above its old place, so its text ends before the link below begins.
      Label7(*this, "Label7", {24, 127, 60, 12}, "루메노"),
      Label6(*this, "Label6", {24, 140, 200, 13}, kHomePage),
      Button1(*this, "Button1", {288, 144, 71, 23}, "확인") {
  SetFont({"굴림", 9});
  Label1.SetBold(true);
  plat::Font link{"Tahoma", 8};
  link.bold = true;
  link.underline = true;
  link.color = plat::kColorNavy;
  Label6.SetFont(link);
  Label6.SetHandCursor(true);
  Label6.OnClick = [this] { Label6Click(); };
  Button1.SetDefault(true);
  Button1.SetCancel(true);
  Button1.SetModalResult(plat::kMrOk);
}

void Tfrm_Infor::Label6Click() { OpenHomePage(); }

}  // namespace kv
