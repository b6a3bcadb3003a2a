#include "actions/frmDirectMove.h"

#include <algorithm>
#include <vector>

#include "core/UnitFunction.h"
#include "platform/dialogs.h"
#include "platform/mouse.h"
#include "platform/shell.h"

namespace kv {

namespace {
std::vector<Tfrm_DirectMove*>& Prompts() {
  static std::vector<Tfrm_DirectMove*> prompts;
  return prompts;
}
}  // namespace

const std::vector<Tfrm_DirectMove*>& OpenPrompts() { return Prompts(); }

Tfrm_DirectMove::Tfrm_DirectMove()
    : plat::Form("다이렉트 검색", plat::FormStyle::FixedDialog, 366, 158),
      Image1(*this, "Image1", {8, 8, 32, 32}, plat::Icon::Question),
      Label1(*this, "Label1", {50, 18, 308, 13}, "검색 내용에 검색할 내용을 입력하십시오."),
      Label2(*this, "Label2", {8, 52, 84, 13}, "검색 설명   :"),
      lbl_info(*this, "lbl_info", {94, 52, 264, 13}, ""),
      lbl_site(*this, "lbl_site", {50, 72, 308, 13}, ""),
      Label3(*this, "Label3", {8, 99, 84, 13}, "검색 내용   :"),
      txt_edit(*this, "txt_edit", {94, 95, 264, 21}),
      bntok(*this, "bntok", {156, 126, 120, 25}, "검색 시작(&S).."),
      bntcancle(*this, "bntcancle", {283, 126, 75, 25}, "취소") {
  SetFont({"굴림", 9});
  lbl_info.SetBold(true);
  // The site's own texts: an address such as "...?w=tot&q=" keeps its "&".
  lbl_info.SetShowAccelChar(false);
  lbl_site.SetShowAccelChar(false);
  // A text longer than its line ends in "..." and shows whole as the label's tip.
  lbl_info.SetEllipsis(true);
  lbl_site.SetEllipsis(true);
  plat::Font grey = GetFont();
  grey.color = plat::kColorGray;
  lbl_site.SetFont(grey);
  txt_edit.SetWantHangul(true);
  txt_edit.OnKeyPress = [this](int& key) {
    if (key == plat::kVkReturn) {
      key = 0;
      bntokClick();
    } else if (key == plat::kVkEscape) {
      key = 0;
      Close();
    }
  };
  bntok.OnClick = [this] { bntokClick(); };
  bntcancle.OnClick = [this] { Close(); };
  // A dialog-style message loop turns Enter and Esc in the box into these two buttons
  // before the box sees the characters.
  bntok.SetDefault(true);
  bntcancle.SetCancel(true);
  SetStayOnTop(true);
  Prompts().push_back(this);
}

Tfrm_DirectMove::~Tfrm_DirectMove() {
  auto& prompts = Prompts();
  prompts.erase(std::remove(prompts.begin(), prompts.end(), this), prompts.end());
}

void Tfrm_DirectMove::bntokClick() {
  if (!txt_edit.Text().empty())
    plat::ShellOpen("iexplore.exe", true, QuoteArgument(lbl_site.Caption() + txt_edit.Text()));
  Close();
}

void Tfrm_DirectMove::FormClose() { Release(); }

void ShowDirectSearch(const std::string& info) {
  std::vector<std::string> items;
  SplitItems(info, ';', items);
  if (items.size() < 2) {
    plat::MessageBox(
        "다이렉트 검색 정보가 올바르지 않습니다.\r\n"
        "검색 설명과 사이트 주소를 ';' 로 나누어 입력하십시오.\r\n\r\n" +
            info,
        "알림말", plat::kMbOk | plat::kMbIconWarning);
    return;
  }
  auto* prompt = new Tfrm_DirectMove();
  prompt->lbl_info.SetCaption(items[0]);
  prompt->lbl_info.SetHint(items[0]);
  prompt->lbl_site.SetCaption(items[1]);
  prompt->lbl_site.SetHint(items[1]);
  prompt->Show();
  prompt->txt_edit.SetFocus();
  ClickScreenCentre();
}

void ClickScreenCentre() {
  const plat::ScreenPoint saved = plat::CursorPos();
  const plat::ScreenPoint screen = plat::ScreenSize();
  plat::MoveCursor(screen.x / 2, screen.y / 2);
  plat::SendMouseEvent(plat::kMouseEventLeftDown, 0, 0, 0);
  plat::SendMouseEvent(plat::kMouseEventLeftUp, 0, 0, 0);
  plat::MoveCursor(saved.x, saved.y);
}

std::string QuoteArgument(const std::string& text) {
  // Backslashes count only in front of a quote: there each one is doubled and the quote
  // escaped; before the closing quote they are doubled too.
  std::string quoted = "\"";
  std::size_t slashes = 0;
  for (char c : text) {
    if (c == '\\') {
      ++slashes;
      continue;
    }
    if (c == '"') {
      quoted.append(slashes * 2 + 1, '\\');
    } else {
      quoted.append(slashes, '\\');
    }
    slashes = 0;
    quoted += c;
  }
  quoted.append(slashes * 2, '\\');
  quoted += '"';
  return quoted;
}

}  // namespace kv
