#pragma once
// TProcessUnique: makes the starting copy the only running copy of the program.
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// The file-name part of a path (after the last '\', '/' or ':'), with A to Z lowered.
std::string ProcessFileName(const std::string& exePath);

class TProcessUnique {
 public:
  // Ends every other running process whose file name equals this program's, then waits
  // (at most about 3 s in all) until they are gone, so their hotkeys are free again.
  void KillOtherCopies();
  // Appends "name,pid" per running process, in snapshot order.
  void ListProcesses(std::vector<std::string>& list);
  // Ends one process; waits up to waitMs for it to be gone. False when refused.
  bool KillProcess(std::uint32_t pid, std::uint32_t waitMs);
};

}  // namespace kv
