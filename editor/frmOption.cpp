#include "editor/frmOption.h"

#include <vector>

#include "actions/frmSiteadd.h"
#include "core/UnitFunction.h"
#include "platform/dialogs.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace kv {

Tfrm_Option::Tfrm_Option()
    : plat::Form("옵션", plat::FormStyle::FixedDialog, 488, 358),
      PageControl1(*this, "PageControl1", {8, 8, 472, 306}),
      TabSheet1(PageControl1, "TabSheet1", "기본 설정"),
      TabSheet2(PageControl1, "TabSheet2", "다이렉트 이동 편집"),
      GroupBox1(*this, "GroupBox1", {8, 8, 448, 76}, "기본 설정", &TabSheet1),
      Check_WinRun(*this, "Check_WinRun", {16, 22, 300, 17}, "윈도우 시작시 실행", &GroupBox1),
      Check_NewWindow(*this, "Check_NewWindow", {16, 46, 300, 17}, "웹사이트 이동시 새 창에서 열기", &GroupBox1),
      Label1(*this, "Label1", {8, 252, 100, 13}, "루메노", &TabSheet1),
      Label2(*this, "Label2", {8, 8, 440, 13}, "다이렉트 검색할 사이트를 편집합니다", &TabSheet2),
      Listall(*this, "Listall", {8, 26, 448, 206}, {{"검색 설명", 150}, {"사이트 주소", 270}}, &TabSheet2),
      bnt_add(*this, "bnt_add", {300, 240, 75, 25}, "추가", &TabSheet2),
      bnt_del(*this, "bnt_del", {381, 240, 75, 25}, "삭제", &TabSheet2),
      bntok(*this, "bntok", {324, 324, 75, 25}, "확인(&O)"),
      bntCancel(*this, "bntCancel", {405, 324, 75, 25}, "취소(&C)") {
  SetFont({"굴림", 9});
  plat::Font mark = GetFont();
  mark.color = plat::kColorGray;
  Label1.SetFont(mark);
  Label1.SetBold(true);
  plat::Font list = GetFont();
  list.name = "돋움체";
  Listall.SetFont(list);
  Listall.SetMultiSelect(true);
  bnt_add.OnClick = [this] { bnt_addClick(); };
  bnt_del.OnClick = [this] { bnt_delClick(); };
  // No modal result of its own: a failed save keeps the window open.
  bntok.OnClick = [this] { bntokClick(); };
  bntok.SetDefault(true);
  bntCancel.SetCancel(true);
  bntCancel.SetModalResult(plat::kMrCancel);
}

void Tfrm_Option::FormShow() { PageControl1.SetActivePage(0); }

void Tfrm_Option::LoadOptions() {
  Check_WinRun.SetChecked(ReadStartUp() != 0);
  Check_NewWindow.SetChecked(ReadNewExplore() != 0);
  Listall.BeginUpdate();
  Listall.Clear();
  for (const SearchSite& site : ReadSearchSites()) AddSiteRow(site.description, site.address);
  Listall.EndUpdate();
}

bool Tfrm_Option::SaveOptions() {
  if (!FitSettingsFile()) return false;
  std::vector<SearchSite> sites;
  for (int row = 0; row < Listall.RowCount(); ++row) sites.push_back({Listall.Cell(row, 0), Listall.Cell(row, 1)});
  return WriteOptions(Check_WinRun.Checked(), Check_NewWindow.Checked(), sites);
}

bool Tfrm_Option::FitSettingsFile() {
  const std::string names = CharactersOutsideCp949(Listall);
  if (names.empty() || plat::ProfileEncoding(ConfigPath()) != plat::TextEncoding::kCp949) return true;
  const int answer = plat::MessageBox(
      "검색 사이트에 CP949 설정 파일(Config.ini)에 쓸 수 없는 글자가 있습니다:" + names +
          "\r\n\r\n예: 이제부터 Config.ini를 유니코드(UTF-16)로 저장합니다. 키베인의 예전 판에서는 이 글자가 "
          "제대로 보이지 않습니다.\r\n아니요: 그 글자를 사이트에서 빼고 저장합니다.\r\n취소: 저장하지 않습니다.",
      "알림말", plat::kMbYesNoCancel | plat::kMbIconQuestion, this);
  if (answer == plat::kIdYes) return true;  // the settings file turns UTF-16 at the write
  if (answer != plat::kIdNo) return false;
  TakeOutCharactersOutsideCp949(Listall);
  return true;
}

void Tfrm_Option::AddSiteRow(const std::string& description, const std::string& address) {
  Listall.AddRow({description, address});
}

void Tfrm_Option::bntokClick() {
  if (SaveOptions()) SetModalResult(plat::kMrOk);
}

void Tfrm_Option::bnt_addClick() {
  Tfrm_Siteadd dialog(*this);
  dialog.ShowModal(this);
}

void Tfrm_Option::bnt_delClick() {
  const int row = Listall.Selected();
  if (row >= 0) Listall.DeleteRow(row);
}

}  // namespace kv
