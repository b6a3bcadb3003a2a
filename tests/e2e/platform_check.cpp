// Checks the real platform layer against what platform/*.h promises, on Windows or Wine.
// Prints "PASS name" or "FAIL name: detail" per check and exits with 1 when any check failed.
//
//   platform_check.exe                          every check below
//   platform_check.exe wait-hotkey <seconds>    registers Ctrl+Win+F5, prints READY, waits for it
//   platform_check.exe set-run <name> <value> [hkcu]   writes the Run value (HKLM unless hkcu)
//   platform_check.exe del-run <name> [hkcu]           deletes it
//   platform_check.exe get-run <name> [hkcu]           prints VALUE=<value> or MISSING
//   platform_check.exe controls                        a dialog for real clicks; prints its events
//   platform_check.exe widgets | layout <seconds>      every kind of control (platform_widgets.cpp)
//   platform_check.exe message-box | error-box         shows a box, prints RESULT=<button>
//   platform_check.exe sleep <ms>                      idles (a process to terminate)
//   platform_check.exe pumping-wait <ms>               the program's PumpingWait, with a timer
//                                                      ticking meanwhile; prints its figures
//   platform_check.exe spin-wait <ms>                  the same wait done by spinning, to compare
//   platform_check.exe mixer                           the volume kinds against the system's mixer
//   platform_check.exe key-sequence <info>             plays a key sequence into the foreground
//                                                      window; prints when it started and ended
//   platform_check.exe hold-clipboard <text> <ms>      puts text on the clipboard and keeps the
//                                                      clipboard open for ms (prints HELD), as
//                                                      another program may; then prints the
//                                                      clipboard's text as CLIPBOARD=<text>
//   platform_check.exe keep-clipboard <rounds>        what keeping the clipboard costs a key
//                                                      sequence: saves what is there, puts
//                                                      three texts on it, puts it back; prints
//                                                      KEEP formats= bytes= save_ms= restore_ms=
//                                                      (medians), the best and the worst
//                                                      round's total (with the sequence
//                                                      number reads)
//   platform_check.exe tray <seconds> | tray-remove <hwnd> | taskbar-created
//                                                      the tray icon (platform_tray.cpp)
// A copy named plat_echo.exe appends its command line to echo.log beside it and exits.
#include "platform/win32/text_win32.h"
// text_win32.h first: it removes the Windows macros that collide with platform names.
#include <commctrl.h>
#include <mmsystem.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actions/AMixer.h"
#include "actions/KeySequence.h"
#include "actions/UnitExcuteFunction.h"
#include "core/UnitFunction.h"
#include "platform/clipboard.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/input.h"
#include "platform/msgloop.h"
#include "platform/power.h"
#include "platform/processes.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/shell.h"

// platform_widgets.cpp
int WidgetsByHand();
int WidgetLayout(int seconds);
// platform_tray.cpp
int TrayByHand(int seconds);
int TrayRemove(const std::string& window);
int TaskbarCreated();
void CheckTrayIcons(const std::function<void(const std::string&, bool, const std::string&)>& report);

using plat::win32::Narrow;
using plat::win32::Wide;

namespace {

int g_failures = 0;

void Report(const std::string& name, bool ok, const std::string& detail = std::string()) {
  if (ok) {
    std::printf("PASS %s\n", name.c_str());
  } else {
    ++g_failures;
    std::printf("FAIL %s: %s\n", name.c_str(), detail.c_str());
  }
  std::fflush(stdout);
}

std::string Str(long long n) { return std::to_string(n); }

// Bytes as hex, for details about texts that may not print.
std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string Quote(const std::string& bytes) { return "\"" + Hex(bytes) + "\""; }

HWND Hwnd(plat::WindowHandle h) { return reinterpret_cast<HWND>(h); }

double CpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Dispatches messages the way the program's pumping wait does, until done() or timeoutMs.
// Conditions that no message announces (a file appearing, another process) need a pollMs.
bool PumpUntil(std::uint32_t timeoutMs, const std::function<bool()>& done, std::uint32_t pollMs = 0xFFFFFFFF) {
  const std::uint32_t start = plat::GetTickCount();
  for (;;) {
    plat::ProcessPendingMessages();
    if (done()) return true;
    const std::uint32_t passed = plat::GetTickCount() - start;
    if (passed >= timeoutMs) return false;
    plat::WaitForMessage(std::min(timeoutMs - passed, pollMs));
  }
}

bool PollUntil(std::uint32_t timeoutMs, const std::function<bool()>& done) { return PumpUntil(timeoutMs, done, 50); }

void PumpFor(std::uint32_t ms) {
  PumpUntil(ms, [] { return false; });
}

// The arguments as CP949 texts, whatever the system code page.
std::vector<std::string> Arguments() {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 0; i < count; ++i) args.push_back(Narrow(list[i]));
  LocalFree(list);
  return args;
}

struct Seen {
  std::string who;
  unsigned msg;
  std::uintptr_t wParam;
  std::intptr_t lParam;
};

// A form that logs the messages its own handling gets.
class LoggingForm : public plat::Form {
 public:
  LoggingForm(std::vector<Seen>& log, plat::FormStyle style) : Form("플랫폼 점검", style, 0, 0), log_(log) {}
  void HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) override {
    log_.push_back({"form", msg, wParam, lParam});
    Form::HandleMessage(msg, wParam, lParam);
  }
  int refuseCloses = 0;

 protected:
  void FormCloseQuery(bool& canClose) override {
    if (refuseCloses > 0) {
      --refuseCloses;
      canClose = false;
    }
  }

 private:
  std::vector<Seen>& log_;
};

plat::MessageHook LogHook(std::vector<Seen>& log) {
  return [&log](unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
    log.push_back({"hook", msg, wParam, lParam});
  };
}

// Where a message first shows up in the log for who; -1 when never.
int IndexOf(const std::vector<Seen>& log, const std::string& who, unsigned msg) {
  for (std::size_t i = 0; i < log.size(); ++i)
    if (log[i].who == who && log[i].msg == msg) return static_cast<int>(i);
  return -1;
}

int CountOf(const std::vector<Seen>& log, const std::string& who, unsigned msg) {
  int n = 0;
  for (const Seen& s : log) n += s.who == who && s.msg == msg;
  return n;
}

constexpr unsigned kCtrlWin = plat::kModControl | plat::kModWin;
constexpr unsigned kMsgProbe = WM_APP + 7;

// ---------------------------------------------------------------- hotkeys and hooks

void CheckHotkeysAndHooks() {
  std::vector<Seen> log;
  LoggingForm host(log, plat::FormStyle::HiddenHost);
  const HWND h = Hwnd(host.Handle());
  host.Show();
  const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE), exStyle = GetWindowLongPtrW(h, GWL_EXSTYLE);
  Report("hidden_host_window", IsWindow(h) && !IsWindowVisible(h) && (style & WS_POPUP) && (exStyle & WS_EX_TOOLWINDOW),
         "window=" + Str(IsWindow(h)) + " visible=" + Str(IsWindowVisible(h)) + " style=" + Str(style) +
             " exstyle=" + Str(exStyle));

  const LONG_PTR ownProc = GetWindowLongPtrW(h, GWLP_WNDPROC);
  plat::HookWindow(host.Handle(), LogHook(log));
  Report("hook_replaces_procedure", GetWindowLongPtrW(h, GWLP_WNDPROC) != ownProc, "window procedure unchanged");

  log.clear();
  SendMessageW(h, kMsgProbe, 11, 22);
  const int hookAt = IndexOf(log, "hook", kMsgProbe), formAt = IndexOf(log, "form", kMsgProbe);
  Report("hook_sees_message_before_form",
         hookAt >= 0 && formAt > hookAt && log[hookAt].wParam == 11 && log[hookAt].lParam == 22,
         "hook at " + Str(hookAt) + ", form at " + Str(formAt));

  log.clear();
  host.refuseCloses = 1;
  SendMessageW(h, WM_CLOSE, 0, 0);
  Report("close_goes_to_form_not_default",
         IsWindow(h) && IndexOf(log, "hook", WM_CLOSE) == 0 && IndexOf(log, "form", WM_CLOSE) == 1,
         "window=" + Str(IsWindow(h)) + " hook=" + Str(IndexOf(log, "hook", WM_CLOSE)) +
             " form=" + Str(IndexOf(log, "form", WM_CLOSE)));

  Report("register_hotkey", plat::RegisterHotKey(host.Handle(), 7, kCtrlWin, VK_F5),
         "Ctrl+Win+F5 refused, error " + Str(GetLastError()));
  Report("register_taken_combination_refused", !plat::RegisterHotKey(host.Handle(), 8, kCtrlWin, VK_F5),
         "a second registration of Ctrl+Win+F5 was accepted");
  Report("register_used_id_refused", !plat::RegisterHotKey(host.Handle(), 7, kCtrlWin, VK_F6),
         "id 7 was accepted twice");
  Report("register_id_C000_refused", !plat::RegisterHotKey(host.Handle(), 0xC000, kCtrlWin, VK_F7),
         "id 0xC000 accepted");
  const bool highest = plat::RegisterHotKey(host.Handle(), 0xBFFF, kCtrlWin, VK_F7);
  Report("register_id_BFFF_accepted", highest && plat::UnregisterHotKey(host.Handle(), 0xBFFF),
         "id 0xBFFF refused or not released");
  Report("unregister_unknown_id_refused", !plat::UnregisterHotKey(host.Handle(), 99), "accepted");

  log.clear();
  const LPARAM keys = MAKELPARAM(MOD_CONTROL | MOD_WIN, VK_F5);
  PostMessageW(h, WM_HOTKEY, 7, keys);
  Report("posted_hotkey_reaches_hook_not_before_pump", CountOf(log, "hook", WM_HOTKEY) == 0,
         "the hook ran before the queue was pumped");
  plat::ProcessPendingMessages();
  const int hk = IndexOf(log, "hook", WM_HOTKEY), hkForm = IndexOf(log, "form", WM_HOTKEY);
  Report("posted_hotkey_reaches_hook", hk >= 0 && log[hk].wParam == 7 && log[hk].lParam == keys && hkForm > hk,
         "hook at " + Str(hk) + " form at " + Str(hkForm));

  // Input injected by this process goes through the same hotkey check as the keyboard's.
  log.clear();
  const std::uint8_t sequence[] = {VK_CONTROL, VK_LWIN, VK_F5};
  for (std::uint8_t vk : sequence) plat::SendKeyEvent(vk, plat::ScanCodeOf(vk), 0);
  for (int i = 2; i >= 0; --i) plat::SendKeyEvent(sequence[i], plat::ScanCodeOf(sequence[i]), plat::kKeyEventKeyUp);
  const bool injected = PumpUntil(2000, [&] { return CountOf(log, "hook", WM_HOTKEY) > 0; });
  Report("injected_keys_fire_hotkey", injected && log[IndexOf(log, "hook", WM_HOTKEY)].wParam == 7,
         "no WM_HOTKEY within 2 s after SendKeyEvent Ctrl+Win+F5");

  Report("scan_codes",
         plat::ScanCodeOf('A') == 0x1E && plat::ScanCodeOf(VK_RETURN) == 0x1C && plat::ScanCodeOf(VK_F5) == 0x3F,
         "A=" + Str(plat::ScanCodeOf('A')) + " Return=" + Str(plat::ScanCodeOf(VK_RETURN)) +
             " F5=" + Str(plat::ScanCodeOf(VK_F5)));

  plat::UnhookWindow(host.Handle());
  log.clear();
  SendMessageW(h, kMsgProbe, 1, 2);
  Report("unhook_restores_procedure",
         GetWindowLongPtrW(h, GWLP_WNDPROC) == ownProc && CountOf(log, "hook", kMsgProbe) == 0 &&
             CountOf(log, "form", kMsgProbe) == 1,
         "hook calls " + Str(CountOf(log, "hook", kMsgProbe)) + ", form calls " + Str(CountOf(log, "form", kMsgProbe)));

  Report("unregister_hotkey", plat::UnregisterHotKey(host.Handle(), 7) && !plat::UnregisterHotKey(host.Handle(), 7),
         "release of id 7 failed or happened twice");
  Report("released_combination_free_again",
         plat::RegisterHotKey(host.Handle(), 9, kCtrlWin, VK_F5) && plat::UnregisterHotKey(host.Handle(), 9),
         "Ctrl+Win+F5 still taken");

  // A destroyed window: its hook sees WM_DESTROY, and its hotkeys and ids are given up.
  std::vector<Seen> gone;
  auto doomed = std::make_unique<LoggingForm>(gone, plat::FormStyle::HiddenHost);
  const plat::WindowHandle doomedHandle = doomed->Handle();
  plat::HookWindow(doomedHandle, LogHook(gone));
  plat::RegisterHotKey(doomedHandle, 3, kCtrlWin, VK_F8);
  doomed.reset();
  Report("hook_sees_destroy", IndexOf(gone, "hook", WM_DESTROY) >= 0 && !IsWindow(Hwnd(doomedHandle)),
         "no WM_DESTROY at the hook");
  Report("destroyed_window_releases_hotkey",
         plat::RegisterHotKey(host.Handle(), 3, kCtrlWin, VK_F8) && plat::UnregisterHotKey(host.Handle(), 3),
         "Ctrl+Win+F8 still taken after its window was destroyed");
}

// ---------------------------------------------------------------- message loop and timers

struct PostLater {
  HWND window;
  DWORD delayMs;
};

DWORD WINAPI PostLaterThread(void* param) {
  const PostLater* p = static_cast<PostLater*>(param);
  Sleep(p->delayMs);
  PostMessageW(p->window, kMsgProbe, 0, 0);
  return 0;
}

void CheckMessageLoop() {
  std::vector<Seen> log;
  LoggingForm host(log, plat::FormStyle::HiddenHost);
  const HWND h = Hwnd(host.Handle());
  plat::ProcessPendingMessages();

  const double cpu0 = CpuMs(), t0 = NowMs();
  const std::uint32_t tick0 = plat::GetTickCount();
  plat::WaitForMessage(200);
  const double wall = NowMs() - t0, cpu = CpuMs() - cpu0;
  const std::uint32_t ticks = plat::GetTickCount() - tick0;
  Report("wait_sleeps_full_timeout", ticks >= 200 && wall >= 195 && wall < 1000,
         "ticks=" + Str(ticks) + " wall_ms=" + Str(static_cast<long long>(wall)) +
             " queue=" + Str(GetQueueStatus(QS_ALLINPUT)));
  Report("wait_uses_little_cpu", cpu < 40, "cpu_ms=" + Str(static_cast<long long>(cpu)) + " over 200 ms");

  PostMessageW(h, kMsgProbe, 0, 0);
  double t1 = NowMs();
  plat::WaitForMessage(2000);
  double took = NowMs() - t1;
  Report("wait_returns_for_waiting_message", took < 150, "took " + Str(static_cast<long long>(took)) + " ms");
  // A message that was looked at but left in the queue still counts as waiting.
  MSG peeked;
  PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE);
  t1 = NowMs();
  plat::WaitForMessage(2000);
  took = NowMs() - t1;
  Report("wait_returns_for_already_seen_message", took < 150, "took " + Str(static_cast<long long>(took)) + " ms");
  plat::ProcessPendingMessages();
  Report("pending_message_dispatched", CountOf(log, "form", kMsgProbe) == 1,
         "form got it " + Str(CountOf(log, "form", kMsgProbe)) + " times");

  PostLater later = {h, 150};
  HANDLE thread = CreateThread(nullptr, 0, &PostLaterThread, &later, 0, nullptr);
  t1 = NowMs();
  plat::WaitForMessage(3000);
  took = NowMs() - t1;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  plat::ProcessPendingMessages();
  Report("wait_wakes_when_message_arrives", took >= 120 && took < 1000,
         "woke after " + Str(static_cast<long long>(took)) + " ms for a message posted after 150 ms");

  int fired = 0;
  double firedAfter = 0;
  const double start = NowMs();
  plat::StartOneShotTimer(60, [&] {
    ++fired;
    firedAfter = NowMs() - start;
  });
  PumpFor(400);
  Report("one_shot_timer_fires_once", fired == 1 && firedAfter >= 50,
         "fired " + Str(fired) + " times, after " + Str(static_cast<long long>(firedAfter)) + " ms");

  int cancelledRuns = 0;
  const unsigned cancelled = plat::StartOneShotTimer(50, [&] { ++cancelledRuns; });
  plat::CancelTimer(cancelled);
  PumpFor(250);
  Report("cancelled_timer_never_fires", cancelled != 0 && cancelledRuns == 0,
         "id " + Str(cancelled) + " ran " + Str(cancelledRuns) + " times");

  // The timer is gone before its function runs: a function that pumps for longer than the
  // period must not see its own timer again.
  int nested = 0;
  plat::StartOneShotTimer(20, [&] {
    if (++nested == 1) PumpFor(150);
  });
  PumpFor(400);
  Report("timer_killed_before_it_runs", nested == 1, "ran " + Str(nested) + " times");

  plat::QuitMessageLoop(4);
  plat::ProcessPendingMessages();
  // A pumping wait between the quit and the end of the loop must still sleep.
  const double q0 = NowMs(), c0 = CpuMs();
  int rounds = 0;
  for (; NowMs() - q0 < 300; ++rounds) {
    plat::ProcessPendingMessages();
    plat::WaitForMessage(static_cast<std::uint32_t>(300 - (NowMs() - q0)) + 1);
  }
  Report("wait_sleeps_while_quit_pending", rounds <= 3 && CpuMs() - c0 < 40,
         Str(rounds) + " rounds, cpu_ms=" + Str(static_cast<long long>(CpuMs() - c0)) + " in 300 ms");
  // A timer falling due while the quit waits still runs, and then the wait sleeps again:
  // a due timer left in the queue would wake every wait at once.
  int dueRuns = 0;
  plat::StartOneShotTimer(50, [&] { ++dueRuns; });
  const double d0 = NowMs(), dc0 = CpuMs();
  int dueRounds = 0;
  for (; NowMs() - d0 < 500; ++dueRounds) {
    plat::ProcessPendingMessages();
    plat::WaitForMessage(static_cast<std::uint32_t>(500 - (NowMs() - d0)) + 1);
  }
  Report("due_timer_runs_while_quit_pending", dueRuns == 1, "ran " + Str(dueRuns) + " times");
  Report("wait_sleeps_with_due_timer_and_quit", dueRounds <= 6 && CpuMs() - dc0 < 60,
         Str(dueRounds) + " rounds, cpu_ms=" + Str(static_cast<long long>(CpuMs() - dc0)) + " in 500 ms");
  // Should the quit have been lost, this one ends the loop instead.
  const unsigned fallback = plat::StartOneShotTimer(5000, [] { plat::QuitMessageLoop(99); });
  const int first = plat::RunMessageLoop();
  plat::CancelTimer(fallback);
  Report("quit_survives_pending_pump", first == 4, "RunMessageLoop returned " + Str(first));

  plat::StartOneShotTimer(30, [] { plat::QuitMessageLoop(5); });
  const int second = plat::RunMessageLoop();
  Report("quit_from_timer_ends_loop", second == 5, "RunMessageLoop returned " + Str(second));
}

// ---------------------------------------------------------------- files

std::string AllBytes() {
  static const char text[] = "한글 텍스트 줄\r\n빈 값\0와 외톨이 CR\r끝";
  std::string bytes(text, sizeof(text) - 1);
  bytes += std::string("\0\r\0\n\r\r\n", 7);
  for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
  bytes += "\xB0\xA1";  // 가, so the last byte is not a lone lead byte
  return bytes;
}

// The names in a folder, for checks that a save left nothing behind.
std::vector<std::wstring> FolderNames(const std::string& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((Wide(folder) + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(data.cFileName);
  while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

std::wstring Joined(const std::vector<std::wstring>& names) {
  std::wstring all;
  for (const auto& n : names) all += n + L"|";
  return all;
}

void CheckFiles() {
  const std::string folder = plat::ProgramFolder(), path = plat::ProgramPath();
  const std::wstring wideExe = [] {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2);
    return std::wstring(buffer, n);
  }();
  Report("program_path", Wide(path) == wideExe && path.compare(0, folder.size(), folder) == 0,
         "path " + Quote(path) + " folder " + Quote(folder));
  Report("program_folder_ends_in_separator",
         !folder.empty() && folder.back() == '\\' && path.find('\\', folder.size()) == std::string::npos,
         Quote(folder));

  const std::string file = folder + "시험 파일.dat";
  const std::string bytes = AllBytes();
  std::string error;
  const std::vector<std::wstring> namesBefore = FolderNames(folder);
  const bool written = plat::ReplaceFile(file, bytes, error);
  std::string back;
  const bool read = plat::ReadWholeFile(file, back, error);
  Report("replace_then_read_round_trip", written && read && back == bytes,
         "written=" + Str(written) + " read=" + Str(read) + " size " + Str(back.size()) + "/" + Str(bytes.size()));
  std::vector<std::wstring> namesAfter = FolderNames(folder);
  namesAfter.erase(std::remove(namesAfter.begin(), namesAfter.end(), L"시험 파일.dat"), namesAfter.end());
  Report("replace_leaves_no_temp", namesAfter == namesBefore,
         Str(namesAfter.size()) + " names in the folder, " + Str(namesBefore.size()) + " before");
  // The name is Korean: the file must be there under its Unicode name.
  Report("korean_file_name", GetFileAttributesW((Wide(folder) + L"시험 파일.dat").c_str()) != INVALID_FILE_ATTRIBUTES,
         "file not found by its UTF-16 name");

  plat::ReplaceFile(file, "짧은 내용", error);
  plat::ReadWholeFile(file, back, error);
  Report("replace_shorter_truncates", back == "짧은 내용", Quote(back));

  plat::ReplaceFile(file, std::string(), error);
  const bool readEmpty = plat::ReadWholeFile(file, back, error);
  Report("replace_with_empty", readEmpty && back.empty(), "size " + Str(back.size()));

  // A save that can neither replace the file nor write into it (another program holds it
  // open sharing nothing) leaves the previous file as it was, and nothing beside it.
  plat::ReplaceFile(file, bytes, error);
  {
    const std::vector<std::wstring> names = FolderNames(folder);
    HANDLE exclusive = CreateFileW(Wide(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string saveError;
    const bool blocked = plat::ReplaceFile(file, "새 내용", saveError);
    CloseHandle(exclusive);
    plat::ReadWholeFile(file, back, error);
    Report("failed_replace_keeps_target",
           exclusive != INVALID_HANDLE_VALUE && !blocked && back == bytes && !saveError.empty() &&
               FolderNames(folder) == names,
           "replaced=" + Str(blocked) + " intact=" + Str(back == bytes) + " names " +
               Narrow(Joined(FolderNames(folder))) + " before " + Narrow(Joined(names)));
  }

  // A user's own file named like a temporary one is never touched.
  const std::string userTmp = file + ".tmp";
  plat::ReplaceFile(userTmp, "사용자의 파일", error);
  const bool savedBesideUserTmp = plat::ReplaceFile(file, "새 내용", error);
  std::string userBack;
  plat::ReadWholeFile(userTmp, userBack, error);
  Report("replace_spares_users_tmp_file", savedBesideUserTmp && userBack == "사용자의 파일", Quote(userBack));
  DeleteFileW(Wide(userTmp).c_str());

  // The file is replaced, not recreated: it keeps its attributes.
  SetFileAttributesW(Wide(file).c_str(), FILE_ATTRIBUTE_HIDDEN);
  const bool savedHidden = plat::ReplaceFile(file, bytes, error);
  const DWORD attributes = GetFileAttributesW(Wide(file).c_str());
  plat::ReadWholeFile(file, back, error);
  Report("replace_keeps_hidden_attribute",
         savedHidden && back == bytes && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN),
         "saved=" + Str(savedHidden) + " attributes " + Str(attributes));
  SetFileAttributesW(Wide(file).c_str(), FILE_ATTRIBUTE_NORMAL);

  // An editor holds the file open for reading and writing, sharing both but not deletion.
  {
    plat::ReplaceFile(file, "옛 내용", error);
    HANDLE held = CreateFileW(Wide(file).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    // What the system call itself answers, for the record.
    const std::vector<std::wstring> namesBeforeProbe = FolderNames(folder);
    const std::wstring probe = Wide(folder) + L"replace-probe.tmp";
    HANDLE p = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(p);
    const BOOL raw =
        ReplaceFileW(Wide(file).c_str(), probe.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    const DWORD rawError = GetLastError();
    std::string rawBack;
    plat::ReadWholeFile(file, rawBack, error);
    DeleteFileW(probe.c_str());
    std::printf("INFO replacefile_on_held_file result=%d error=%lu target_intact=%d names_added=%d\n", raw,
                static_cast<unsigned long>(rawError), rawBack == "옛 내용",
                static_cast<int>(FolderNames(folder).size() - namesBeforeProbe.size()));
    if (raw) plat::ReplaceFile(file, "옛 내용", error);

    std::string heldError;
    const bool savedHeld = plat::ReplaceFile(file, "새 내용", heldError);
    std::string backup;
    plat::ReadWholeFile(file, back, error);
    plat::ReadWholeFile(file + ".bak", backup, error);
    // The holder sees the new bytes through its own handle.
    char seen[32] = {};
    DWORD got = 0;
    SetFilePointer(held, 0, nullptr, FILE_BEGIN);
    ReadFile(held, seen, sizeof(seen), &got, nullptr);
    CloseHandle(held);
    Report("replace_held_file_in_place_with_backup",
           held != INVALID_HANDLE_VALUE && savedHeld && back == "새 내용" && backup == "옛 내용" &&
               std::string(seen, got) == "새 내용",
           "saved=" + Str(savedHeld) + " " + Quote(heldError) + " file " + Quote(back) + " backup " + Quote(backup));
    DeleteFileW(Wide(file + ".bak").c_str());
    plat::ReplaceFile(file, bytes, error);
  }

  const std::string nowhere = folder + "없는 폴더\\파일.txt";
  error.clear();
  const bool wroteNowhere = plat::ReplaceFile(nowhere, "x", error);
  Report("replace_into_missing_folder_fails", !wroteNowhere && !error.empty(), "result " + Str(wroteNowhere));

  error.clear();
  std::string untouched = "keep";
  const bool readMissing = plat::ReadWholeFile(folder + "없는 파일.txt", untouched, error);
  Report("read_missing_file_fails_with_reason", !readMissing && !error.empty() && untouched == "keep",
         "result " + Str(readMissing) + " error " + Quote(error));

  Report("file_exists",
         plat::FileExists(file) && !plat::FileExists(folder + "없는 파일.txt") &&
             !plat::FileExists(folder.substr(0, folder.size() - 1)),
         "file/missing/folder answers wrong");

  const std::string copy = folder + "복사본.dat";
  plat::ReplaceFile(copy, "old", error);
  const bool copied = plat::CopyWholeFile(file, copy);
  plat::ReadWholeFile(copy, back, error);
  Report("copy_replaces_target", copied && back == bytes, "copied=" + Str(copied));
  Report("copy_from_missing_fails", !plat::CopyWholeFile(folder + "없는 파일.txt", copy), "copy succeeded");
  DeleteFileW(Wide(copy).c_str());
  DeleteFileW(Wide(file).c_str());
}

// ---------------------------------------------------------------- profile files

std::string ReadText(const std::string& path);

// The real profile API. The A functions take the path in the system code page too, so when
// that is not CP949 the W functions carry the (Korean) path; the texts are ASCII then.
bool KoreanCodePage() { return GetACP() == 949; }

std::string RealRead(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& def) {
  if (KoreanCodePage()) {
    char buffer[1024];
    GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer, sizeof(buffer), file.c_str());
    return buffer;
  }
  wchar_t buffer[1024];
  GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(def).c_str(), buffer, 1024,
                           Wide(file).c_str());
  return Narrow(buffer);
}

// A null key erases the section; all null flushes the API's cache.
void RealWrite(const std::string& file, const char* section, const char* key, const char* value) {
  if (KoreanCodePage()) {
    WritePrivateProfileStringA(section, key, value, file.c_str());
    return;
  }
  auto wide = [](const char* text) { return text ? Wide(text, std::strlen(text)) : std::wstring(); };
  const std::wstring s = wide(section), k = wide(key), v = wide(value);
  WritePrivateProfileStringW(section ? s.c_str() : nullptr, key ? k.c_str() : nullptr, value ? v.c_str() : nullptr,
                             Wide(file).c_str());
}

// The Windows profile API reads and writes in the system code page, so the Korean cases
// only compare when that is CP949.
void CheckProfile() {
  const bool korean = KoreanCodePage();
  const std::string folder = plat::ProgramFolder();
  std::string error;

  struct Lookup {
    std::string section, key, def;
  };
  auto compare = [](const std::string& name, const std::string& file, const std::vector<Lookup>& lookups) {
    std::string detail;
    for (const Lookup& l : lookups) {
      const std::string ours = plat::ReadProfileString(file, l.section, l.key, l.def);
      const std::string real = RealRead(file, l.section, l.key, l.def);
      if (ours != real) detail += " [" + l.section + "]" + l.key + ": ours " + Quote(ours) + " real " + Quote(real);
    }
    Report(name, detail.empty(), detail);
  };

  // A hand-written file read through both.
  const std::string handFile = folder + "profile_hand.ini";
  std::string hand =
      "; comment\r\n"
      "[Main]\r\n"
      "Plain=value\r\n"
      "  Spaced  =   blanks around   \r\n"
      "Quoted=\"  in quotes  \"\r\n"
      "Single='single'\r\n"
      "Half=\"open only\r\n"
      "Empty=\r\n"
      "Dup=first\r\n"
      "dup=second\r\n"
      "\r\n"
      "[ Other ]\r\n"
      "Plain=other\r\n";
  if (korean) hand += "[설정]\r\n단축키=Ctrl+Win+F1 붙여넣기\r\n";
  plat::ReplaceFile(handFile, hand, error);
  std::vector<Lookup> lookups = {
      {"Main", "Plain", "d"},        {"main", "PLAIN", "d"},    {"MAIN", "spaced", "d"}, {"Main", "Quoted", "d"},
      {"Main", "Single", "d"},       {"Main", "Half", "d"},     {"Main", "Empty", "d"},  {"Main", "Dup", "d"},
      {"Main", "Missing", "기본값"}, {"Nowhere", "Plain", "d"}, {"Other", "plain", "d"}, {"other", "PLAIN", "d"},
  };
  if (korean) lookups.push_back({"설정", "단축키", "d"});
  compare("profile_reads_match_real_api", handFile, lookups);

  // Written by ours, read by the real API.
  const std::string oursFile = folder + "profile_ours.ini";
  DeleteFileW(Wide(oursFile).c_str());
  bool ok = plat::WriteProfileString(oursFile, "Main", "Key", "one");
  ok &= plat::WriteProfileString(oursFile, "MAIN", "key", "two");  // same key, other case
  ok &= plat::WriteProfileString(oursFile, "Main", "Other", "  x  ");
  ok &= plat::WriteProfileString(oursFile, "Second", "A", "1");
  ok &= plat::WriteProfileString(oursFile, "Gone", "B", "2");
  if (korean) ok &= plat::WriteProfileString(oursFile, "설정", "단축키", "값 있음");
  ok &= plat::EraseProfileSection(oursFile, "GONE");
  Report("profile_writes_succeed", ok, "a write returned false");
  std::vector<Lookup> written = {{"Main", "Key", "d"}, {"main", "KEY", "d"},  {"Main", "Other", "d"},
                                 {"Second", "A", "d"}, {"Gone", "B", "none"}, {"Main", "Missing", "def"}};
  if (korean) written.push_back({"설정", "단축키", "d"});
  compare("profile_written_by_ours_reads_same", oursFile, written);
  Report("profile_erased_section_gone",
         RealRead(oursFile, "Gone", "B", "none") == "none" && RealRead(oursFile, "Second", "A", "d") == "1",
         "the real API still sees [Gone] or lost [Second]");

  // Written by the real API, read by ours.
  const std::string realFile = folder + "profile_real.ini";
  DeleteFileW(Wide(realFile).c_str());
  RealWrite(realFile, "Main", "Key", "one");
  RealWrite(realFile, "MAIN", "KEY", "two");
  RealWrite(realFile, "Main", "Other", "\"quoted\"");
  RealWrite(realFile, "Second", "A", "1");
  RealWrite(realFile, "Gone", "B", "2");
  if (korean) RealWrite(realFile, "설정", "단축키", "값 있음");
  RealWrite(realFile, "gone", nullptr, nullptr);
  RealWrite(realFile, nullptr, nullptr, nullptr);
  std::vector<Lookup> fromReal = {{"Main", "Key", "d"},
                                  {"Main", "Other", "d"},
                                  {"second", "a", "d"},
                                  {"Gone", "B", "none"},
                                  {"Main", "Nope", "def"}};
  if (korean) fromReal.push_back({"설정", "단축키", "d"});
  std::string detail;
  for (const Lookup& l : fromReal) {
    const std::string ours = plat::ReadProfileString(realFile, l.section, l.key, l.def);
    const std::string real = RealRead(realFile, l.section, l.key, l.def);
    if (ours != real) detail += " [" + l.section + "]" + l.key + ": ours " + Quote(ours) + " real " + Quote(real);
  }
  Report("profile_written_by_real_api_reads_same", detail.empty(), detail);

  // Ours writing into a file the real API made keeps what it does not touch.
  plat::WriteProfileString(realFile, "main", "key", "three");
  plat::EraseProfileSection(realFile, "SECOND");
  Report("profile_ours_updates_real_file",
         RealRead(realFile, "Main", "Key", "d") == "three" && RealRead(realFile, "Main", "Other", "d") == "quoted" &&
             RealRead(realFile, "Second", "A", "none") == "none",
         "Key=" + RealRead(realFile, "Main", "Key", "d") + " Other=" + RealRead(realFile, "Main", "Other", "d") +
             " Second.A=" + RealRead(realFile, "Second", "A", "none"));

  // A file another program holds against reading but lets be replaced: a write must fail
  // and leave it as it was, not put one key in place of everything.
  const std::string lockedFile = folder + "profile_locked.ini";
  const std::string lockedText = "[Config]\r\nStartUp=0\r\n[DirectSite]\r\nCount=1\r\nSite0=a,http://a\r\n";
  plat::ReplaceFile(lockedFile, lockedText, error);
  HANDLE holder = CreateFileW(Wide(lockedFile).c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool wrote = plat::WriteProfileString(lockedFile, "Etc", "LastWorkList_Path", "C:\\a.ini");
  const bool erased = plat::EraseProfileSection(lockedFile, "DirectSite");
  CloseHandle(holder);
  const std::string lockedAfter = ReadText(lockedFile);
  Report("profile_unreadable_file_never_written",
         holder != INVALID_HANDLE_VALUE && !wrote && !erased && lockedAfter == lockedText,
         "held " + Str(holder != INVALID_HANDLE_VALUE) + " write " + Str(wrote) + " erase " + Str(erased) + " now " +
             Quote(lockedAfter));

  for (const std::string& f : {handFile, oursFile, realFile, lockedFile}) DeleteFileW(Wide(f).c_str());
}

// ---------------------------------------------------------------- profile files in other forms

std::string Utf16Bytes(const std::wstring& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t u : text) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    bytes += bigEndian ? hi : lo;
    bytes += bigEndian ? lo : hi;
  }
  return bytes;
}

std::string Utf8Bytes(const std::wstring& text) {
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                                   static_cast<int>(bytes.size()), nullptr, nullptr));
  return "\xEF\xBB\xBF" + bytes;
}

// The real API through its W functions: they read every form whatever the code page, and
// the program's codec gives the same texts as ours for characters CP949 lacks.
std::string RealReadW(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& def) {
  wchar_t buffer[1024];
  GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(def).c_str(), buffer, 1024,
                           Wide(file).c_str());
  return Narrow(buffer);
}

void RealWriteW(const std::string& file, const std::string& section, const std::string* key, const std::string* value) {
  const std::wstring k = key ? Wide(*key) : std::wstring(), v = value ? Wide(*value) : std::wstring();
  WritePrivateProfileStringW(Wide(section).c_str(), key ? k.c_str() : nullptr, value ? v.c_str() : nullptr,
                             Wide(file).c_str());
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, Wide(file).c_str());  // flush the API's cache
}

// How a file starts, for the details.
std::string Head(const std::string& file) { return Hex(ReadText(file).substr(0, 8)); }

// Files in the forms the system's profile functions read: with a byte-order mark, with CR
// only or mixed line ends, with key lines without "=". Each is read by both, written by
// ours and read by the real API, and written by the real API and read by ours.
void CheckProfileForms() {
  const std::string folder = plat::ProgramFolder();
  const std::wstring body =
      L"; comment\r\n[Main]\r\nPlain=value\r\n  Spaced  =  blanks  \r\nBare\r\n  Spaced bare  \r\n"
      L"Korean=한글 값\r\nAccent=Café \U0001F600\r\n[설정]\r\n단축키=Ctrl+Win+F1\r\n[Other]\r\nPlain=other\r\n";
  // What the ANSI forms hold must read the same in every code page.
  const std::string ascii =
      "; comment\r[Main]\rPlain=value\r  Spaced  =  blanks  \rBare\n  Spaced bare  \r\n[Other]\nPlain=other";
  struct Form {
    const char* name;
    std::string bytes;
    bool unicode;
  };
  const Form forms[] = {
      {"utf8_bom", Utf8Bytes(body), true},
      {"utf16le_bom", Utf16Bytes(body, false), true},
      {"utf16be_bom", Utf16Bytes(body, true), true},
      {"cr_only", ascii, false},
      {"mixed_ends", std::string("[Main]\nPlain=value\r\r\n\rBare\r\nSpaced=blanks\n[Other]\r\nPlain=other"), false},
  };
  struct Lookup {
    std::string section, key;
  };
  const std::vector<Lookup> asciiLookups = {
      {"Main", "Plain"},       {"main", "PLAIN"},     {"Main", "Spaced"}, {"Main", "Bare"},    {"Main", "bare"},
      {"Main", "Spaced bare"}, {"Main", "; comment"}, {"Other", "plain"}, {"Main", "Missing"}, {"; comment", "Plain"}};
  std::vector<Lookup> unicodeLookups = asciiLookups;
  unicodeLookups.insert(unicodeLookups.end(), {{"Main", "Korean"}, {"Main", "Accent"}, {"설정", "단축키"}});
  auto compare = [](const std::string& file, const std::vector<Lookup>& lookups) {
    std::string detail;
    for (const Lookup& l : lookups) {
      const std::string ours = plat::ReadProfileString(file, l.section, l.key, "def");
      const std::string real = RealReadW(file, l.section, l.key, "def");
      if (ours != real) detail += " [" + l.section + "]" + l.key + ": ours " + Quote(ours) + " real " + Quote(real);
    }
    return detail;
  };

  std::string error;
  const std::string file = folder + "profile_form.ini";
  const std::string cafe = Narrow(L"새 값 Café");
  for (const Form& f : forms) {
    const std::vector<Lookup>& lookups = f.unicode ? unicodeLookups : asciiLookups;
    const std::string tag = std::string("profile_") + f.name;
    plat::ReplaceFile(file, f.bytes, error);
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, Wide(file).c_str());
    std::string detail = compare(file, lookups);
    Report(tag + "_reads_match_real_api", detail.empty(), detail);

    // Ours writing, the real API reading; the file keeps its form.
    bool ok = plat::WriteProfileString(file, "main", "plain", f.unicode ? cafe : "new value");
    ok &= plat::WriteProfileString(file, "Main", "Bare", "now set");
    ok &= plat::WriteProfileString(file, "Added", "Key", f.unicode ? Narrow(L"추가 é") : "added");
    ok &= plat::EraseProfileSection(file, "OTHER");
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, Wide(file).c_str());
    std::vector<Lookup> after = lookups;
    after.push_back({"Added", "Key"});
    detail = compare(file, after);
    const std::string written = ReadText(file);
    const bool sameForm =
        written.compare(0, 3, f.bytes, 0, 3) == 0 && (!f.unicode || f.bytes[0] == '\xEF' || written.size() % 2 == 0);
    Report(tag + "_written_by_ours_reads_same", ok && detail.empty() && sameForm,
           "writes " + Str(ok) + " form " + Head(file) + detail);

    // The real API writing, ours reading.
    plat::ReplaceFile(file, f.bytes, error);
    const std::string plain = "plain", bare = "Bare", added = "Key";
    const std::string value = f.unicode ? cafe : "real value", addedValue = f.unicode ? Narrow(L"추가 é") : "added";
    RealWriteW(file, "MAIN", &plain, &value);
    RealWriteW(file, "Main", &bare, &value);
    RealWriteW(file, "Added", &added, &addedValue);
    RealWriteW(file, "other", nullptr, nullptr);
    detail = compare(file, after);
    Report(tag + "_written_by_real_api_reads_same", detail.empty(), "form " + Head(file) + detail);
    std::printf("INFO %s: the real API wrote back a file starting %s\n", f.name, Head(file).c_str());
  }
  DeleteFileW(Wide(file).c_str());
}

// ---------------------------------------------------------------- registry

std::wstring RawRunValue(HKEY root, const std::wstring& name, bool& found) {
  wchar_t data[512] = {};
  DWORD size = sizeof(data) - sizeof(wchar_t), type = 0;
  HKEY key;
  found = false;
  if (RegOpenKeyExW(root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_QUERY_VALUE, &key) != 0)
    return std::wstring();
  found =
      RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == 0 && type == REG_SZ;
  RegCloseKey(key);
  return data;
}

void CheckRegistry() {
  struct RootCase {
    plat::RegRoot root;
    HKEY key;
    const char* name;
  };
  const RootCase roots[] = {{plat::RegRoot::CurrentUser, HKEY_CURRENT_USER, "hkcu"},
                            {plat::RegRoot::LocalMachine, HKEY_LOCAL_MACHINE, "hklm"}};
  const std::string name = "KeyvaneCheck 시험";
  const std::string value = "\"C:\\키베인\\Keyvane.exe\" /자동";
  const std::wstring wideName = L"KeyvaneCheck 시험", wideValue = L"\"C:\\키베인\\Keyvane.exe\" /자동";
  for (const RootCase& r : roots) {
    const std::string tag = std::string("_") + r.name;
    plat::DeleteRunValue(r.root, name);
    Report("run_value_absent" + tag, !plat::GetRunValue(r.root, name).has_value(), "value present before set");
    Report("run_value_set" + tag, plat::SetRunValue(r.root, name, value), "SetRunValue refused");
    const auto got = plat::GetRunValue(r.root, name);
    Report("run_value_get" + tag, got && *got == value, got ? Quote(*got) : "missing");
    bool found = false;
    const std::wstring raw = RawRunValue(r.key, wideName, found);
    Report("run_value_stored_as_unicode" + tag, found && raw == wideValue, "REG_SZ missing or different");
    Report("run_value_overwrite" + tag,
           plat::SetRunValue(r.root, name, "C:\\other.exe") && plat::GetRunValue(r.root, name) == "C:\\other.exe",
           "second set not seen");
    Report("run_value_delete" + tag, plat::DeleteRunValue(r.root, name) && !plat::GetRunValue(r.root, name).has_value(),
           "still there");
    Report("run_value_delete_missing" + tag, !plat::DeleteRunValue(r.root, name), "deleting twice succeeded");
  }
}

// ---------------------------------------------------------------- processes, shell, power

bool StartSelf(const std::wstring& arguments, PROCESS_INFORMATION& info) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(exe) + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  return CreateProcessW(exe, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info) != FALSE;
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  return lstrcmpiA(text.c_str() + text.size() - tail.size(), tail.c_str()) == 0;
}

void CheckProcesses() {
  const auto list = plat::SnapshotProcesses();
  const std::uint32_t self = plat::CurrentProcessId();
  bool foundSelf = false;
  for (const auto& p : list) foundSelf |= p.pid == self && EndsWithNoCase(p.exeFile, "platform_check.exe");
  Report("snapshot_lists_self", self == GetCurrentProcessId() && foundSelf,
         Str(list.size()) + " processes, self " + Str(self) + " not found by name");

  PROCESS_INFORMATION child = {};
  if (!StartSelf(L"sleep 30000", child)) {
    Report("terminate_process", false, "could not start a child, error " + Str(GetLastError()));
    return;
  }
  bool listed = false;
  PollUntil(3000, [&] {
    for (const auto& p : plat::SnapshotProcesses()) listed |= p.pid == child.dwProcessId;
    return listed;
  });
  Report("snapshot_lists_child", listed, "child " + Str(child.dwProcessId) + " not in the snapshot");
  const double t0 = NowMs();
  const bool ended = plat::TerminateProcessById(child.dwProcessId, 5000);
  const double took = NowMs() - t0;
  DWORD code = 12345;
  const bool gone = WaitForSingleObject(child.hProcess, 0) == WAIT_OBJECT_0;
  GetExitCodeProcess(child.hProcess, &code);
  Report("terminate_process", ended && gone && code == 0,
         "result=" + Str(ended) + " gone=" + Str(gone) + " exit=" + Str(code) + " took " +
             Str(static_cast<long long>(took)) + " ms");
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  // A pid nobody has: above every listed one.
  std::uint32_t unused = 0;
  for (const auto& p : plat::SnapshotProcesses()) unused = std::max(unused, p.pid);
  unused = (unused + 0x10000) & ~3u;
  const bool nobody = plat::TerminateProcessById(unused, 0);
  const bool zero = plat::TerminateProcessById(0, 0);
  Report("terminate_unknown_process_refused", !nobody && !zero,
         "pid " + Str(unused) + ": " + Str(nobody) + ", pid 0: " + Str(zero));

  // A running "café.exe" is named so that an entry for "cafe.exe" does not end it.
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::wstring accented = Wide(plat::ProgramFolder()) + L"café.exe";
  PROCESS_INFORMATION cafe = {};
  std::wstring command = L"\"" + accented + L"\" sleep 30000";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (!CopyFileW(exe, accented.c_str(), FALSE) ||
      !CreateProcessW(accented.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &cafe)) {
    Report("accented_process_name", false, "could not start the accented copy, error " + Str(GetLastError()));
    return;
  }
  std::string seen;
  PollUntil(3000, [&] {
    for (const auto& p : plat::SnapshotProcesses())
      if (p.pid == cafe.dwProcessId) seen = p.exeFile;
    return !seen.empty();
  });
  const std::string name = seen.substr(seen.find_last_of('\\') + 1);
  Report("accented_process_name", name == Narrow(L"café.exe"), Quote(seen));
  kv::KillProcessByName("cafe.exe");
  const bool spared = WaitForSingleObject(cafe.hProcess, 300) == WAIT_TIMEOUT;
  kv::KillProcessByName(Narrow(L"CAFé.EXE"));
  const bool killed = WaitForSingleObject(cafe.hProcess, 3000) == WAIT_OBJECT_0;
  Report("accented_process_not_ended_for_plain_name", spared && killed,
         "spared by cafe.exe " + Str(spared) + ", ended by its own name " + Str(killed));
  if (!killed) TerminateProcess(cafe.hProcess, 0);
  WaitForSingleObject(cafe.hProcess, 3000);
  CloseHandle(cafe.hThread);
  CloseHandle(cafe.hProcess);
  DeleteFileW(accented.c_str());
}

std::string ReadText(const std::string& path) {
  std::string text, error;
  plat::ReadWholeFile(path, text, error);
  return text;
}

void CheckShell() {
  // Shell extensions that a launch may load need COM, apartment-threaded on this thread.
  plat::InitializeShell();
  const HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  Report("shell_thread_is_com_apartment", again == RPC_E_CHANGED_MODE,
         "CoInitializeEx(multithreaded) after it returned " + Str(static_cast<long long>(again)));
  if (SUCCEEDED(again)) CoUninitialize();
  const std::string folder = plat::ProgramFolder();
  const std::string echoExe = folder + "plat_echo.exe", echoLog = folder + "echo.log";
  DeleteFileW(Wide(echoLog).c_str());
  if (!plat::CopyWholeFile(plat::ProgramPath(), echoExe)) {
    Report("shell_open", false, "could not copy the program to plat_echo.exe");
    return;
  }
  const bool withParameters = plat::ShellOpen(echoExe, true, "하나 \"둘 셋\"");
  const bool sawParameters = PollUntil(10000, [&] { return ReadText(echoLog).find('\n') != std::string::npos; });
  Report("shell_open_passes_parameters", withParameters && sawParameters && ReadText(echoLog) == "[하나 \"둘 셋\"]\n",
         "result=" + Str(withParameters) + " log " + Quote(ReadText(echoLog)));
  DeleteFileW(Wide(echoLog).c_str());
  const bool without = plat::ShellOpen(echoExe, false, "ignored");
  const bool sawRun = PollUntil(10000, [&] { return ReadText(echoLog).find('\n') != std::string::npos; });
  Report("shell_open_without_parameters", without && sawRun && ReadText(echoLog) == "[]\n",
         "result=" + Str(without) + " log " + Quote(ReadText(echoLog)));
  Report("shell_open_missing_file_fails", !plat::ShellOpen(folder + "없는 프로그램.exe", false, ""),
         "ShellOpen reported success");
  PumpFor(300);  // let the copy exit before it is deleted
  DeleteFileW(Wide(echoExe).c_str());
  DeleteFileW(Wide(echoLog).c_str());
}

bool ShutdownPrivilegeEnabled() {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  LUID luid;
  LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &luid);
  PRIVILEGE_SET set = {};
  set.PrivilegeCount = 1;
  set.Control = PRIVILEGE_SET_ALL_NECESSARY;
  set.Privilege[0].Luid = luid;
  BOOL enabled = FALSE;
  PrivilegeCheck(token, &set, &enabled);
  CloseHandle(token);
  return enabled != FALSE;
}

void CheckPower() {
  const bool before = ShutdownPrivilegeEnabled();
  plat::EnableShutdownPrivilege();
  Report("shutdown_privilege_enabled", ShutdownPrivilegeEnabled(), "still disabled (before: " + Str(before) + ")");
}

// ---------------------------------------------------------------- clipboard
// What another program reads from the clipboard in a given format, as bytes.
std::string ClipboardBytes(UINT format) {
  std::string bytes;
  if (!OpenClipboard(nullptr)) return "<not open>";
  if (HANDLE h = GetClipboardData(format)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      const std::size_t size = GlobalSize(h);
      const std::size_t unit = format == CF_UNICODETEXT ? 2 : 1;
      for (std::size_t i = 0; i + unit <= size; i += unit) {
        if (p[i] == 0 && (unit == 1 || p[i + 1] == 0)) break;
        bytes.append(p + i, unit);
      }
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return bytes;
}

void CheckClipboard() {
  // Hangul, and a character only the escape can carry (é).
  const std::string text =
      "한글 ABC-caf\xFF"
      "00E9";
  const std::wstring wide = L"\uD55C\uAE00 ABC-caf\u00E9";
  Report("clipboard_set", plat::SetClipboardText(text), "refused");
  const auto back = plat::ClipboardText();
  Report("clipboard_reads_back", back && *back == text, back ? Quote(*back) : "none");
  const std::string units = ClipboardBytes(CF_UNICODETEXT);
  Report("clipboard_unicode_for_every_program",
         units == std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2), Hex(units));
  // The system makes CF_TEXT from it in the reader's code page.
  char ansi[64] = {};
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
  const std::string narrow = ClipboardBytes(CF_TEXT);
  Report("clipboard_text_in_the_readers_code_page", narrow == ansi, Hex(narrow) + " expected " + Hex(ansi));
  Report("clipboard_emptied", plat::EmptyClipboard() && !plat::ClipboardText(), "text still there");
}

// The platform calls a key sequence adds to keep the clipboard: a save before the first
// paste, the sequence number after each, a restore after the last wait.
int MeasureClipboardKeeping(int rounds) {
  std::vector<double> saves, restores;
  double best = 1e9, worst = 0;
  std::size_t formats = 0, bytes = 0;
  for (int round = 0; round < rounds; ++round) {
    const double t0 = NowMs();
    const auto snapshot = plat::SaveClipboard(500);
    const double t1 = NowMs();
    if (!snapshot) {
      std::printf("NOT SAVED\n");
      return 1;
    }
    std::uint32_t ours = 0;
    double reads = 0;
    for (const char* text : {"하나", "둘", "셋"}) {
      if (!plat::SetClipboardText(text)) {
        std::printf("NOT SET\n");
        return 1;
      }
      const double r0 = NowMs();
      ours = plat::ClipboardSequenceNumber();
      reads += NowMs() - r0;
    }
    const double t2 = NowMs();
    const plat::ClipboardRestore result = plat::RestoreClipboard(*snapshot, ours);
    const double t3 = NowMs();
    if (result != plat::ClipboardRestore::Restored) {
      std::printf("NOT RESTORED %d\n", static_cast<int>(result));
      return 1;
    }
    saves.push_back(t1 - t0);
    restores.push_back(t3 - t2);
    best = std::min(best, (t1 - t0) + reads + (t3 - t2));
    worst = std::max(worst, (t1 - t0) + reads + (t3 - t2));
    formats = snapshot->formats.size();
    bytes = snapshot->Bytes();
  }
  const auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  std::printf("KEEP formats=%u bytes=%u save_ms=%.3f restore_ms=%.3f best_total_ms=%.3f worst_total_ms=%.3f\n",
              static_cast<unsigned>(formats), static_cast<unsigned>(bytes), median(saves), median(restores), best,
              worst);
  std::fflush(stdout);
  return 0;
}

// ---------------------------------------------------------------- controls

class DialogForm : public plat::Form {
 public:
  explicit DialogForm(std::vector<Seen>& log)
      : Form("플랫폼 점검 창", plat::FormStyle::FixedDialog, 420, 300),
        check(*this, "cbShift", {10, 10, 120, 20}, "쉬프트(&S)"),
        keys(*this, "cbKey", {140, 10, 120, 20}),
        list(*this, "WorkList", {10, 40, 400, 250}, {{"단축키 설명", 180}, {"아이디", 70}, {"단축키", 120}}),
        log_(log) {
    keys.SetDropDownRows(15);
  }
  void HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) override {
    log_.push_back({"form", msg, wParam, lParam});
    Form::HandleMessage(msg, wParam, lParam);
  }
  plat::CheckBox check;
  plat::ComboBox keys;
  plat::ListView list;
  int refuseCloses = 0;
  std::function<void()> onClose;

 protected:
  void FormCloseQuery(bool& canClose) override {
    if (refuseCloses > 0) {
      --refuseCloses;
      canClose = false;
    }
  }
  void FormClose() override {
    if (onClose) onClose();
  }

 private:
  std::vector<Seen>& log_;
};

std::wstring ClassOf(HWND h) {
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  return name;
}

HWND ChildOfClass(HWND parent, const wchar_t* cls) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (lstrcmpiW(ClassOf(c).c_str(), cls) == 0) return c;
  return nullptr;
}

std::wstring ListText(HWND list, int row, int column) {
  wchar_t buffer[256] = {};
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 256;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

int ListCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
int ListSelected(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Selection changes made from outside the backend look to it like the user's.
void UserSetListState(HWND list, int row, bool selected) {
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = selected ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

std::string Events(const std::vector<std::pair<int, bool>>& events) {
  std::string s;
  for (const auto& e : events) s += "(" + Str(e.first) + (e.second ? ",+)" : ",-)");
  return s.empty() ? "none" : s;
}

void CheckControls() {
  std::vector<Seen> log;
  auto form = std::make_unique<DialogForm>(log);
  const HWND h = Hwnd(form->Handle());
  const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
  Report("dialog_style",
         (style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) &&
             !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) && !IsWindowVisible(h),
         "style " + Str(style));
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT client, frame;
  GetClientRect(h, &client);
  GetWindowRect(h, &frame);
  const int cx = (frame.left + frame.right) / 2, cy = (frame.top + frame.bottom) / 2;
  Report("dialog_client_size", client.right == MulDiv(420, dpi, 96) && client.bottom == MulDiv(300, dpi, 96),
         Str(client.right) + "x" + Str(client.bottom) + " at dpi " + Str(dpi));
  Report("dialog_centred",
         std::abs(cx - GetSystemMetrics(SM_CXSCREEN) / 2) <= 1 && std::abs(cy - GetSystemMetrics(SM_CYSCREEN) / 2) <= 1,
         "centre " + Str(cx) + "," + Str(cy));
  wchar_t title[64] = {};
  GetWindowTextW(h, title, 64);
  Report("dialog_caption", std::wstring(title) == L"플랫폼 점검 창", "caption differs");
  form->SetCaption("새 제목");
  GetWindowTextW(h, title, 64);
  Report("caption_change_mirrored", std::wstring(title) == L"새 제목", "caption not updated");

  const HWND check = ChildOfClass(h, L"Button"), combo = ChildOfClass(h, L"ComboBox"),
             list = ChildOfClass(h, WC_LISTVIEWW);
  Report("native_children", check && combo && list, "missing a child window");
  if (!check || !combo || !list) return;
  const LONG_PTR listStyle = GetWindowLongPtrW(list, GWL_STYLE);
  const LRESULT listEx = SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  Report("child_styles",
         (GetWindowLongPtrW(check, GWL_STYLE) & BS_TYPEMASK) == BS_CHECKBOX &&
             (GetWindowLongPtrW(combo, GWL_STYLE) & 3) == CBS_DROPDOWNLIST &&
             (listStyle & LVS_TYPEMASK) == LVS_REPORT && (listStyle & LVS_SINGLESEL) &&
             (listStyle & LVS_SHOWSELALWAYS) && (listEx & LVS_EX_FULLROWSELECT),
         "list style " + Str(listStyle) + " ex " + Str(listEx));
  LOGFONTW font = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof(font), &font);
  Report("children_font", std::wstring(font.lfFaceName) == L"굴림체" && font.lfHeight == -MulDiv(12, dpi, 96),
         "height " + Str(font.lfHeight));
  const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  wchar_t caption[64] = {};
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = caption;
  column.cchTextMax = 64;
  SendMessageW(list, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
  Report("list_columns",
         SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) == 3 && std::wstring(caption) == L"아이디" &&
             column.cx == MulDiv(70, dpi, 96),
         "columns " + Str(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) + " width " + Str(column.cx));

  // Check box: the program's change shows; the user's click goes through UserClick.
  int clicks = 0, downs = 0;
  form->check.OnClick = [&] { ++clicks; };
  form->check.OnMouseDown = [&] { ++downs; };
  form->check.SetChecked(true);
  Report("checkbox_program_change_mirrored", SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED && clicks == 1,
         "native " + Str(SendMessageW(check, BM_GETCHECK, 0, 0)) + " clicks " + Str(clicks));
  SendMessageW(check, BM_CLICK, 0, 0);
  Report("checkbox_user_click",
         !form->check.Checked() && clicks == 2 && downs == 1 && SendMessageW(check, BM_GETCHECK, 0, 0) == BST_UNCHECKED,
         "checked " + Str(form->check.Checked()) + " clicks " + Str(clicks) + " downs " + Str(downs));

  // Combo box.
  int picks = 0, changes = 0;
  form->keys.OnClick = [&] { ++picks; };
  form->keys.OnChange = [&] { ++changes; };
  const char* names[] = {"없음", "F1", "가나다"};
  for (const char* n : names) form->keys.AddItem(n);
  wchar_t entry[64] = {};
  SendMessageW(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(entry));
  Report("combo_items_mirrored", SendMessageW(combo, CB_GETCOUNT, 0, 0) == 3 && std::wstring(entry) == L"가나다",
         "count " + Str(SendMessageW(combo, CB_GETCOUNT, 0, 0)));
  form->keys.SetItemIndex(2);
  Report("combo_program_selection", SendMessageW(combo, CB_GETCURSEL, 0, 0) == 2 && picks == 0 && changes == 0,
         "native " + Str(SendMessageW(combo, CB_GETCURSEL, 0, 0)) + " events " + Str(picks + changes));
  SendMessageW(combo, CB_SETCURSEL, 1, 0);
  SendMessageW(h, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  Report("combo_user_pick", form->keys.ItemIndex() == 1 && picks == 1 && changes == 1,
         "index " + Str(form->keys.ItemIndex()) + " OnClick " + Str(picks) + " OnChange " + Str(changes));
  const int rowHeight = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
  RECT dropped;
  SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  Report("combo_drop_down_rows", dropped.bottom - dropped.top >= 15 * rowHeight,
         "drop-down " + Str(dropped.bottom - dropped.top) + " px for rows of " + Str(rowHeight));
  form->keys.ClearItems();
  form->keys.AddItem("하나");
  Report("combo_refill", SendMessageW(combo, CB_GETCOUNT, 0, 0) == 1 && SendMessageW(combo, CB_GETCURSEL, 0, 0) == -1,
         "count " + Str(SendMessageW(combo, CB_GETCOUNT, 0, 0)));

  // List view.
  std::vector<std::pair<int, bool>> events;
  form->list.OnSelectItem = [&](int row, bool selected) { events.push_back({row, selected}); };
  form->list.AddRow({"첫째", "P0", "Ctrl+Win+F3"});
  form->list.AddRow({"둘째", "P1", "Ctrl+Win+F4"});
  form->list.AddRow({"셋째", "P2"});
  form->list.SetCell(1, 2, "Alt+F9");
  Report("list_rows_mirrored",
         ListCount(list) == 3 && ListText(list, 0, 0) == L"첫째" && ListText(list, 1, 2) == L"Alt+F9" &&
             ListText(list, 2, 1) == L"P2" && ListText(list, 2, 2).empty(),
         "count " + Str(ListCount(list)));
  form->list.Select(2);
  Report("list_program_selection", ListSelected(list) == 2 && Events(events) == "(2,+)",
         "native " + Str(ListSelected(list)) + " events " + Events(events));
  events.clear();
  UserSetListState(list, 0, true);
  PumpFor(50);
  Report("list_user_selection", form->list.Selected() == 0 && ListSelected(list) == 0 && Events(events) == "(2,-)(0,+)",
         "selected " + Str(form->list.Selected()) + " events " + Events(events));
  events.clear();
  UserSetListState(list, 0, false);
  PumpFor(50);
  Report("list_user_deselection", form->list.Selected() == -1 && Events(events) == "(0,-)",
         "selected " + Str(form->list.Selected()) + " events " + Events(events));
  form->list.Select(1);
  events.clear();
  form->list.DeleteRow(0);
  Report(
      "list_delete_row",
      ListCount(list) == 2 && ListText(list, 0, 0) == L"둘째" && ListText(list, 1, 0) == L"셋째" &&
          ListSelected(list) == 0 && form->list.Selected() == 0 && events.empty(),
      "count " + Str(ListCount(list)) + " native selection " + Str(ListSelected(list)) + " events " + Events(events));
  form->list.DeleteRow(0);
  Report(
      "list_delete_selected_row", ListCount(list) == 1 && ListSelected(list) == -1 && Events(events) == "(0,-)",
      "count " + Str(ListCount(list)) + " native selection " + Str(ListSelected(list)) + " events " + Events(events));

  const double t0 = NowMs();
  form->list.BeginUpdate();
  for (int i = 0; i < 3000; ++i) form->list.AddRow({"항목 " + Str(i), "P" + Str(i), "Ctrl+F" + Str(i % 12 + 1)});
  form->list.EndUpdate();
  const double fill = NowMs() - t0;
  Report("list_bulk_refill", ListCount(list) == 3001 && ListText(list, 3000, 1) == L"P2999",
         "count " + Str(ListCount(list)) + " in " + Str(static_cast<long long>(fill)) + " ms");
  form->list.Clear();
  Report("list_clear", ListCount(list) == 0 && form->list.Selected() == -1, "count " + Str(ListCount(list)));

  // Showing, refusing to close, closing.
  form->Show();
  PumpFor(100);
  Report("show_brings_to_front", IsWindowVisible(h) && GetForegroundWindow() == h,
         "visible " + Str(IsWindowVisible(h)) + " foreground " + Str(GetForegroundWindow() == h));
  form->refuseCloses = 1;
  log.clear();
  SendMessageW(h, WM_CLOSE, 0, 0);
  Report("close_refused_keeps_window",
         IsWindow(h) && IsWindowVisible(h) && form->Visible() && CountOf(log, "form", WM_CLOSE) == 1,
         "window " + Str(IsWindow(h)) + " visible " + Str(IsWindowVisible(h)));
  SendMessageW(h, WM_CLOSE, 0, 0);
  Report("close_allowed_hides_window", IsWindow(h) && !IsWindowVisible(h) && !form->Visible(),
         "window " + Str(IsWindow(h)) + " visible " + Str(IsWindowVisible(h)));
  form.reset();
  Report("form_destroys_window", !IsWindow(h), "window still exists");
}

// ---------------------------------------------------------------- modes

int WaitHotkey(int seconds) {
  std::vector<Seen> log;
  LoggingForm host(log, plat::FormStyle::HiddenHost);
  // Wine checks hotkeys only for keys that reach one of its windows, so this one takes the focus.
  DialogForm shown(log);
  shown.SetCaption("플랫폼 단축키 대기");
  shown.Show();
  int fired = -1;
  plat::HookWindow(host.Handle(), [&](unsigned msg, std::uintptr_t wParam, std::intptr_t) {
    if (msg == WM_HOTKEY) fired = static_cast<int>(wParam);
  });
  if (!plat::RegisterHotKey(host.Handle(), 7, kCtrlWin, VK_F5)) {
    std::printf("REGISTER FAILED error=%lu\n", GetLastError());
    return 2;
  }
  std::printf("READY\n");
  std::fflush(stdout);
  const double cpu0 = CpuMs(), t0 = NowMs();
  const bool got = PumpUntil(static_cast<std::uint32_t>(seconds) * 1000, [&] { return fired >= 0; });
  const double wall = NowMs() - t0, cpu = CpuMs() - cpu0;
  if (got)
    std::printf("HOTKEY id=%d wall_ms=%d cpu_ms=%d\n", fired, static_cast<int>(wall), static_cast<int>(cpu));
  else
    std::printf("TIMEOUT wall_ms=%d cpu_ms=%d\n", static_cast<int>(wall), static_cast<int>(cpu));
  std::fflush(stdout);
  plat::UnregisterHotKey(host.Handle(), 7);
  return got ? 0 : 1;
}

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// Screen coordinates of a point in a window's client area, as "POINT name x y".
void SayPoint(const char* name, HWND window, int x, int y) {
  POINT p = {x, y};
  ClientToScreen(window, &p);
  Say(std::string("POINT ") + name + " " + Str(p.x) + " " + Str(p.y));
}

// The dialog for real mouse and keyboard input: prints every event of its controls, and
// where to click, then runs the message loop until the window is closed.
int ControlsByHand() {
  std::vector<Seen> log;
  DialogForm form(log);
  form.SetCaption("플랫폼 컨트롤");
  form.check.OnClick = [&] { Say("CHECK checked=" + Str(form.check.Checked())); };
  form.keys.OnChange = [&] { Say("COMBO index=" + Str(form.keys.ItemIndex())); };
  form.list.OnSelectItem = [](int row, bool selected) { Say("SELECT row=" + Str(row) + (selected ? " on" : " off")); };
  form.onClose = [] { plat::QuitMessageLoop(0); };
  for (const char* key : {"없음", "F1", "F2"}) form.keys.AddItem(key);
  form.list.AddRow({"첫째", "P0", "Ctrl+Win+F3"});
  form.list.AddRow({"둘째", "P1", "Ctrl+Win+F4"});
  form.list.AddRow({"셋째", "P2", "Alt+F9"});
  form.Show();
  const HWND h = Hwnd(form.Handle());
  const HWND check = ChildOfClass(h, L"Button"), list = ChildOfClass(h, WC_LISTVIEWW);
  for (int row = 0; row < 3; ++row) {
    RECT r = {};
    r.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    SayPoint(("row" + Str(row)).c_str(), list, r.left + 10, (r.top + r.bottom) / 2);
  }
  RECT client;
  GetClientRect(list, &client);
  SayPoint("empty", list, client.right / 2, client.bottom - 10);
  RECT box;
  GetClientRect(check, &box);
  SayPoint("check", check, 7, box.bottom / 2);
  Say("READY");
  const int rc = plat::RunMessageLoop();
  Say("CLOSED");
  return rc;
}

plat::RegRoot RootArg(const std::vector<std::string>& args, std::size_t at) {
  return args.size() > at && args[at] == "hkcu" ? plat::RegRoot::CurrentUser : plat::RegRoot::LocalMachine;
}

// plat_echo.exe: "[<arguments as passed>]" in echo.log beside it.
int Echo() {
  std::wstring line = GetCommandLineW();
  // The program's own name, quoted or not, comes first.
  std::size_t start = 0;
  if (!line.empty() && line[0] == L'"') {
    start = line.find(L'"', 1);
    start = start == std::wstring::npos ? line.size() : start + 1;
  } else {
    start = line.find(L' ');
    if (start == std::wstring::npos) start = line.size();
  }
  while (start < line.size() && line[start] == L' ') ++start;
  const std::string text = "[" + Narrow(line.substr(start)) + "]\n";
  std::string error;
  return plat::ReplaceFile(plat::ProgramFolder() + "echo.log", text, error) ? 0 : 1;
}

int RunChecks() {
  std::printf("INFO acp=%u\n", GetACP());
  CheckHotkeysAndHooks();
  CheckMessageLoop();
  CheckFiles();
  CheckProfile();
  CheckProfileForms();
  CheckRegistry();
  CheckProcesses();
  CheckShell();
  CheckPower();
  CheckClipboard();
  CheckControls();
  CheckTrayIcons(Report);
  std::printf("DONE failures=%d\n", g_failures);
  std::fflush(stdout);
  return g_failures == 0 ? 0 : 1;
}

}  // namespace

// Runs a wait of ms while a 100 ms timer keeps re-arming itself, and prints how long the
// wait took, the processor time it used and how many ticks ran inside it.
int MeasureWait(std::uint32_t ms, bool spin) {
  int ticks = 0;
  std::function<void()> tick = [&] {
    ++ticks;
    plat::StartOneShotTimer(100, tick);
  };
  plat::StartOneShotTimer(100, tick);
  const double t0 = NowMs(), c0 = CpuMs();
  if (spin) {
    const std::uint32_t start = plat::GetTickCount();
    do plat::ProcessPendingMessages();
    while (plat::GetTickCount() - start < ms);
  } else {
    kv::PumpingWait(static_cast<std::int32_t>(ms));
  }
  const double wall = NowMs() - t0, cpu = CpuMs() - c0;
  std::printf("WAIT elapsed_ms=%.0f cpu_ms=%.0f ticks=%d\n", wall, cpu, ticks);
  std::fflush(stdout);
  return 0;
}

// What the system's mixer reports for the first line of device 0, asked by control type
// instead of the way the program lists controls.
struct RawVolume {
  MMRESULT result = MMSYSERR_ERROR;
  DWORD level = 0, muted = 0, maximum = 0;
};

RawVolume ReadRawVolume() {
  RawVolume raw;
  HMIXER mixer;
  if ((raw.result = mixerOpen(&mixer, 0, 0, 0, MIXER_OBJECTF_MIXER)) != MMSYSERR_NOERROR) return raw;
  MIXERLINEW line{};
  line.cbStruct = sizeof line;
  const HMIXEROBJ object = reinterpret_cast<HMIXEROBJ>(mixer);
  raw.result = mixerGetLineInfoW(object, &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION);
  for (DWORD type :
       {static_cast<DWORD>(MIXERCONTROL_CONTROLTYPE_VOLUME), static_cast<DWORD>(MIXERCONTROL_CONTROLTYPE_MUTE)}) {
    MIXERCONTROLW control{};
    MIXERLINECONTROLSW request{};
    request.cbStruct = sizeof request;
    request.dwLineID = line.dwLineID;
    request.dwControlType = type;
    request.cControls = 1;
    request.cbmxctrl = sizeof control;
    request.pamxctrl = &control;
    DWORD value = 0;
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.cChannels = 1;
    details.cbDetails = sizeof value;
    details.paDetails = &value;
    if (raw.result == MMSYSERR_NOERROR)
      raw.result = mixerGetLineControlsW(object, &request, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE);
    details.dwControlID = control.dwControlID;
    if (raw.result == MMSYSERR_NOERROR)
      raw.result = mixerGetControlDetailsW(object, &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
    if (type == MIXERCONTROL_CONTROLTYPE_VOLUME) {
      raw.level = value;
      raw.maximum = control.Bounds.dwMaximum;
    } else {
      raw.muted = value;
    }
  }
  mixerClose(mixer);
  return raw;
}

// Presses volume down, up and mute through the program's ChangeMasterVolume and compares
// each result with what the mixer then reports. Without a mixer device the presses must
// return having done nothing.
int CheckMixer() {
  const UINT devices = mixerGetNumDevs();
  std::printf("INFO mixer devices=%u wave outputs=%u\n", devices, waveOutGetNumDevs());
  if (devices == 0) {
    HMIXER mixer;
    const MMRESULT open = mixerOpen(&mixer, 0, 0, 0, MIXER_OBJECTF_MIXER);
    std::printf("INFO mixerOpen(0) without devices returned %u\n", open);
    for (int step : {1500, -1500, 1}) kv::ChangeMasterVolume(step, step == 1 ? 1 : 0);
    Report("no mixer: volume up, down and mute return and change nothing", open != MMSYSERR_NOERROR);
  } else {
    RawVolume before = ReadRawVolume();
    std::printf("INFO first line: result=%u level=%lu muted=%lu maximum=%lu\n", before.result, before.level,
                before.muted, before.maximum);
    Report("the mixer reports the first line's volume and mute",
           before.result == MMSYSERR_NOERROR && before.maximum > 0);
    struct Press {
      const char* name;
      int step, mute;
    } presses[] = {{"down", -1500, 0},   {"down", -1500, 0}, {"up", 1500, 0},           {"mute", 1, 1},
                   {"mute again", 1, 1}, {"up", 1500, 0},    {"up at the top", 1500, 0}};
    for (const Press& p : presses) {
      kv::ChangeMasterVolume(p.step, p.mute);
      const RawVolume after = ReadRawVolume();
      const long long wanted =
          std::min<long long>(std::max<long long>(static_cast<long long>(before.level) + p.step, 0), before.maximum);
      // The mixer keeps the level as a fraction, so a value may come back one or two lower.
      const bool ok = after.result == MMSYSERR_NOERROR &&
                      std::llabs(static_cast<long long>(after.level) - wanted) <= 2 &&
                      after.muted == static_cast<DWORD>(p.mute);
      Report(std::string("volume ") + p.name + " from " + Str(before.level), ok,
             "level " + Str(after.level) + " muted " + Str(after.muted) + ", wanted " + Str(wanted) + " muted " +
                 Str(p.mute));
      before = after;
    }
  }
  std::printf("DONE failures=%d\n", g_failures);
  std::fflush(stdout);
  return g_failures == 0 ? 0 : 1;
}

int main() {
  const std::vector<std::string> args = Arguments();
  if (EndsWithNoCase(plat::ProgramPath(), "plat_echo.exe")) return Echo();
  const std::string mode = args.size() > 1 ? args[1] : std::string();
  if (mode.empty()) return RunChecks();
  if (mode == "controls") return ControlsByHand();
  if (mode == "widgets") return WidgetsByHand();
  if (mode == "layout") return WidgetLayout(args.size() > 2 ? std::atoi(args[2].c_str()) : 0);
  if (mode == "mixer") return CheckMixer();
  if (mode == "wait-hotkey") return WaitHotkey(args.size() > 2 ? std::atoi(args[2].c_str()) : 10);
  if (mode == "tray") return TrayByHand(args.size() > 2 ? std::atoi(args[2].c_str()) : 30);
  if (mode == "tray-remove" && args.size() > 2) return TrayRemove(args[2]);
  if (mode == "taskbar-created") return TaskbarCreated();
  if (mode == "set-run" && args.size() > 3) {
    const bool ok = plat::SetRunValue(RootArg(args, 4), args[2], args[3]);
    std::printf("%s\n", ok ? "SET" : "REFUSED");
    return ok ? 0 : 1;
  }
  if (mode == "del-run" && args.size() > 2) {
    const bool ok = plat::DeleteRunValue(RootArg(args, 3), args[2]);
    std::printf("%s\n", ok ? "DELETED" : "REFUSED");
    return ok ? 0 : 1;
  }
  if (mode == "get-run" && args.size() > 2) {
    const auto value = plat::GetRunValue(RootArg(args, 3), args[2]);
    // As UTF-8, so the shell side can compare it with its own texts.
    if (value) {
      const std::wstring wide = Wide(*value);
      std::string utf8(wide.size() * 4 + 1, '\0');
      utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0],
                                      static_cast<int>(utf8.size()), nullptr, nullptr));
      std::printf("VALUE=%s\n", utf8.c_str());
    } else {
      std::printf("MISSING\n");
    }
    return value ? 0 : 1;
  }
  if (mode == "message-box") {
    const int result = plat::MessageBox("계속할까요?", "플랫폼 알림", plat::kMbYesNoCancel | plat::kMbIconQuestion);
    std::printf("RESULT=%d\n", result);
    std::fflush(stdout);
    return 0;
  }
  if (mode == "error-box") {
    plat::ShowErrorBox("오류 시험");
    std::printf("RESULT=closed\n");
    std::fflush(stdout);
    return 0;
  }
  if (mode == "pumping-wait" || mode == "spin-wait")
    return MeasureWait(args.size() > 2 ? static_cast<std::uint32_t>(std::atoi(args[2].c_str())) : 5000,
                       mode == "spin-wait");
  if (mode == "key-sequence" && args.size() > 2) {
    const double start = NowMs();
    kv::PlayKeySequence(args[2]);
    std::printf("SEQUENCE start_ms=%.3f end_ms=%.3f\n", start, NowMs());
    std::fflush(stdout);
    return 0;
  }
  if (mode == "keep-clipboard") return MeasureClipboardKeeping(args.size() > 2 ? std::atoi(args[2].c_str()) : 5);
  if (mode == "hold-clipboard" && args.size() > 3) {
    if (!plat::SetClipboardText(args[2]) || !OpenClipboard(nullptr)) {
      std::printf("NOT HELD\n");
      return 1;
    }
    std::printf("HELD\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::atoi(args[3].c_str())));
    CloseClipboard();
    const auto text = plat::ClipboardText();
    std::printf("CLIPBOARD=%s\n", text ? text->c_str() : "<none>");
    std::fflush(stdout);
    return 0;
  }
  if (mode == "sleep") {
    PumpFor(args.size() > 2 ? static_cast<std::uint32_t>(std::atoi(args[2].c_str())) : 10000);
    return 0;
  }
  std::printf("unknown mode\n");
  return 2;
}
