#pragma once
// Handing files, folders and addresses to the shell.
#include <cstdint>
#include <string>

namespace plat {

// Prepares this thread for the shell: launches may go through shell extensions that need
// COM (apartment-threaded, without OLE1 DDE). Once, on the user-interface thread, before
// the first launch.
void InitializeShell();

// ShellExecute "open" with SW_SHOWNORMAL and no window. Without parameters when
// hasParameters is false; an empty text is still passed when it is true.
// True when the shell accepted it; otherwise *error (when given) is Windows' error code
// for why (not found, access denied, no program associated...). The shell shows no
// message of its own: what to say is the caller's.
bool ShellOpen(const std::string& file, bool hasParameters, const std::string& parameters,
               std::uint32_t* error = nullptr);

// Windows' own text for an error code, in the system's language, without the line break
// at its end; subject takes the place of the "%1" some of them hold (the file).
std::string SystemErrorText(std::uint32_t code, const std::string& subject = "");

class Form;
constexpr int kSwShowNormal = 1, kSwShow = 5;
// ShellExecute with a verb, parameters (empty: none), a show command and the window that
// owns whatever the shell shows (nullptr: none). True when the shell accepted it.
bool ShellExecuteVerb(Form* owner, const std::string& verb, const std::string& file, const std::string& parameters,
                      int showCmd);

}  // namespace plat
