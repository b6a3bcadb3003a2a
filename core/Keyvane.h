#pragma once
// The program: single instance, the three windows in their order, the message loop; or,
// with a switch on its command line, one task for an installer and nothing else.
#include <string>
#include <vector>

namespace kv {

// What the command line asks for.
//   (nothing)      run the program
//   /startup=1|0   set 윈도우 시작시 실행 as 옵션 does (the Run value and StartUp in
//                  Config.ini) and exit
//   /startup       write the Run value as Config.ini's StartUp says, as every start does
//                  (after the Run value was lost with an older version), and exit
//   /uninstall     end every running copy, as a starting copy does, take away the Run
//                  value and exit; the work files and Config.ini stay
// Switches may also begin with '-' and are read in any case.
struct CommandLine {
  enum class Task { Run, StartUp, Uninstall, Invalid } task = Task::Run;
  bool fromConfig = false;  // for Task::StartUp: as Config.ini says
  bool startUp = false;     // for Task::StartUp without fromConfig
  std::string bad;       // for Task::Invalid: the argument not understood
};
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// Runs the program until its main window closes, or does what a switch asks; returns the
// exit code (0 when done, 1 when a switch was not understood or its task failed).
int KeyvaneMain(const std::vector<std::string>& args = {});

}  // namespace kv
