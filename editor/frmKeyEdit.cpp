#include "editor/frmKeyEdit.h"

namespace kv {

std::string JoinKeyLines(const std::string& text) {
  std::string joined;
  joined.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      joined += ';';
    } else if (text[i] == '\n') {
      joined += ';';
    } else {
      joined += text[i];
    }
  }
  return joined;
}

Tfrm_KeyEdit::Tfrm_KeyEdit(plat::Edit& target)
    : plat::Form("키값 자동 입력", plat::FormStyle::FixedDialog, 398, 269),
      Label1(*this, "Label1", {6, 8, 120, 13}, "키값 입력 :"),
      MemoKey(*this, "MemoKey", {6, 24, 385, 169}, nullptr, true),
      Label2(*this, "Label2", {6, 203, 90, 13}, "특수 키 추가 :"),
      cmVK(*this, "cmVK", {98, 199, 110, 21}),
      bnt_Add(*this, "bnt_Add", {214, 197, 75, 25}, "추가(&A)"),
      Bevel1(*this, "Bevel1", {6, 228, 385, 2}, nullptr, plat::Bevel::Lowered),
      Label3(*this, "Label3", {6, 237, 226, 13}, "키값 분리 방법 [;] 로 구분   "),
      Label4(*this, "Label4", {6, 252, 226, 13}, "(예) id;VK_Tab;password;VK_Return"),
      bntok(*this, "bntok", {236, 238, 75, 25}, "확인(&O)"),
      bntCancel(*this, "bntCancel", {316, 238, 75, 25}, "취소(&C)"),
      target_(target) {
  SetFont({"굴림", 9});
  MemoKey.SetWantHangul(true);
  for (const char* key : {"TAB", "RETURN", "ESCAPE", "BACK"}) cmVK.AddItem(key);
  bnt_Add.OnClick = [this] { bnt_AddClick(); };
  bntok.OnClick = [this] { bntokClick(); };
  bntok.SetDefault(true);
  bntok.SetModalResult(plat::kMrOk);
  bntCancel.SetCancel(true);
  bntCancel.SetModalResult(plat::kMrCancel);
  MemoKey.SetText("");
  MemoKey.SetText(target_.Text());
}

void Tfrm_KeyEdit::bnt_AddClick() {
  if (cmVK.ItemIndex() < 0) return;
  // An item of its own on both sides: what is typed next is never read as part of it.
  const std::string& text = MemoKey.Text();
  const bool separated = !text.empty() && text.back() == ';';
  MemoKey.SetText(text + (separated ? "VK_" : ";VK_") + cmVK.Text() + ";");
}

void Tfrm_KeyEdit::bntokClick() { target_.SetText(JoinKeyLines(MemoKey.Text())); }

}  // namespace kv
