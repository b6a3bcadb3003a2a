// sessioncheck.exe <pid> - plays Windows ending the session for one process.
//
// Sends WM_QUERYENDSESSION (a log-off) to each top-level window of the process, as Windows
// does, until one answers FALSE, and then WM_ENDSESSION with the outcome to the windows
// asked.  Each message may wait for the user (the program may ask a question first), up to
// two minutes.  Prints, one per line:
//   WINDOWS <n>                     top-level windows of the process
//   QUERY <TRUE|FALSE|TIMEOUT>      the outcome of the query
//   REASON <text>                   a reason a window gave for holding the session (UTF-8)
//   ENDSESSION <1|0>                the ending was announced
// Exits 0 when the session may end, 1 when a window refused, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD pid;
  std::vector<HWND> windows;
};

BOOL CALLBACK Collect(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->pid) search->windows.push_back(window);
  return TRUE;
}

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
  out.resize(size > 0 ? size - 1 : 0);
  return out;
}

// The reason a window gave, when the system keeps one (Vista on; Wine may not).
std::string BlockReason(HWND window) {
  using Query = BOOL(WINAPI*)(HWND, LPWSTR, DWORD*);
  const auto query =
      reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"),
                                                                     "ShutdownBlockReasonQuery")));
  wchar_t text[512] = {};
  DWORD size = 512;
  if (!query || !query(window, text, &size)) return std::string();
  return Utf8(text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sessioncheck.exe <pid>\n");
    return 2;
  }
  Search search{static_cast<DWORD>(std::strtoul(argv[1], nullptr, 0)), {}};
  EnumWindows(&Collect, reinterpret_cast<LPARAM>(&search));
  std::printf("WINDOWS %u\n", static_cast<unsigned>(search.windows.size()));
  std::fflush(stdout);

  const DWORD_PTR kTimeoutMs = 120000;
  bool mayEnd = true;
  std::size_t asked = 0;
  for (HWND window : search.windows) {
    ++asked;
    DWORD_PTR answer = TRUE;
    if (!SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, kTimeoutMs, &answer)) {
      if (!IsWindow(window)) continue;
      std::printf("QUERY TIMEOUT\n");
      return 1;
    }
    if (!answer) {
      mayEnd = false;
      const std::string reason = BlockReason(window);
      if (!reason.empty()) std::printf("REASON %s\n", reason.c_str());
      break;
    }
  }
  std::printf("QUERY %s\n", mayEnd ? "TRUE" : "FALSE");
  std::fflush(stdout);
  for (std::size_t i = 0; i < asked; ++i) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(search.windows[i], WM_ENDSESSION, mayEnd ? TRUE : FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                        kTimeoutMs, &ignored);
  }
  std::printf("ENDSESSION %d\n", mayEnd ? 1 : 0);
  std::fflush(stdout);
  return mayEnd ? 0 : 1;
}
