#pragma once
// The action executor: turns an entry's kind and info into the action.
#include <string>
#include <vector>

namespace kv {

// Performs the action of kind with info; a kind that is none of the known names does nothing.
void ExecuteAction(const std::string& kind, const std::string& info);

// mode is "Shutdown", "Reboot" or "Logoff"; anything else does nothing.
void ShutdownWindows(const std::string& mode);
// Ends every running process whose file name equals fileName, ignoring the case of a to z.
void KillProcessByName(const std::string& fileName);
// info is a file, or a file, ";" and its parameters.
void RunProgram(const std::string& info);
// On 64-bit Windows this 32-bit program's System32 is SysWOW64, where many system programs
// (osk.exe, wsl.exe...) do not exist: a path under System32, or a bare name found only in
// the real System32, is given as its Sysnative path, when the program is there. The path is
// found as the shell finds it: within quotes, with / or \, environment variables expanded,
// ".exe" added to a name without an extension. Otherwise, and on 32-bit Windows, file as it
// is. Redirection itself is never switched off.
std::string NativeSystemProgram(const std::string& file);
// Opens url with the shell, or in a new browser window when "NewExplore" is on.
void OpenWebSite(const std::string& url);

// The row whose action runs while this lives (its ID and description): a failure to open
// names it.
class RunningEntry {
 public:
  RunningEntry(const std::string& id, const std::string& description);
  ~RunningEntry();
  RunningEntry(const RunningEntry&) = delete;
  RunningEntry& operator=(const RunningEntry&) = delete;

 private:
  std::string previousId_, previousDescription_;
};

// Key-up events for the modifiers a user may still hold from the hotkey (Ctrl, Alt, Shift,
// both Win keys), so they do not combine with the keys an action sends.
void ReleaseModifiers();

// Items between ";" with control characters and blanks skipped before each; empty items kept.
std::vector<std::string> SplitAtSemicolons(const std::string& text);

}  // namespace kv
