// The simulated backend: every platform call works on the in-memory machine below.
#include "platform/sim/sim.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/input.h"
#include "platform/msgloop.h"
#include "platform/power.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/session.h"
#include "platform/shell.h"
#include "platform/sim/sim_mixer.h"
#include "platform/sim/sim_clipboard.h"
#include "platform/sim/sim_mouse.h"
#include "platform/sim/sim_printer.h"
#include "platform/sim/sim_tray.h"

namespace {

struct Event {
  std::uint64_t due;
  std::uint64_t seq;
  std::function<void()> fn;
};

struct Window {
  plat::Form* form = nullptr;
  plat::MessageHook hook;
  int raises = 0;
  std::size_t menuBarItems = 0;  // when the window was made
};

struct State {
  std::uint64_t now = 0;
  std::uint64_t seq = 0;
  std::vector<Event> events;
  int pumps = 0;
  bool quit = false;  // ever asked, for the tests
  bool quitPending = false;
  int exitCode = 0;
  std::map<plat::WindowHandle, Window> windows;
  std::map<plat::WindowHandle, std::string> blockReasons;
  plat::WindowHandle nextWindow = 0x1000;
  unsigned nextTimer = 1;
  std::set<unsigned> liveTimers;

  std::vector<sim::Registration> registrations;
  std::set<std::pair<unsigned, unsigned>> taken;
  int registerCalls = 0;

  std::vector<plat::ProcessEntry> processes;
  std::uint32_t currentPid = 1000;
  std::set<std::uint32_t> denied;
  bool snapshotAvailable = true;
  std::vector<sim::Termination> terminations;

  std::vector<sim::ShellCall> shellCalls;
  std::map<std::string, std::uint32_t> failingOpens;
  bool wow64 = false;
  std::set<std::string> windowsFiles;
  int shellInits = 0, launchesBeforeInit = 0;
  std::vector<sim::KeyEvent> keyEvents;
  bool privilege = false;
  std::vector<sim::ExitCall> exitCalls;

  std::map<std::string, std::string> registry[2];
  bool writable[2] = {true, true};

  std::vector<sim::Box> boxes;
  std::deque<int> answers;
  std::function<void(const sim::Box&)> onBox;
  std::uint32_t boxHoldMs = 0;
  int noticeBoxes = 0;
  std::vector<sim::FileDialogCall> fileDialogs;
  std::deque<std::string> fileAnswers;
  std::vector<sim::FolderDialogCall> folderDialogs;
  std::deque<std::string> folderAnswers;
  std::deque<std::function<void(plat::Form&)>> modalScripts;
  std::vector<sim::ModalCall> modalCalls;

  std::string folder;
  std::set<std::string> locked;
  std::set<std::string> readDenied;
  std::map<std::string, int> reads;
  std::set<std::string> heldOpen;
};

State& S() {
  static State state;
  return state;
}

int RootIndex(plat::RegRoot root) { return root == plat::RegRoot::LocalMachine ? 0 : 1; }

// Events due by now, earliest first; ties in the order they were added.
bool PopDue(Event& out) {
  State& s = S();
  auto it = std::min_element(s.events.begin(), s.events.end(), [](const Event& a, const Event& b) {
    return a.due != b.due ? a.due < b.due : a.seq < b.seq;
  });
  if (it == s.events.end() || it->due > s.now) return false;
  out = std::move(*it);
  s.events.erase(it);
  return true;
}

std::uint64_t DueOf(std::uint32_t tick) {
  const State& s = S();
  return s.now + static_cast<std::uint32_t>(tick - static_cast<std::uint32_t>(s.now));
}

class SimFormPeer : public plat::FormPeer {
 public:
  explicit SimFormPeer(plat::Form& form) : handle_(S().nextWindow++) {
    S().windows[handle_].form = &form;
    S().windows[handle_].menuBarItems = form.MainMenu().Items().size();
  }
  ~SimFormPeer() override {
    sim::SendMessage(handle_, plat::kWmDestroy, 0, 0);
    S().windows.erase(handle_);
    // As on Windows, a destroyed window's hotkeys are gone with it.
    auto& regs = S().registrations;
    regs.erase(
        std::remove_if(regs.begin(), regs.end(), [this](const sim::Registration& r) { return r.window == handle_; }),
        regs.end());
  }
  plat::WindowHandle Handle() const override { return handle_; }
  void SetVisible(bool visible) override {
    if (visible) ++S().windows[handle_].raises;
  }
  void CaptionChanged() override {}
  void ControlChanged(plat::Control&, int) override {}
  void FocusControl(plat::Control&) override {}
  void ScrollIntoView(plat::Control&, int) override {}
  void StayOnTopChanged() override {}
  void RunModal(plat::Form* owner) override {
    State& s = S();
    plat::Form& form = *s.windows[handle_].form;
    s.modalCalls.push_back({form.Caption(), owner ? owner->Handle() : 0});
    if (s.modalScripts.empty()) return;  // closes as cancelled
    auto script = std::move(s.modalScripts.front());
    s.modalScripts.pop_front();
    script(form);
  }

 private:
  plat::WindowHandle handle_;
};

}  // namespace

// ---------------------------------------------------------------- test side
namespace sim {

namespace {
// A new, empty folder under the system's temporary folder, with the trailing separator
// the program's own folder has. Creating it is the test for uniqueness: a name that
// exists already (another test process's) is never reused.
std::string MakeFreshFolder() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  if (ec) return "";
  static std::mt19937_64 random(
      std::random_device{}() ^ static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "keyvane-sim-%016llx", static_cast<unsigned long long>(random()));
    const fs::path folder = base / name;
    if (fs::create_directory(folder, ec)) return (folder / "").string();
  }
  return "";
}

void RemoveProgramFolder() {
  if (S().folder.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(S().folder, ec);
}
}  // namespace

std::vector<void (*)()>& ClearedAtEnd() {
  static std::vector<void (*)()> clear;
  return clear;
}

void Reset() {
  // What the program kept for one run goes first: it may name the old machine's timers.
  for (void (*clear)() : ClearedAtEnd()) clear();
  // The state exists before the exit handler is registered, so it outlives the handler.
  static const bool cleanedAtExit = (S(), std::atexit(RemoveProgramFolder) == 0);
  (void)cleanedAtExit;
  RemoveProgramFolder();
  State& s = S();
  s = State();
  s.folder = MakeFreshFolder();
  ResetMixers();
  ResetClipboard();
  ResetMouse();
  ResetPrinter();
  ResetTray();
}

void ForgetRecords() {
  State& s = S();
  s.terminations.clear();
  s.shellCalls.clear();
  s.keyEvents.clear();
  s.exitCalls.clear();
  s.boxes.clear();
  s.fileDialogs.clear();
  s.folderDialogs.clear();
  s.modalCalls.clear();
  ForgetClipboardChanges();
  ForgetMouseEvents();
}

std::uint32_t Now() { return static_cast<std::uint32_t>(S().now); }
void SetNow(std::uint32_t tick) { S().now = tick; }
void At(std::uint32_t tick, std::function<void()> fn) {
  State& s = S();
  s.events.push_back(Event{DueOf(tick), s.seq++, std::move(fn)});
}

void SendMessage(plat::WindowHandle window, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  auto it = S().windows.find(window);
  if (it == S().windows.end()) return;
  plat::Form* form = it->second.form;
  if (it->second.hook) {
    plat::MessageHook hook = it->second.hook;  // the hook may unhook itself
    hook(msg, wParam, lParam);
  }
  if (S().windows.count(window) && form) form->HandleMessage(msg, wParam, lParam);
}

int PumpCount() { return S().pumps; }

bool QueryEndSession() {
  // Windows made or gone while a window answers (the question box) count as at the start.
  for (const plat::WindowHandle window : Windows()) {
    auto it = S().windows.find(window);
    if (it == S().windows.end() || !it->second.form) continue;
    if (!it->second.form->QueryEndSession()) return false;
  }
  return true;
}

void EndSession(bool ending) {
  for (const plat::WindowHandle window : Windows()) {
    auto it = S().windows.find(window);
    if (it != S().windows.end() && it->second.form) it->second.form->EndSession(ending);
  }
}

std::string ShutdownBlockReason(plat::WindowHandle window) {
  auto it = S().blockReasons.find(window);
  return it == S().blockReasons.end() ? std::string() : it->second;
}

bool QuitRequested() { return S().quit; }

std::vector<Registration> Registrations() { return S().registrations; }
int RegisterCalls() { return S().registerCalls; }
void TakeCombination(unsigned modifiers, unsigned vk) { S().taken.insert({modifiers, vk}); }
bool PressHotKey(unsigned modifiers, unsigned vk) {
  // A key box's capture takes the press before any hotkey sees it.
  if (const plat::WindowHandle box = plat::CombinationCaptureTarget()) {
    if (plat::TakesCombination(modifiers, static_cast<int>(vk))) {
      SendMessage(box, plat::kMsgCombination, modifiers, static_cast<std::intptr_t>(vk));
      return true;
    }
  }
  NoteHotKeyPress(modifiers, vk);
  for (const Registration& r : S().registrations) {
    if (r.modifiers == modifiers && r.vk == vk) {
      SendMessage(r.window, plat::kWmHotKey, static_cast<std::uintptr_t>(r.id),
                  static_cast<std::intptr_t>(modifiers | (vk << 16)));
      return true;
    }
  }
  return false;
}

void AddProcess(const std::string& exeFile, std::uint32_t pid) { S().processes.push_back({exeFile, pid}); }
void SetCurrentProcess(std::uint32_t pid) { S().currentPid = pid; }
void DenyAccess(std::uint32_t pid) { S().denied.insert(pid); }
void SetSnapshotAvailable(bool available) { S().snapshotAvailable = available; }
bool ProcessRunning(std::uint32_t pid) {
  for (const auto& p : S().processes)
    if (p.pid == pid) return true;
  return false;
}
std::vector<Termination> Terminations() { return S().terminations; }

std::vector<ShellCall> ShellCalls() { return S().shellCalls; }
void FailShellOpen(const std::string& file, std::uint32_t error) {
  if (error)
    S().failingOpens[file] = error;
  else
    S().failingOpens.erase(file);
}
void SetWow64(bool wow64) { S().wow64 = wow64; }
void AddWindowsFile(const std::string& path) { S().windowsFiles.insert(path); }
int ShellInitializations() { return S().shellInits; }
int LaunchesBeforeShellInitialized() { return S().launchesBeforeInit; }
std::vector<KeyEvent> KeyEvents() { return S().keyEvents; }
bool ShutdownPrivilegeEnabled() { return S().privilege; }
std::vector<ExitCall> ExitCalls() { return S().exitCalls; }

void SetRootWritable(plat::RegRoot root, bool writable) { S().writable[RootIndex(root)] = writable; }

std::vector<Box> Boxes() { return S().boxes; }
void AnswerNextBox(int button) { S().answers.push_back(button); }
void OnBox(std::function<void(const Box&)> fn) { S().onBox = std::move(fn); }
void HoldBoxesOpen(std::uint32_t ms) { S().boxHoldMs = ms; }
int NoticeBoxesOpen() { return S().noticeBoxes; }

std::vector<FileDialogCall> FileDialogs() { return S().fileDialogs; }
void AnswerNextFileDialog(const std::string& path) { S().fileAnswers.push_back(path); }
std::vector<FolderDialogCall> FolderDialogs() { return S().folderDialogs; }
void AnswerNextFolderDialog(const std::string& path) { S().folderAnswers.push_back(path); }
void OnNextModal(std::function<void(plat::Form&)> script) { S().modalScripts.push_back(std::move(script)); }
std::vector<ModalCall> ModalForms() { return S().modalCalls; }
bool StayOnTop(plat::WindowHandle window) {
  auto it = S().windows.find(window);
  return it != S().windows.end() && it->second.form && it->second.form->StayOnTop();
}

void SetProgramFolder(const std::string& folder) { S().folder = folder; }
void LockFile(const std::string& path) { S().locked.insert(path); }
void UnlockFile(const std::string& path) { S().locked.erase(path); }
void DenyRead(const std::string& path) { S().readDenied.insert(path); }
void AllowRead(const std::string& path) { S().readDenied.erase(path); }
int FileReads(const std::string& path) {
  const auto it = S().reads.find(path);
  return it == S().reads.end() ? 0 : it->second;
}
void HoldOpen(const std::string& path) { S().heldOpen.insert(path); }
void ReleaseHold(const std::string& path) { S().heldOpen.erase(path); }

std::vector<plat::WindowHandle> Windows() {
  std::vector<plat::WindowHandle> all;
  for (const auto& w : S().windows) all.push_back(w.first);
  return all;
}

int MenuBarAtCreation(plat::WindowHandle window) {
  auto it = S().windows.find(window);
  return it == S().windows.end() ? 0 : static_cast<int>(it->second.menuBarItems);
}

int ForegroundRaises(plat::WindowHandle window) {
  auto it = S().windows.find(window);
  return it == S().windows.end() ? 0 : it->second.raises;
}

}  // namespace sim

// ---------------------------------------------------------------- platform side
namespace plat {

bool RegisterHotKey(WindowHandle window, int id, unsigned modifiers, unsigned vk) {
  State& s = S();
  ++s.registerCalls;
  if (id < 0 || id > 0xBFFF) return false;
  const bool noRepeat = (modifiers & kModNoRepeat) != 0;
  modifiers &= ~kModNoRepeat;
  if (s.taken.count({modifiers, vk})) return false;
  for (const auto& r : s.registrations)
    if ((r.window == window && r.id == id) || (r.modifiers == modifiers && r.vk == vk)) return false;
  s.registrations.push_back({window, id, modifiers, vk, noRepeat});
  return true;
}

bool UnregisterHotKey(WindowHandle window, int id) {
  State& s = S();
  auto it = std::find_if(s.registrations.begin(), s.registrations.end(),
                         [&](const sim::Registration& r) { return r.window == window && r.id == id; });
  if (it == s.registrations.end()) return false;
  s.registrations.erase(it);
  return true;
}

void HookWindow(WindowHandle window, MessageHook hook) {
  auto it = S().windows.find(window);
  if (it != S().windows.end()) it->second.hook = std::move(hook);
}

void UnhookWindow(WindowHandle window) {
  auto it = S().windows.find(window);
  if (it != S().windows.end()) it->second.hook = nullptr;
}

std::uint32_t GetTickCount() { return static_cast<std::uint32_t>(S().now); }

void ProcessPendingMessages() {
  ++S().pumps;
  // As on Windows: a quit does not stop the handling of what is already waiting.
  Event e;
  while (PopDue(e)) e.fn();
}

void WaitForMessage(std::uint32_t timeoutMs) {
  State& s = S();
  std::uint64_t wake = s.now + timeoutMs;
  for (const Event& e : s.events) wake = std::min(wake, std::max(e.due, s.now));
  s.now = wake;
}

int RunMessageLoop() {
  State& s = S();
  // What is due when the quit comes is still handled; nothing due later is.
  while (!s.quitPending) {
    ProcessPendingMessages();
    if (s.quitPending || s.events.empty()) break;
    std::uint64_t next = UINT64_MAX;
    for (const Event& e : s.events) next = std::min(next, e.due);
    s.now = std::max(s.now, next);
  }
  if (s.quitPending)
    for (void (*clear)() : sim::ClearedAtEnd()) clear();
  s.quitPending = false;
  return s.exitCode;
}

void QuitMessageLoop(int exitCode) {
  S().quit = true;
  S().quitPending = true;
  S().exitCode = exitCode;
}

bool QuitPending() { return S().quitPending; }

unsigned StartOneShotTimer(std::uint32_t delayMs, std::function<void()> fn) {
  State& s = S();
  const unsigned id = s.nextTimer++;
  s.liveTimers.insert(id);
  s.events.push_back(Event{s.now + delayMs, s.seq++, [id, fn = std::move(fn)] {
                             if (S().liveTimers.erase(id)) fn();
                           }});
  return id;
}

void CancelTimer(unsigned id) { S().liveTimers.erase(id); }

void ClearAtEnd(void (*clear)()) {
  auto& all = sim::ClearedAtEnd();
  if (std::find(all.begin(), all.end(), clear) == all.end()) all.push_back(clear);
}

void SetShutdownBlockReason(WindowHandle window, const std::string& reason) {
  if (reason.empty())
    S().blockReasons.erase(window);
  else
    S().blockReasons[window] = reason;
}

std::string ProgramFolder() { return S().folder; }
std::string ProgramPath() { return S().folder + "Keyvane.exe"; }

std::string WindowsFolder() { return "C:\\Windows"; }
bool RunsUnderWow64() { return S().wow64; }

// The simulated machine's environment holds the Windows folder's two names.
std::string ExpandEnvironmentText(const std::string& text) {
  std::string out;
  for (std::size_t pos = 0;;) {
    const std::size_t open = text.find('%', pos);
    const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) return out + text.substr(pos);
    std::string name = text.substr(open + 1, close - open - 1);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool known = name == "systemroot" || name == "windir";
    out += text.substr(pos, open - pos) + (known ? WindowsFolder() : text.substr(open, close - open + 1));
    pos = close + 1;
  }
}

bool FileExists(const std::string& path) {
  if (S().windowsFiles.count(path)) return true;
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

bool FileMissing(const std::string& path) {
  std::error_code ec;
  return !std::filesystem::exists(path, ec) && !ec;
}

// Every path goes through std::filesystem::path, also for the streams: on Windows a narrow
// name given to a stream is read in the ANSI code page, one given to std::filesystem in
// the C library's locale, and the two disagree on every non-ASCII byte.
bool ReadWholeFile(const std::string& path, std::string& contents, std::string& error) {
  ++S().reads[path];
  if (S().locked.count(path) || S().readDenied.count(path)) {
    error = "The process cannot access the file because it is being used by another process.";
    return false;
  }
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) {
    error = "The system cannot find the file specified.";
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  contents = buffer.str();
  return true;
}

namespace {
// Creates path, which must not exist yet, holding contents. taken tells a name already in
// use from other failures. The simulated machine runs one program, so checking first is
// as good as an exclusive create.
bool WriteNewFile(const std::filesystem::path& path, const std::string& contents, bool& taken, std::string& error) {
  std::error_code ec;
  taken = std::filesystem::exists(path, ec) || ec;
  if (taken) {
    error = "The file exists.";
    return false;
  }
  {
    std::ofstream out(path, std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.flush();
    if (out) return true;
  }
  error = "Access is denied.";
  std::filesystem::remove(path, ec);  // our own, just created
  return false;
}

// What a program does to a file another one holds open without delete sharing: write over
// its bytes, the original kept first.
bool RewriteInPlace(const std::string& path, const std::string& contents, std::string& error) {
  std::string backup;
  if (!plat::KeepBackup(path, backup)) {
    error = "Cannot create file \"" + backup + "\".";
    return false;
  }
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  out.flush();
  if (!out) {
    error = "Access is denied.";
    return false;
  }
  return true;
}
}  // namespace

bool ReplaceFile(const std::string& path, const std::string& contents, std::string& error) {
  if (S().locked.count(path)) {
    error = "The process cannot access the file because it is being used by another process.";
    return false;
  }
  if (S().heldOpen.count(path) && FileExists(path)) return RewriteInPlace(path, contents, error);
  static unsigned serial = 0;
  std::filesystem::path temp;
  for (bool taken = true; taken;) {
    temp = std::filesystem::path(path + ".~kv" + std::to_string(++serial) + ".tmp");
    if (WriteNewFile(temp, contents, taken, error)) break;
    if (!taken) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp, std::filesystem::path(path), ec);
  if (ec) {
    error = ec.message();
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

bool KeepBackup(const std::string& path, std::string& backup) {
  int n = FreeBackupNumber(path);
  backup = BackupName(path, n);
  std::string contents, error;
  if (!ReadWholeFile(path, contents, error)) return false;
  for (++n;; ++n) {
    bool taken = false;
    if (WriteNewFile(std::filesystem::path(backup), contents, taken, error)) return true;
    if (!taken) return false;
    backup = BackupName(path, n);
  }
}

bool CopyWholeFile(const std::string& from, const std::string& to) {
  std::string contents, error;
  return ReadWholeFile(from, contents, error) && ReplaceFile(to, contents, error);
}

bool SetRunValue(RegRoot root, const std::string& name, const std::string& value) {
  if (!S().writable[RootIndex(root)]) return false;
  S().registry[RootIndex(root)][name] = value;
  return true;
}

bool DeleteRunValue(RegRoot root, const std::string& name) {
  if (!S().writable[RootIndex(root)]) return false;
  return S().registry[RootIndex(root)].erase(name) != 0;
}

std::optional<std::string> GetRunValue(RegRoot root, const std::string& name) {
  const auto& values = S().registry[RootIndex(root)];
  auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

std::vector<ProcessEntry> SnapshotProcesses() {
  if (!S().snapshotAvailable) return {};
  return S().processes;
}

std::uint32_t CurrentProcessId() { return S().currentPid; }

bool TerminateProcessById(std::uint32_t pid, std::uint32_t waitMs) {
  State& s = S();
  s.terminations.push_back({pid, waitMs});
  if (s.denied.count(pid)) return false;
  auto it = std::find_if(s.processes.begin(), s.processes.end(), [pid](const ProcessEntry& p) { return p.pid == pid; });
  if (it == s.processes.end()) return false;
  s.processes.erase(it);
  return true;
}

void InitializeShell() { ++S().shellInits; }

bool ShellOpen(const std::string& file, bool hasParameters, const std::string& parameters, std::uint32_t* error) {
  if (S().shellInits == 0) ++S().launchesBeforeInit;
  S().shellCalls.push_back({file, hasParameters, parameters, static_cast<std::uint32_t>(S().now)});
  const auto failing = S().failingOpens.find(file);
  if (failing == S().failingOpens.end()) return true;
  if (error) *error = failing->second;
  return false;
}

std::string SystemErrorText(std::uint32_t code, const std::string& subject) {
  return "시스템 오류 " + std::to_string(code) + " (" + subject + ")";
}

bool ShellExecuteVerb(Form* owner, const std::string& verb, const std::string& file, const std::string& parameters,
                      int showCmd) {
  if (S().shellInits == 0) ++S().launchesBeforeInit;
  sim::ShellCall call{file, !parameters.empty(), parameters, static_cast<std::uint32_t>(S().now)};
  call.verb = verb;
  call.showCmd = showCmd;
  call.owner = owner ? owner->Handle() : 0;
  S().shellCalls.push_back(call);
  return true;
}

std::uint8_t ScanCodeOf(std::uint8_t vk) { return static_cast<std::uint8_t>(vk ^ 0x80); }
void SendKeyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) {
  S().keyEvents.push_back({vk, scan, flags, sim::Now()});
}

void EnableShutdownPrivilege() { S().privilege = true; }
void ExitWindows(std::uint32_t flags) { S().exitCalls.push_back({flags, S().privilege}); }

namespace {
// The box is recorded, shown to OnBox, and answered by AnswerNextBox or by its default.
int ShowBox(const sim::Box& box, bool modal = true) {
  State& s = S();
  s.boxes.push_back(box);
  if (s.onBox) s.onBox(box);
  // Up for a while: a modal box's own loop handles what comes meanwhile.
  if (modal && s.boxHoldMs > 0) {
    const std::uint64_t end = s.now + s.boxHoldMs;
    for (;;) {
      ProcessPendingMessages();
      if (s.now >= end) break;
      WaitForMessage(static_cast<std::uint32_t>(end - s.now));
    }
  }
  if (!s.answers.empty()) {
    const int answer = s.answers.front();
    s.answers.pop_front();
    return answer;
  }
  return (box.flags & 0x0F) == kMbYesNoCancel ? kIdCancel : kIdOk;
}
}  // namespace

int MessageBox(const std::string& text, const std::string& caption, unsigned flags, Form* owner) {
  return ShowBox({text, caption, flags, owner ? owner->Handle() : 0});
}

void ShowNoticeBox(const std::string& text, const std::string& caption, unsigned flags,
                   std::function<void()> closed) {
  sim::Box box{text, caption, flags, 0};
  box.unowned = true;
  State& s = S();
  ++s.noticeBoxes;
  ShowBox(box, false);
  auto close = [closed = std::move(closed)] {
    --S().noticeBoxes;
    if (closed) closed();
  };
  if (s.boxHoldMs == 0) {
    close();
    return;
  }
  s.events.push_back(Event{s.now + s.boxHoldMs, s.seq++, std::move(close)});
}

void ShowErrorBox(const std::string& text, Form* owner) {
  S().boxes.push_back({text, "Keyvane", kMbOk | kMbIconError, owner ? owner->Handle() : 0});
}

namespace {
bool FileDialog(bool save, const FileDialogOptions& options, std::string& chosen) {
  State& s = S();
  s.fileDialogs.push_back({save, options});
  if (s.fileAnswers.empty()) return false;
  chosen = s.fileAnswers.front();
  s.fileAnswers.pop_front();
  return true;
}
}  // namespace

bool OpenFileDialog(const FileDialogOptions& options, std::string& chosen) {
  return FileDialog(false, options, chosen);
}
bool SaveFileDialog(const FileDialogOptions& options, std::string& chosen) { return FileDialog(true, options, chosen); }

bool BrowseForFolder(const std::string& title, Form* owner, std::string& chosen) {
  State& s = S();
  s.folderDialogs.push_back({title, owner ? owner->Handle() : 0});
  if (s.folderAnswers.empty()) return false;
  chosen = s.folderAnswers.front();
  s.folderAnswers.pop_front();
  return !chosen.empty();
}

std::unique_ptr<FormPeer> CreateFormPeer(Form& form) { return std::make_unique<SimFormPeer>(form); }

}  // namespace plat
