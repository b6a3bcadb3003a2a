#pragma once
// Ending the session: log off, reboot, shut down.
#include <cstdint>

namespace plat {

constexpr std::uint32_t kEwxLogoff = 0, kEwxShutdown = 1, kEwxReboot = 2;

// Enables SeShutdownPrivilege in the process token. Failures are ignored.
void EnableShutdownPrivilege();
// ExitWindowsEx(flags, 0); the result is ignored.
void ExitWindows(std::uint32_t flags);

}  // namespace plat
