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
// With --form the window holds two edit boxes and a default button, as a login form does
// (Tab moves between them, Enter presses the button), and also logs:
//   FORMKEY vk=0x09 box=1 ctrl=0 shift=0 alt=0 win=0 us=<microseconds>
//                                   a key down in box 1 or 2, with the modifiers held then;
//                                   us is QueryPerformanceCounter time, shared by all programs
//   CLIPBOARD us=<microseconds>     the clipboard changed
//   SUBMIT box1="<text>" box2="<text>"   the button was pressed; both boxes are then emptied
//                                   and box 1 gets the focus again
//   SIZE type=2 w=.. h=..           WM_SIZE (0 restored, 1 minimised, 2 maximised)
// With --copy-at-key VK TEXT as well, every key VK down in a box puts TEXT on the
// clipboard, as another program's copy made while a key sequence plays, and logs
//   COPIED us=<microseconds>
//   SYSCOMMAND 0xF030               WM_SYSCOMMAND, low four bits cleared
//   MOUSE ldown x=.. y=.. t=<tick>  a button event on the probe's button "누름" (not in --form; ldown lup
//                                   ldblclk rdown rup), x and y on the screen
//   BUTTON clicked t=<tick>         that button's BN_CLICKED
// With --hold FILE it opens that file with no sharing before its window shows and keeps it
// open until it ends, as an editor holding a document does (HOLD ok, or HOLD err=<error>).
// N is the --name argument, or the exe's own name without ".exe" (a copy named memo.exe
// is "probe memo").  With --exit, or when running as iexplore.exe, it only logs the
// launch and exits: that is how it stands in for browsers and folder windows.
//
// Wide (W) calls throughout: the log is right whatever the system code page is.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace {

std::wstring g_logDir;
std::wstring g_name;
std::wstring g_hold;  // --hold: the file kept open
int g_hotkeyMods = -1;
int g_hotkeyVk = 0;
bool g_form = false;
HWND g_box[2] = {};
HWND g_lastFocus = nullptr;
int g_copyAtKey = 0;
std::wstring g_copyText;

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

// The button the mouse tests click; its own procedure logs the button events it gets.
constexpr int kButtonId = 201;
WNDPROC g_buttonProc = nullptr;

LRESULT CALLBACK buttonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const char* name = nullptr;
  switch (msg) {
    case WM_LBUTTONDOWN:
      name = "ldown";
      break;
    case WM_LBUTTONUP:
      name = "lup";
      break;
    case WM_LBUTTONDBLCLK:
      name = "ldblclk";
      break;
    case WM_RBUTTONDOWN:
      name = "rdown";
      break;
    case WM_RBUTTONUP:
      name = "rup";
      break;
  }
  if (name) {
    POINT pt = {(short)LOWORD(lp), (short)HIWORD(lp)};
    ClientToScreen(hwnd, &pt);
    logEvent(std::string("MOUSE ") + name + " x=" + std::to_string(pt.x) + " y=" + std::to_string(pt.y) + tick());
  }
  return CallWindowProcW(g_buttonProc, hwnd, msg, wp, lp);
}

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

// ---- --form: two boxes and a default button
long long microseconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return (long long)(now.QuadPart / (double)frequency.QuadPart * 1e6);
}

std::wstring boxText(HWND box) {
  wchar_t buf[512] = {};
  GetWindowTextW(box, buf, 512);
  return buf;
}

void createForm(HWND hwnd, HINSTANCE instance) {
  for (int i = 0; i < 2; ++i)
    g_box[i] = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                               8 + 130 * i, 30, 122, 22, hwnd, (HMENU)(INT_PTR)(101 + i), instance, nullptr);
  CreateWindowW(L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 8, 58, 80, 24, hwnd,
                (HMENU)IDOK, instance, nullptr);
  g_lastFocus = g_box[0];
  AddClipboardFormatListener(hwnd);
}

void logFormKey(const MSG& msg) {
  const int box = msg.hwnd == g_box[0] ? 1 : msg.hwnd == g_box[1] ? 2 : 0;
  auto down = [](int vk) { return GetKeyState(vk) < 0 ? "1" : "0"; };
  logEvent("FORMKEY vk=" + hex((unsigned)msg.wParam, 2) + " box=" + std::to_string(box) + " ctrl=" + down(VK_CONTROL) +
           " shift=" + down(VK_SHIFT) + " alt=" + down(VK_MENU) +
           " win=" + (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0 ? "1" : "0") +
           " us=" + std::to_string(microseconds()));
}

// --copy-at-key: the text on the clipboard, as a program's Copy does it.
void copyText(HWND hwnd) {
  for (int attempt = 0; attempt < 50 && !OpenClipboard(hwnd); ++attempt) Sleep(10);
  EmptyClipboard();
  const size_t bytes = (g_copyText.size() + 1) * sizeof(wchar_t);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
  memcpy(GlobalLock(h), g_copyText.c_str(), bytes);
  GlobalUnlock(h);
  SetClipboardData(CF_UNICODETEXT, h);
  CloseClipboard();
  logEvent("COPIED us=" + std::to_string(microseconds()));
}

// A form's answers to the messages a dialog box would handle; false: not handled.
bool formMessage(HWND hwnd, UINT msg, WPARAM wp, LRESULT& result) {
  switch (msg) {
    case WM_CLIPBOARDUPDATE:
      logEvent("CLIPBOARD us=" + std::to_string(microseconds()));
      result = 0;
      return true;
    case DM_GETDEFID:
      result = MAKELRESULT(IDOK, DC_HASDEFID);
      return true;
    case WM_COMMAND:
      if (LOWORD(wp) != IDOK) return false;
      logEvent("SUBMIT box1=\"" + escaped(boxText(g_box[0])) + "\" box2=\"" + escaped(boxText(g_box[1])) + "\"");
      SetWindowTextW(g_box[0], L"");
      SetWindowTextW(g_box[1], L"");
      SetFocus(g_box[0]);
      result = 0;
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) g_lastFocus = focus;
        return false;
      }
      logEvent("ACTIVE 1");
      SetFocus(g_lastFocus);
      result = 0;
      return true;
    case WM_SETFOCUS:
      SetFocus(g_lastFocus);
      result = 0;
      return true;
  }
  return false;
}

LRESULT CALLBACK probeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT formResult = 0;
  if (g_form && formMessage(hwnd, msg, wp, formResult)) return formResult;
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
    case WM_SIZE:
      logEvent("SIZE type=" + std::to_string((int)wp) + " w=" + std::to_string(LOWORD(lp)) +
               " h=" + std::to_string(HIWORD(lp)));
      break;
    case WM_SYSCOMMAND:
      logEvent("SYSCOMMAND " + hex((unsigned)(wp & 0xFFF0), 4));
      break;
    case WM_COMMAND:
      if (LOWORD(wp) == kButtonId && HIWORD(wp) == BN_CLICKED) logEvent("BUTTON clicked" + tick());
      return 0;
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
    else if (a == L"--form")
      g_form = true;
    else if (a == L"--copy-at-key" && i + 2 < argc) {
      g_copyAtKey = (int)wcstoul(argv[i + 1], nullptr, 0);
      g_copyText = argv[i + 2];
      i += 2;
    } else if (a == L"--name" && i + 1 < argc)
      g_name = argv[++i];
    else if (a == L"--hold" && i + 1 < argc)
      g_hold = argv[++i];
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
  if (g_form) {
    createForm(hwnd, instance);
  } else {  // the form's boxes take the place of the button
    HWND button = CreateWindowW(L"BUTTON", L"누름", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 180, 40, 80, 30, hwnd,
                                (HMENU)(INT_PTR)kButtonId, instance, nullptr);
    g_buttonProc = (WNDPROC)SetWindowLongPtrW(button, GWLP_WNDPROC, (LONG_PTR)buttonProc);
  }
  logEvent(startLine());
  if (!g_hold.empty()) {
    // Never closed: the system closes it when the probe ends.
    const HANDLE held =
        CreateFileW(g_hold.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    logEvent(held == INVALID_HANDLE_VALUE ? "HOLD err=" + std::to_string(GetLastError()) : std::string("HOLD ok"));
  }
  if (g_hotkeyMods >= 0 && !RegisterHotKey(hwnd, 1, g_hotkeyMods, g_hotkeyVk))
    logEvent("HOTKEY-FAILED err=" + std::to_string(GetLastError()));
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (g_form) {
      if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && msg.hwnd != hwnd) logFormKey(msg);
      if (msg.message == WM_KEYDOWN && msg.hwnd != hwnd && g_copyAtKey && (int)msg.wParam == g_copyAtKey)
        copyText(hwnd);
      if (IsDialogMessageW(hwnd, &msg)) continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
