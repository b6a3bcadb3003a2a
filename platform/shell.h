#pragma once
// Handing files, folders and addresses to the shell.
#include <string>

namespace plat {

// Prepares this thread for the shell: launches may go through shell extensions that need
// COM (apartment-threaded, without OLE1 DDE). Once, on the user-interface thread, before
// the first launch.
void InitializeShell();

// ShellExecute "open" with SW_SHOWNORMAL and no window. Without parameters when
// hasParameters is false; an empty text is still passed when it is true.
// The result is not looked at by the program; true when the shell accepted it.
bool ShellOpen(const std::string& file, bool hasParameters, const std::string& parameters);

class Form;
constexpr int kSwShowNormal = 1, kSwShow = 5;
// ShellExecute with a verb, parameters (empty: none), a show command and the window that
// owns whatever the shell shows (nullptr: none). True when the shell accepted it.
bool ShellExecuteVerb(Form* owner, const std::string& verb, const std::string& file, const std::string& parameters,
                      int showCmd);

}  // namespace plat
