#include "core/ClassProcessUnique.h"

#include "core/UnitFunction.h"
#include "platform/files.h"
#include "platform/msgloop.h"
#include "platform/processes.h"

namespace kv {

namespace {
constexpr std::uint32_t kExitWaitBudgetMs = 3000;
}

std::string ProcessFileName(const std::string& exePath) {
  const std::size_t cut = exePath.find_last_of("\\/:");
  return LowerAscii(cut == std::string::npos ? exePath : exePath.substr(cut + 1));
}

void TProcessUnique::ListProcesses(std::vector<std::string>& list) {
  for (const plat::ProcessEntry& p : plat::SnapshotProcesses())
    list.push_back(ProcessFileName(p.exeFile) + "," + std::to_string(p.pid));
}

bool TProcessUnique::KillProcess(std::uint32_t pid, std::uint32_t waitMs) {
  return plat::TerminateProcessById(pid, waitMs);
}

void TProcessUnique::KillOtherCopies() {
  const std::string own = ProcessFileName(plat::ProgramPath());
  const std::uint32_t self = plat::CurrentProcessId();
  std::vector<std::string> records;
  ListProcesses(records);
  const std::uint32_t start = plat::GetTickCount();
  for (const std::string& record : records) {
    // A file name may itself hold commas; the number never does.
    const std::size_t comma = record.rfind(',');
    if (comma == std::string::npos || record.compare(0, comma, own) != 0) continue;
    const std::uint32_t pid = static_cast<std::uint32_t>(std::stoul(record.substr(comma + 1)));
    // The snapshot's order says nothing about which copy is the new one: spare this process.
    if (pid == self) continue;
    const std::uint32_t spent = plat::GetTickCount() - start;
    KillProcess(pid, spent < kExitWaitBudgetMs ? kExitWaitBudgetMs - spent : 1);
  }
}

}  // namespace kv
