#pragma once
// Running processes: listing and ending them.
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

struct ProcessEntry {
  std::string exeFile;  // as the process snapshot gives it (szExeFile)
  std::uint32_t pid;
};

// The process snapshot in the order the system lists it; empty when it cannot be taken.
std::vector<ProcessEntry> SnapshotProcesses();

std::uint32_t CurrentProcessId();

// Opens the process with full access and terminates it with exit code 0.
// When waitMs is not 0, waits up to that long for it to be gone. False when refused.
bool TerminateProcessById(std::uint32_t pid, std::uint32_t waitMs);

// From now on a DLL loaded by name, by the program or by the system on its behalf, comes
// from System32 only, never from the program's folder or the current one. Keyvane.exe's
// entry point calls it before anything else; the simulated machine loads no DLLs.
void LoadSystemDllsFromSystem32Only();

}  // namespace plat
