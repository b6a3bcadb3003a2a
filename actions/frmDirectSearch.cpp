#include "actions/frmDirectSearch.h"

#include "core/UnitFunction.h"

namespace kv {

namespace {
const char* const kNothingChosen = "선택 되지 않음";
}

Tfrm_DirectSearch::Tfrm_DirectSearch(plat::Edit& target)
    : plat::Form("다이렉트 검색", plat::FormStyle::FixedDialog, 467, 316),
      Label1(*this, "Label1", {8, 8, 450, 13}, "다이렉트 검색할 사이트를 선택 후, 확인을 누르십시오."),
      Label2(*this, "Label2", {8, 30, 160, 13}, "다이렉트 이동 사이트:"),
      Listall(*this, "Listall", {8, 46, 451, 180}, {{"검색 설명", 150}, {"사이트", 270}}),
      Label3(*this, "Label3", {8, 236, 84, 13}, "검색 설명   :"),
      lbl_info(*this, "lbl_info", {94, 236, 365, 13}, kNothingChosen),
      Label4(*this, "Label4", {8, 255, 84, 13}, "검색 사이트 :"),
      lbl_site(*this, "lbl_site", {94, 255, 365, 13}, kNothingChosen),
      Label5(*this, "Label5", {8, 287, 280, 13}, "검색 사이트의 편집은 [옵션] 에 있습니다."),
      bntok(*this, "bntok", {302, 282, 75, 25}, "확인(&O)"),
      bntCancel(*this, "bntCancel", {384, 282, 75, 25}, "취소(&C)"),
      target_(target) {
  SetFont({"굴림", 9});
  lbl_info.SetBold(true);
  lbl_site.SetBold(true);
  // The site's own texts: an address such as "...?w=tot&q=" keeps its "&".
  lbl_info.SetShowAccelChar(false);
  lbl_site.SetShowAccelChar(false);
  plat::Font note = GetFont();
  note.color = plat::kColorGray;
  Label5.SetFont(note);
  Listall.SetMultiSelect(true);
  Listall.SetImages({plat::Icon::Program});
  Listall.OnSelectItem = [this](int row, bool selected) { ListallSelectItem(row, selected); };
  bntok.OnClick = [this] { bntokClick(); };
  bntok.SetDefault(true);
  bntok.SetModalResult(plat::kMrOk);
  bntCancel.SetCancel(true);
  bntCancel.SetModalResult(plat::kMrCancel);
}

void Tfrm_DirectSearch::FormShow() {
  Listall.BeginUpdate();
  Listall.Clear();
  for (const SearchSite& site : ReadSearchSites()) Listall.AddRow({site.description, site.address});
  Listall.EndUpdate();
  ShowChosen(-1);
}

void Tfrm_DirectSearch::ShowChosen(int row) {
  chosen_ = row;
  lbl_info.SetCaption(row < 0 ? kNothingChosen : Listall.Cell(row, 0));
  lbl_site.SetCaption(row < 0 ? kNothingChosen : Listall.Cell(row, 1));
}

void Tfrm_DirectSearch::ListallSelectItem(int row, bool selected) {
  // A row that lost the selection while others keep it hands the labels to the first of them.
  ShowChosen(selected ? row : Listall.Selected());
}

void Tfrm_DirectSearch::bntokClick() {
  if (chosen_ >= 0) target_.SetText(Listall.Cell(chosen_, 0) + ";" + Listall.Cell(chosen_, 1));
}

}  // namespace kv
