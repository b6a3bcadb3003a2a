#include "actions/frmAction.h"

#include "actions/BuiltinActions.h"

namespace kv {

namespace {
const char* const kNothingChosen = "선택 되지 않음";

// What each built-in action does, in the order of kBuiltinActionNames.
const char* const kActionDescriptions[] = {"현재 창을 전체화면으로 전환합니다",    "현재 창을 이전크기로 전환합니다",
                                           "현재 창을 윈도우 상태바로 내립니다",   "현재 창을 종료합니다",
                                           "현재 모든 작업창을 상태바로 내립니다", "작업창을 원래대로 되돌립니다",
                                           "윈도우 탐색기를 실행합니다",           "윈도우 파일 찾기 창을 실행합니다",
                                           "윈도우 컴퓨터 찾기 창을 실행합니다",   "윈도우 바로 실행 창을 실행합니다",
                                           "마우스 왼쪽 클릭효과를 줍니다",        "마우스 오른쪽 클릭효과를 줍니다",
                                           "마우스 왼쪽 더블 클릭효과를 줍니다"};
static_assert(sizeof kActionDescriptions / sizeof *kActionDescriptions == kBuiltinActionNames.size());
}  // namespace

Tfrm_Action::Tfrm_Action(plat::Edit* target)
    : plat::Form("액션 실행", plat::FormStyle::FixedDialog, 521, 355),
      Label1(*this, "Label1", {8, 8, 400, 13}, "다음의 액션 리스트중, 실행할 액션을 선택하십시오."),
      Label2(*this, "Label2", {8, 30, 150, 13}, "실행 액션 리스트 :"),
      Listall(*this, "Listall", {8, 46, 505, 250}, {{"액션 이름", 150}, {"액션 설명", 300}}),
      Label3(*this, "Label3", {8, 307, 84, 13}, "선택된 액션 : "),
      lbl_info(*this, "lbl_info", {94, 307, 250, 13}, kNothingChosen),
      bntok(*this, "bntok", {356, 322, 75, 25}, "확인(&O)"),
      bntCancel(*this, "bntCancel", {438, 322, 75, 25}, "취소(&C)"),
      target_(target) {
  SetFont({"굴림", 9});
  lbl_info.SetBold(true);
  Listall.SetMultiSelect(true);
  Listall.SetImages({plat::Icon::Program});
  for (std::size_t i = 0; i < kBuiltinActionNames.size(); ++i)
    Listall.AddRow({kBuiltinActionNames[i], kActionDescriptions[i]});
  Listall.OnSelectItem = [this](int row, bool selected) { ListallSelectItem(row, selected); };
  bntok.OnClick = [this] { bntokClick(); };
  bntok.SetDefault(true);
  bntok.SetModalResult(plat::kMrOk);
  bntCancel.SetCancel(true);
  bntCancel.SetModalResult(plat::kMrCancel);
}

void Tfrm_Action::ListallSelectItem(int row, bool selected) {
  // A row that lost the selection while others keep it hands the label to the first of
  // them, so the label never names an action that is no longer selected.
  chosen_ = selected ? row : Listall.Selected();
  lbl_info.SetCaption(chosen_ < 0 ? kNothingChosen : Listall.Cell(chosen_, 0));
}

void Tfrm_Action::bntokClick() {
  if (chosen_ >= 0 && target_) target_->SetText(Listall.Cell(chosen_, 0));
}

}  // namespace kv
