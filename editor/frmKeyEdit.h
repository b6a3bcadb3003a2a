#pragma once
// Tfrm_KeyEdit: edits a key-sequence string in a memo with the special keys at hand.
#include <string>

#include "platform/controls.h"

namespace kv {

// The memo's text as the single-line field stores it: every line break (CR LF, CR or LF)
// becomes the item separator ";", which playback reads the same way.
std::string JoinKeyLines(const std::string& text);

class Tfrm_KeyEdit : public plat::Form {
 public:
  // Starts with the target's text; OK writes the sequence into the target.
  explicit Tfrm_KeyEdit(plat::Edit& target);

  plat::Label Label1;
  plat::Edit MemoKey;
  plat::Label Label2;
  plat::ComboBox cmVK;
  plat::Button bnt_Add;
  plat::Panel Bevel1;
  plat::Label Label3;
  plat::Label Label4;
  plat::Button bntok;
  plat::Button bntCancel;

  void bnt_AddClick();
  void bntokClick();

 private:
  plat::Edit& target_;
};

}  // namespace kv
