#pragma once
// Tfrm_Setmulti: composes a multi-job string from the entries of the list.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/controls.h"

namespace kv {

// The delay field's number: blanks in front, a sign, then decimal digits or hexadecimal ones
// after "$" or "0x"; nothing may follow. Empty when the text is no signed 32-bit integer.
std::optional<std::int32_t> ParseDelaySeconds(const std::string& text);

class Tfrm_Setmulti : public plat::Form {
 public:
  // Filled from the entries (description, ID) and the target's multi-job string; OK writes
  // the new string into the target.
  Tfrm_Setmulti(const plat::ListView& entries, plat::Edit& target);

  plat::Label Label1;
  plat::Label Label2;
  plat::ListView Listall;
  plat::ListView ListSelect;
  plat::Button bntplus;
  plat::Button bntallpluss;
  plat::Button bntminus;
  plat::Button bntallminus;
  plat::Button bntUp;
  plat::Button bntDown;
  plat::Panel Panel1;
  plat::Label Label3;
  plat::Edit txt_delay;
  plat::Label Label4;
  plat::Button bntSecAdd;
  plat::Button bntok;
  plat::Button bntCancel;

  void bntplusClick();
  void bntallplussClick();
  void bntminusClick();
  void bntallminusClick();
  void bntSecAddClick();
  void bntUpClick();
  void bntDownClick();
  void bntokClick();

 private:
  void Fill(const plat::ListView& entries);
  void MoveSelected(int step);

  plat::Edit& target_;
};

}  // namespace kv
