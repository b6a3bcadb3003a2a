#include "actions/UnitExcuteFunction.h"

#include "actions/AMixer.h"
#include "actions/KeySequence.h"
#include "actions/BuiltinActions.h"
#include "actions/MultiJob.h"
#include "actions/frmDirectMove.h"
#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/msgloop.h"
#include "platform/power.h"
#include "platform/processes.h"
#include "platform/shell.h"

#include <algorithm>
#include <memory>
#include <set>

namespace kv {

namespace {

// The row whose action runs: its ID and description.
std::string g_runningId, g_runningDescription;

// Keys of the failures whose box is up or on its way: the row that ran and what it opened.
// A held or repeated hotkey adds no second box; another row with the same ID does.
std::set<std::string>& BoxesUp() {
  // Never destroyed: a box still up at the program's end lets go of its key after this.
  static auto* keys = new std::set<std::string>;
  return *keys;
}

// What ran and which boxes are up belong to one run of the program.
void ForgetRunState() {
  g_runningId.clear();
  g_runningDescription.clear();
  BoxesUp().clear();
}

// One box owned by no window (a hotkey speaks for no window), shown from the message loop.
// It holds up no one: the action's caller (a multi-job, say) goes on while it is up.
void ReportOpenFailure(const std::string& file, const std::string& target, std::uint32_t error) {
  if (plat::QuitPending()) return;
  const std::string key = g_runningId + "\x01" + g_runningDescription + "\x01" + target;
  if (!BoxesUp().insert(key).second) return;
  const std::string who = g_runningDescription.empty() ? g_runningId : g_runningDescription;
  std::string text = who.empty() ? "단축키의 작업을 열 수 없습니다." : "\"" + who + "\" 단축키의 작업을 열 수 없습니다.";
  text += "\n\n" + target + "\n" + plat::SystemErrorText(error, "\"" + file + "\"");
  // The key goes when the box has been closed, or when the timer is gone unrun.
  struct Up {
    std::string key;
    ~Up() { BoxesUp().erase(key); }
  };
  const auto up = std::make_shared<Up>();  // not from a temporary: its end would erase the key
  up->key = key;
  plat::StartOneShotTimer(0, [up, text] {
    if (!plat::QuitPending()) plat::ShowNoticeBox(text, "알림말", plat::kMbOk | plat::kMbIconWarning, [up] {});
  });
}

void Open(const std::string& file, bool hasParameters, const std::string& parameters) {
  std::uint32_t error = 0;
  if (plat::ShellOpen(file, hasParameters, parameters, &error)) return;
  ReportOpenFailure(file, hasParameters && !parameters.empty() ? file + " " + parameters : file, error);
}

bool StartsWithIgnoringAsciiCase(const std::string& text, const std::string& start) {
  return text.size() >= start.size() && UpperAscii(text.substr(0, start.size())) == UpperAscii(start);
}

}  // namespace

namespace {

// The Sysnative path of a program the shell would find under System32 (written with either
// slash, with environment variables, with or without ".exe"), or of a bare name found only
// in the real System32; "" for anything else.
std::string NativePathOf(const std::string& program) {
  std::string path = plat::ExpandEnvironmentText(program);
  std::replace(path.begin(), path.end(), '/', '\\');
  const std::string windows = plat::WindowsFolder();
  const std::string system32 = windows + "\\System32\\", sysnative = windows + "\\Sysnative\\";
  const auto withExe = [](const std::string& name) {
    std::vector<std::string> names{name};
    const std::size_t base = name.find_last_of('\\');
    if (name.find('.', base == std::string::npos ? 0 : base) == std::string::npos) names.push_back(name + ".exe");
    return names;
  };
  if (StartsWithIgnoringAsciiCase(path, system32)) {
    for (const std::string& name : withExe(path.substr(system32.size())))
      if (plat::FileExists(sysnative + name)) return sysnative + name;
    return {};
  }
  if (path.empty() || path.find_first_of("\\:") != std::string::npos) return {};
  // A bare name: where the shell looks before System32, or a copy in SysWOW64, wins.
  const std::vector<std::string> names = withExe(path);
  for (const std::string& name : names)
    if (plat::FileExists(plat::ProgramFolder() + name) || plat::FileExists(windows + "\\SysWOW64\\" + name) ||
        plat::FileExists(windows + "\\" + name))
      return {};
  for (const std::string& name : names)
    if (plat::FileExists(sysnative + name)) return sysnative + name;
  return {};
}

}  // namespace

std::string NativeSystemProgram(const std::string& file) {
  if (!plat::RunsUnderWow64()) return file;
  // The program part as the shell finds it: within the quotes when the text starts with one.
  if (file.empty() || file[0] != '"') {
    const std::string native = NativePathOf(file);
    return native.empty() ? file : native;
  }
  const std::size_t close = file.find('"', 1);
  const std::string native = NativePathOf(file.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  if (native.empty()) return file;
  return "\"" + native + "\"" + (close == std::string::npos ? std::string() : file.substr(close + 1));
}

RunningEntry::RunningEntry(const std::string& id, const std::string& description)
    : previousId_(g_runningId), previousDescription_(g_runningDescription) {
  plat::ClearAtEnd(ForgetRunState);
  g_runningId = id;
  g_runningDescription = description;
}
RunningEntry::~RunningEntry() {
  g_runningId = previousId_;
  g_runningDescription = previousDescription_;
}

void ExecuteAction(const std::string& kind, const std::string& info) {
  if (kind == kKindShutdown) return ShutdownWindows("Shutdown");
  if (kind == kKindReboot) return ShutdownWindows("Reboot");
  if (kind == kKindLogoff) return ShutdownWindows("Logoff");
  if (kind == kKindVolumeUp) return ChangeMasterVolume(1500, 0);
  if (kind == kKindVolumeDown) return ChangeMasterVolume(-1500, 0);
  if (kind == kKindVolumeMute) return ChangeMasterVolume(1, 1);

  const std::string text = DecodeInfoText(info);
  // A lone quote mark is stored full-width; names, paths and addresses get it back.
  if (kind == kKindKillProgram) return KillProcessByName(RestoreQuoteMarks(text));
  if (kind == kKindRunProgram || kind == kKindOpenFolder) return RunProgram(RestoreQuoteMarks(text));
  if (kind == kKindWebSite) return OpenWebSite(RestoreQuoteMarks(text));
  if (kind == kKindKeySequence) return PlayKeySequence(text);
  if (kind == kKindBuiltin) return StartBuiltinAction(text);
  if (kind == kKindMultiJob) return RunMultiJob(text);
  if (kind == kKindDirectSearch) return ShowDirectSearch(text);
}

void ShutdownWindows(const std::string& mode) {
  std::uint32_t flags;
  if (mode == "Logoff")
    flags = plat::kEwxLogoff;
  else if (mode == "Reboot")
    flags = plat::kEwxReboot;
  else if (mode == "Shutdown")
    flags = plat::kEwxShutdown;
  else
    return;
  plat::EnableShutdownPrivilege();
  plat::ExitWindows(flags);
}

void KillProcessByName(const std::string& fileName) {
  const std::string wanted = UpperAscii(fileName);
  for (const plat::ProcessEntry& p : plat::SnapshotProcesses()) {
    const std::size_t cut = p.exeFile.find_last_of("\\:");
    const std::string name = cut == std::string::npos ? p.exeFile : p.exeFile.substr(cut + 1);
    if (UpperAscii(name) == wanted) plat::TerminateProcessById(p.pid, 0);
  }
}

void ReleaseModifiers() {
  constexpr std::uint8_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkLWin = 0x5B, kVkRWin = 0x5C;
  // The right Win key too: a hotkey pressed with it would otherwise turn V into Win+V.
  for (std::uint8_t vk : {kVkControl, kVkMenu, kVkShift, kVkLWin, kVkRWin}) KeyUp(vk);
}

std::vector<std::string> SplitAtSemicolons(const std::string& text) {
  std::vector<std::string> items;
  std::size_t pos = 0;
  for (;;) {
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= 32) ++pos;
    const std::size_t semi = text.find(';', pos);
    if (semi == std::string::npos) {
      items.push_back(text.substr(std::min(pos, text.size())));
      return items;
    }
    items.push_back(text.substr(pos, semi - pos));
    pos = semi + 1;
  }
}

void RunProgram(const std::string& info) {
  if (info.find(';') == std::string::npos) {
    Open(NativeSystemProgram(info), false, "");
    return;
  }
  const std::vector<std::string> items = SplitAtSemicolons(info);
  Open(NativeSystemProgram(items[0]), true, items.size() > 1 ? items[1] : std::string());
}

void OpenWebSite(const std::string& url) {
  if (ReadNewExplore() & 0xFF)
    Open("iexplore.exe", true, url);
  else
    Open(url, false, "");
}

}  // namespace kv
