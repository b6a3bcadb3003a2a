#pragma once
// Tfrm_KeyList: a read-only window with the hotkey list as last saved.
#include <vector>

#include "platform/controls.h"

namespace kv {

class Tfrm_KeyList : public plat::Form {
 public:
  Tfrm_KeyList();
  ~Tfrm_KeyList() override;

  plat::Panel Panel1;
  plat::ListView WorkList;
  plat::Panel pnlBottom;
  plat::Button bntClose;

  void bntCloseClick();

 protected:
  void FormClose() override;
};

// A new list window, shown without waiting, with the entries of the last used work file as
// it lies on disk (not the editor's unapplied changes). Each call opens one more window;
// each frees itself when closed.
Tfrm_KeyList* ShowKeyList();

// The list windows open now, oldest first.
const std::vector<Tfrm_KeyList*>& OpenKeyLists();

}  // namespace kv
