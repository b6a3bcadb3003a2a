// probe.exe - the programs Keyvane starts and the foreground window it acts on.
//
//   probe.exe [--name N] [--exit] [--hotkey MODS VK] [anything else]
//
// At start it appends to %E2E_LOGDIR%\launch.log (else beside the exe), in UTF-8:
//   LAUNCH exe="<own path>" cwd="<cwd>" cmdline=<command line after the program name>
//   STARTED created_ms=<ms> exe="<own path>" cmdline=<as above>
// created_ms is when the process was created (its starter's CreateProcess), in ms since
// 1970 UTC: unlike the time it gets to log, it does not depend on how fast it loads.
// Then it shows a window titled "probe N" and logs to probe_N.log:
//   START acp=949 literal=ok        the system code page, and whether a Korean narrow
//                                   literal (CP949 bytes) reads back right in it
//   KEY vk=0x41 sys=0 t=<tick>      WM_KEYDOWN (sys=1: WM_SYSKEYDOWN)
//   CHAR 0x61 t=<tick>              WM_CHAR, UTF-16 code unit
//   PASTE text="<clipboard>"        Ctrl+V, Shift+Insert or WM_PASTE (\r \n \t \\ \" escaped)
//   ACTIVE 1|0                      WM_ACTIVATE
//   HOTKEY id=1                     the hotkey of --hotkey fired
//   ENDSESSION query lparam=0x..    WM_QUERYENDSESSION (answered TRUE: the session may end)
//   ENDSESSION end=1 lparam=0x..    WM_ENDSESSION with its wParam (1: the session ends now);
//                                   lparam 0x80000000 is ENDSESSION_LOGOFF
//   CLOSE                           WM_CLOSE; the probe then exits
// N is the --name argument, or the exe's own name without ".exe" (a copy named memo.exe
// is "probe memo").  With --exit, or when running as iexplore.exe, it only logs the
// launch and exits: that is how it stands in for browsers and folder windows.
//
// Wide (W) calls throughout: the log is right whatever the system code page is.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

std::wstring g_logDir;
std::wstring g_name;
int g_hotkeyMods = -1;
int g_hotkeyVk = 0;

std::string utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
  return s;
}

std::wstring logDir() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"E2E_LOGDIR", buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) return buf;
  GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::wstring dir = buf;
  return dir.substr(0, dir.find_last_of(L'\\'));
}

// Several probes (and Keyvane's multi-jobs) may start at the same moment: each line is
// written under an exclusive open, and a sharing violation means "try again shortly".
void appendLine(const std::wstring& file, const std::string& line) {
  std::wstring path = g_logDir + L"\\" + file;
  for (int attempt = 0; attempt < 500; ++attempt) {
    HANDLE h = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      std::string data = line + "\n";
      DWORD written = 0;
      WriteFile(h, data.data(), (DWORD)data.size(), &written, nullptr);
      CloseHandle(h);
      return;
    }
    if (GetLastError() != ERROR_SHARING_VIOLATION) return;
    Sleep(10);
  }
}

void logEvent(const std::string& line) { appendLine(L"probe_" + g_name + L".log", line); }

std::string hex(unsigned v, int width) {
  char buf[16];
  wsprintfA(buf, width == 4 ? "0x%04X" : "0x%02X", v);
  return buf;
}

std::string hex8(unsigned v) {
  char buf[16];
  wsprintfA(buf, "0x%08X", v);
  return buf;
}

std::string tick() { return " t=" + std::to_string(GetTickCount()); }

// The command line as the program received it, minus the program name and the blanks after it.
const wchar_t* argumentsOf(const wchar_t* cmd) {
  if (*cmd == L'"') {
    ++cmd;
    while (*cmd && *cmd != L'"') ++cmd;
    if (*cmd) ++cmd;
  } else {
    while (*cmd && *cmd != L' ' && *cmd != L'\t') ++cmd;
  }
  while (*cmd == L' ' || *cmd == L'\t') ++cmd;
  return cmd;
}

std::string escaped(const std::wstring& w) {
  std::string out;
  for (char c : utf8(w)) {
    switch (c) {
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void logClipboard(HWND hwnd) {
  std::wstring text;
  // The program that just filled the clipboard may still hold it open.
  for (int attempt = 0; attempt < 50 && !OpenClipboard(hwnd); ++attempt) Sleep(10);
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  logEvent("PASTE text=\"" + escaped(text) + "\"");
}

LRESULT CALLBACK probeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      logEvent("KEY vk=" + hex((unsigned)wp, 2) + " sys=" + (msg == WM_SYSKEYDOWN ? "1" : "0") + tick());
      if ((wp == 'V' && GetKeyState(VK_CONTROL) < 0) || (wp == VK_INSERT && GetKeyState(VK_SHIFT) < 0))
        logClipboard(hwnd);
      break;  // on to DefWindowProc: Alt+F4 and Alt+Space keep working
    case WM_CHAR:
      logEvent("CHAR " + hex((unsigned)wp, 2) + tick());
      return 0;
    case WM_PASTE:
      logClipboard(hwnd);
      return 0;
    case WM_ACTIVATE:
      logEvent(LOWORD(wp) == WA_INACTIVE ? "ACTIVE 0" : "ACTIVE 1");
      break;
    case WM_HOTKEY:
      logEvent("HOTKEY id=" + std::to_string((int)wp) + tick());
      return 0;
    case WM_QUERYENDSESSION:
      logEvent("ENDSESSION query lparam=" + hex8((unsigned)lp));
      return TRUE;
    case WM_ENDSESSION:
      logEvent("ENDSESSION end=" + std::to_string((int)wp) + " lparam=" + hex8((unsigned)lp));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      std::wstring title = L"probe " + g_name;
      TextOutW(dc, 8, 8, title.c_str(), (int)title.size());
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_CLOSE:
      logEvent("CLOSE");
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// Keyvane's texts are narrow literals compiled to CP949: they read right only where the
// system code page is 949, which the tests' Wine locale must provide.
std::string startLine() {
  const char* literal = "한글";
  wchar_t wide[8] = {};
  MultiByteToWideChar(CP_ACP, 0, literal, -1, wide, 8);
  bool ok = lstrcmpW(wide, L"한글") == 0;
  return "START acp=" + std::to_string(GetACP()) + " literal=" + (ok ? "ok" : "wrong");
}

std::wstring baseNameNoExe(const std::wstring& path) {
  std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
  size_t dot = name.find_last_of(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  g_logDir = logDir();
  wchar_t exe[MAX_PATH], cwd[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  GetCurrentDirectoryW(MAX_PATH, cwd);
  const wchar_t* cmdline = GetCommandLineW();
  appendLine(L"launch.log",
             "LAUNCH exe=\"" + utf8(exe) + "\" cwd=\"" + utf8(cwd) + "\" cmdline=" + utf8(argumentsOf(cmdline)));

  FILETIME created, exited, kernel, user;
  if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
    const unsigned long long since1601 =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32 | created.dwLowDateTime) / 10000;
    appendLine(L"launch.log", "STARTED created_ms=" + std::to_string(since1601 - 11644473600000ULL) + " exe=\"" +
                                  utf8(exe) + "\" cmdline=" + utf8(argumentsOf(cmdline)));
  }

  g_name = baseNameNoExe(exe);
  bool exitAtOnce = lstrcmpiW(g_name.c_str(), L"iexplore") == 0;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(cmdline, &argc);
  for (int i = 1; argv && i < argc; ++i) {
    std::wstring a = argv[i];
    if (a == L"--exit")
      exitAtOnce = true;
    else if (a == L"--name" && i + 1 < argc)
      g_name = argv[++i];
    else if (a == L"--hotkey" && i + 2 < argc) {
      g_hotkeyMods = (int)wcstoul(argv[i + 1], nullptr, 0);
      g_hotkeyVk = (int)wcstoul(argv[i + 2], nullptr, 0);
      i += 2;
    }
  }
  LocalFree(argv);
  if (exitAtOnce) return 0;

  WNDCLASSW wc = {};
  wc.lpfnWndProc = probeProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  wc.lpszClassName = L"KeyvaneProbe";
  RegisterClassW(&wc);
  std::wstring title = L"probe " + g_name;
  HWND hwnd = CreateWindowW(L"KeyvaneProbe", title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 280, 120,
                            nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  logEvent(startLine());
  if (g_hotkeyMods >= 0 && !RegisterHotKey(hwnd, 1, g_hotkeyMods, g_hotkeyVk))
    logEvent("HOTKEY-FAILED err=" + std::to_string(GetLastError()));
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
