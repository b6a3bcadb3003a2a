#pragma once
// Tfrm_Infor: the about window; and the help file and the web links the menus open.
#include <string>

#include "platform/controls.h"

namespace kv {

// The home page: a host name, handed to the browser without a scheme.
extern const char* const kHomePage;

// The browser ("iexplore") with the address as its argument; the result is not looked at.
void OpenWebLink(const std::string& address);
void OpenHomePage();
// The question-and-answer board of the home page.
void OpenQnaBoard();
// "Readme.txt" of the program's folder through the shell, owned by owner.
void OpenHelp(plat::Form* owner);

class Tfrm_Infor : public plat::Form {
 public:
  Tfrm_Infor();

  plat::Image Image1;
  plat::Label Label1;
  plat::Label Label4;
  plat::Label Label5;
  plat::Label Label7;
  plat::Label Label6;
  plat::Button Button1;

  void Label6Click();
};

}  // namespace kv
