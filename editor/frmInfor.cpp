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

Tfrm_Infor::Tfrm_Infor() : plat::Form("키베인 정보", plat::FormStyle::FixedDialog, 376, 178) {}

}  // namespace kv
