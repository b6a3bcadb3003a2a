#include "editor/frmKeyList.h"

#include <algorithm>

#include "core/UnitFunction.h"
#include "platform/files.h"

namespace kv {

namespace {
std::vector<Tfrm_KeyList*>& KeyLists() {
  static std::vector<Tfrm_KeyList*> lists;
  return lists;
}
}  // namespace

const std::vector<Tfrm_KeyList*>& OpenKeyLists() { return KeyLists(); }

Tfrm_KeyList::Tfrm_KeyList()
    : plat::Form("단축키 리스트", plat::FormStyle::Sizeable, 700, 574),
      Panel1(*this, "Panel1", {0, 0, 700, 574}, nullptr, plat::Bevel::None),
      WorkList(*this, "WorkList", {5, 5, 690, 529},
               {{"단축키 설명", 180},
                {"아이디", 70},
                {"단축키", 120},
                {"실행 종류", 100},
                {"실행 정보", 140},
                {"활성화", 50}},
               &Panel1),
      pnlBottom(*this, "pnlBottom", {5, 534, 690, 35}, &Panel1, plat::Bevel::None),
      bntClose(*this, "bntClose", {612, 6, 75, 25}, "닫기", &pnlBottom) {
  SetFont({"굴림체", 9});
  plat::Font listFont = GetFont();
  listFont.name = "돋움체";
  WorkList.SetFont(listFont);
  WorkList.SetImages({plat::Icon::Program, plat::Icon::Warning});
  Panel1.SetAnchors(plat::kAnchorLeft | plat::kAnchorTop | plat::kAnchorRight | plat::kAnchorBottom);
  WorkList.SetAnchors(plat::kAnchorLeft | plat::kAnchorTop | plat::kAnchorRight | plat::kAnchorBottom);
  pnlBottom.SetAnchors(plat::kAnchorLeft | plat::kAnchorRight | plat::kAnchorBottom);
  bntClose.SetAnchors(plat::kAnchorTop | plat::kAnchorRight);
  bntClose.OnClick = [this] { bntCloseClick(); };
  KeyLists().push_back(this);
}

Tfrm_KeyList::~Tfrm_KeyList() {
  auto& lists = KeyLists();
  lists.erase(std::remove(lists.begin(), lists.end(), this), lists.end());
}

void Tfrm_KeyList::bntCloseClick() { Close(); }

void Tfrm_KeyList::FormClose() { Release(); }

Tfrm_KeyList* ShowKeyList() {
  auto* window = new Tfrm_KeyList();
  window->Show();
  // Read on its own: the editor's list, caption and file name stay as they are.
  const std::string path = GetLastWorkFile();
  bool incomplete = false;
  if (!path.empty() && plat::FileExists(path)) FillListFromWorkFile(path, window->WorkList, window, incomplete);
  return window;
}

}  // namespace kv
