// startcheck.exe <exe> [<mods> <vk>]... - how long a program takes from its start until
// its message loop first waits for input, and which hotkeys are registered at that moment.
//
// Prints (then exits 0, leaving the program running):
//   ms=<elapsed> pid=<process id>
//   taken|free                      one line per <mods> <vk> pair, in argument order
// Exits 1 when the program cannot be started, ends, or does not become idle within 30 s.
//
// WaitForInputIdle returns once the new process waits in GetMessage/PeekMessage with an
// empty queue.  A program that registers its hotkeys before it enters its message loop
// therefore holds all of them when this returns, and nothing here presses or takes a
// hotkey while it starts: each pair is checked only afterwards, by trying to register it
// (released again at once when it was free).
//   mods: a number (MOD_ALT=1 MOD_CONTROL=2 MOD_SHIFT=4 MOD_WIN=8);  vk: a number (0x70 = F1)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

BOOL CALLBACK findWindowOf(HWND hwnd, LPARAM lp) {
  auto* wanted = reinterpret_cast<DWORD*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != *wanted) return TRUE;
  *wanted = 0;
  return FALSE;
}

bool hasWindow(DWORD pid) {
  EnumWindows(findWindowOf, reinterpret_cast<LPARAM>(&pid));
  return pid == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc % 2 != 0) {
    fprintf(stderr, "usage: startcheck <exe> [<mods> <vk>]...   e.g. startcheck C:\\app\\Keyvane.exe 10 0x70\n");
    return 2;
  }
  std::string cmdline = "\"" + std::string(argv[1]) + "\"";
  // The program gets NUL as its standard handles and none of ours: a resident program
  // holding the pipe this tool answers through would keep whoever reads it waiting for
  // the end of the output (Wine hands a child the parent's standard handles otherwise).
  for (DWORD std : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
    SetHandleInformation(GetStdHandle(std), HANDLE_FLAG_INHERIT, 0);
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = si.hStdOutput = si.hStdError = nul;
  PROCESS_INFORMATION pi = {};

  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(nullptr, &cmdline[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    printf("error start %lu\n", GetLastError());
    return 1;
  }
  // Wine gives a process its idle event only once the process has finished starting up;
  // asked earlier, WaitForInputIdle returns at once.  A window (hidden ones count) is
  // made by the program's own code, so that point has passed when one exists.  Polling
  // for windows leaves the program's hotkeys alone.
  DWORD wait = WAIT_TIMEOUT;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 30000;) {
    if (hasWindow(pi.dwProcessId)) {
      wait = WaitForInputIdle(pi.hProcess, 30000);
      break;
    }
    if (WaitForSingleObject(pi.hProcess, 2) != WAIT_TIMEOUT) {
      wait = WAIT_FAILED;
      break;
    }
  }
  QueryPerformanceCounter(&t1);
  CloseHandle(nul);
  if (wait != 0) {
    puts(wait == WAIT_TIMEOUT ? "error: no idle message loop within 30 s" : "error: the program ended");
    return 1;
  }
  const long ms = (long)((t1.QuadPart - t0.QuadPart) * 1000 / freq.QuadPart);
  printf("ms=%ld pid=%lu\n", ms, pi.dwProcessId);

  for (int i = 2; i + 1 < argc; i += 2) {
    const unsigned mods = (unsigned)strtoul(argv[i], nullptr, 0);
    const unsigned vk = (unsigned)strtoul(argv[i + 1], nullptr, 0);
    if (RegisterHotKey(nullptr, 1, mods, vk)) {
      UnregisterHotKey(nullptr, 1);
      puts("free");
    } else {
      puts(GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? "taken" : "error");
    }
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}
