#pragma once
// Tfrm_DirectMove: the prompt of a direct-search entry, asking for the text to search.
#include <string>
#include <vector>

#include "platform/controls.h"

namespace kv {

class Tfrm_DirectMove : public plat::Form {
 public:
  Tfrm_DirectMove();
  ~Tfrm_DirectMove() override;

  plat::Image Image1;
  plat::Label Label1;
  plat::Label Label2;
  plat::Label lbl_info;
  plat::Label lbl_site;
  plat::Label Label3;
  plat::Edit txt_edit;
  plat::Button bntok;
  plat::Button bntcancle;

  void bntokClick();

 protected:
  // The prompt frees itself: each hotkey press makes its own.
  void FormClose() override;
};

// The prompts on the screen, oldest first.
const std::vector<Tfrm_DirectMove*>& OpenPrompts();

// Shows a new prompt for the info "description;address" and returns at once. A string
// without both parts shows a message box instead.
void ShowDirectSearch(const std::string& info);

// Clicks the middle of the primary screen and puts the pointer back where it was.
void ClickScreenCentre();

// The text quoted so that the command-line rules of Windows programs read it back as one
// argument, byte for byte.
std::string QuoteArgument(const std::string& text);

}  // namespace kv
