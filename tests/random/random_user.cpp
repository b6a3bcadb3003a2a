// A random user for the whole program on the simulated platform. Each step is something a
// user (or another program) does: edit in the editor, apply, close and answer the question,
// pause and resume, press hotkeys, end the program and start it again (also by starting a
// second copy while it runs), open another work file and save under another name (also into
// a folder that cannot be written), compose multi-jobs, answer the direct-search prompt,
// change the files from outside (rewrite them as CP949, UTF-8 or UTF-16 as Notepad saves
// them, lock, hold, make unreadable and readable again), edit the direct-search sites.
// After every step the program is compared with a small model of what the user has done,
// kept here apart from the program's code:
//   - the list on screen and the editing fields are what the user's steps made of them;
//   - after a save the file holds exactly that list, in the form the list came in, and a
//     backup of the old file when the list was read only in part, not at all, or every entry
//     was deleted; a save that cannot succeed says so and changes no file; characters CP949
//     cannot spell (pasted, or in a file Notepad wrote) are kept exactly in a UTF file, and a
//     CP949 file never gets them: the user keeps the list in UTF-8 (the CP949 file kept
//     beside it) or takes them out;
//   - the title names the file the list was last loaded from or saved to, and "Config.ini"
//     the last work file, which the next showing and the next start load; a list goes only
//     to the file it came from, and a file another program changed is never overwritten
//     without asking; "Config.ini" is never opened or written as a list;
//   - an edit is never dropped without the closing question, and 아니요 always leaves the
//     list last saved; 적용 is offered exactly while the list on screen is not what runs;
//   - the registered combinations are those of the applied list (only the pause key while
//     paused), and a press runs the entry registered for it (by ID in the list on screen, or
//     in the applied list while the list on screen came from another file): what it opens, ends, types and
//     pastes, the prompts it shows, the jobs of a multi-job with their delays, to the
//     millisecond of the virtual clock;
//   - the sites read back as the options window showed them at OK, and nothing else in
//     "Config.ini" changes then;
//   - no step waits, throws or leaves a window behind, and no file changes that the step
//     did not mean to change.
// Seeded: a failure prints the seed, the steps taken and what broke; the same seed and
// step count repeat it.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "actions/frmAction.h"
#include "actions/frmDirectMove.h"
#include "actions/frmDirectSearch.h"
#include "actions/frmSiteadd.h"
#include "core/ClassProcessUnique.h"
#include "core/frmMain.h"
#include "editor/frmKeyEdit.h"
#include "editor/frmKeyList.h"
#include "editor/frmOption.h"
#include "editor/frmSetmulti.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/input.h"
#include "platform/msgloop.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_clipboard.h"
#include "platform/sim/sim_tray.h"
#include "platform/text.h"
#include "tray/frmTray.h"

using namespace kv;

namespace {

// ---------------------------------------------------------------- fixed texts

const char* const kKindNames[15] = {"",
                                    "강제 종료",
                                    "재 부팅",
                                    "로그 오프",
                                    "볼륨 높임",
                                    "볼륨 줄임",
                                    "볼륨 음소거",
                                    "프로그램 종료",
                                    "프로그램 실행",
                                    "특정폴더 열기",
                                    "웹사이트 이동",
                                    "다이렉트 검색",
                                    "다중작업 실행",
                                    "키값자동 입력",
                                    "특정액션 실행"};
// The kinds the random user gives entries.
const int kUsedKinds[] = {1, 7, 8, 9, 10, 10, 11, 12, 12, 13, 13, 13, 14, 1};
constexpr int kUsedKindCount = 14;
constexpr int kWebKind = 10, kDirectKind = 11, kMultiKind = 12, kKeysKind = 13;
const char* const kQuestion = "현재 단축키 설정이 변경되었습니다. 적용 하시겠습니까?";
// The question when the work file changed outside since it was read.
const char* const kChangedOutside = "작업 파일이 키베인 밖에서 바뀌었습니다";
const char* const kNotCp949 = "목록에 CP949 작업 파일에 쓸 수 없는 글자가 있습니다:";
const char* const kNotASettingsFile = "Config.ini는 키베인의 설정 파일이라";
const char* const kDash = "-";
const char* const kWideDash = "ㅡ";
const char* const kWideApostrophe = "＇";
const char* const kWideQuote = "＂";
const char* const kTitle = " 키베인 v1.5 - ";

// The work files the user keeps beside the program, and two names that lead nowhere.
const char* const kMainFile = "MyJob.ini";
const char* const kOtherFile = "다른목록.ini";
const char* const kNoFile = "없는목록.ini";          // never exists
const char* const kEmptyFile = "빈목록.ini";         // made empty; it fills when a list goes in
const char* const kConfigName = "Config.ini";      // Keyvane's settings, never a list
const char* const kGoneFile = "없는 폴더/목록.ini";  // in a folder that does not exist: cannot be written
// What the clipboard holds before any key sequence: the user's own copy.
const char* const kUsersClipboard = "사용자가 복사한 글";

struct Key {
  const char* name;
  unsigned vk;  // 0: no key to register
};
// A few keys, so that combinations collide often; F1 and F2 make the reserved ones.
const Key kKeys[] = {{"F1", 0x70}, {"F2", 0x71}, {"F3", 0x72}, {"F4", 0x73}, {"F5", 0x74},
                     {"A", 0x41},  {"B", 0x42},  {"1", 0x31},  {"None", 0}};
const char* const kModNames[4] = {"Shift", "Ctrl", "Alt", "Win"};
const unsigned kModFlags[4] = {plat::kModShift, plat::kModControl, plat::kModAlt, plat::kModWin};
constexpr unsigned kCtrlWin = plat::kModControl | plat::kModWin;
// Combinations other programs hold.
const std::pair<unsigned, unsigned> kTaken[] = {{plat::kModControl | plat::kModAlt, 0x41}, {plat::kModShift, 0x72}};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// ---------------------------------------------------------------- the model

struct Entry {
  std::string description, id, hotkey, kind, info, active;
  std::vector<std::string> Cells() const { return {description, id, hotkey, kind, info, active}; }
  bool operator==(const Entry& o) const { return Cells() == o.Cells(); }
};

// The quote marks of a field that are written full-width: as few as leave no quoted stretch
// open at its end (outside a stretch a mark opens one that the same mark closes; inside, the
// other mark becomes the one that closes it), the earlier marks kept where there is a choice.
std::string BalancedQuotes(const std::string& s) {
  std::vector<std::size_t> marks;
  for (std::size_t i = 0; i < s.size(); ++i)
    if (s[i] == '\'' || s[i] == '"') marks.push_back(i);
  if (marks.empty()) return s;
  struct Way {
    bool reached = false;
    int replaced = 0;
    std::vector<bool> kept;
  };
  // By the state after the marks so far: 0 outside, 1 inside a stretch ' closes, 2 " closes.
  std::vector<Way> ways(3);
  ways[0].reached = true;
  for (std::size_t at : marks) {
    std::vector<Way> next(3);
    const auto offer = [&next](int state, Way way) {
      Way& best = next[state];
      if (!best.reached || way.replaced < best.replaced || (way.replaced == best.replaced && way.kept > best.kept))
        best = std::move(way);
    };
    const int closer = s[at] == '\'' ? 1 : 2;
    for (int state = 0; state < 3; ++state) {
      if (!ways[state].reached) continue;
      Way keep = ways[state];
      keep.kept.push_back(true);
      offer(state == closer ? 0 : closer, std::move(keep));
      Way swap = ways[state];
      swap.kept.push_back(false);
      ++swap.replaced;
      offer(state, std::move(swap));
    }
    ways = std::move(next);
  }
  std::string out;
  std::size_t from = 0;
  for (std::size_t m = 0; m < marks.size(); ++m) {
    out.append(s, from, marks[m] - from);
    out +=
        ways[0].kept[m] ? std::string(1, s[marks[m]]) : std::string(s[marks[m]] == '\'' ? kWideApostrophe : kWideQuote);
    from = marks[m] + 1;
  }
  return out + s.substr(from);
}

// How a cell is written to the work file, for the texts this user types: a dash becomes
// the wide one, blanks in front go, quote marks that would leave a stretch open become
// full-width, an empty cell is the word null and the word null itself gains a blank.
std::string Stored(const std::string& cell) {
  std::string s = ReplaceAll(cell, kDash, kWideDash);
  s.erase(0, std::min(s.find_first_not_of(' '), s.size()));
  s = BalancedQuotes(s);
  if (s == "null") return "null ";
  return s.empty() ? "null" : s;
}
std::string ReadBack(const std::string& stored) { return stored == "null" ? "" : stored; }
Entry AsSaved(const Entry& e) {
  const std::vector<std::string> c = e.Cells();
  return {ReadBack(Stored(c[0])), ReadBack(Stored(c[1])), ReadBack(Stored(c[2])),
          ReadBack(Stored(c[3])), ReadBack(Stored(c[4])), ReadBack(Stored(c[5]))};
}
std::string FileText(const std::vector<Entry>& rows) {
  std::string text;
  for (const Entry& e : rows) {
    for (const std::string& c : e.Cells()) text += Stored(c) + "-";
    text += "\r\n";
  }
  return text;
}

// The forms a work file comes in: Keyvane's own, and Notepad's UTF-8 and "Unicode".
enum class Enc { kCp949, kUtf8Mark, kUtf16Le };
const char* EncName(Enc e) {
  return e == Enc::kCp949 ? "CP949" : e == Enc::kUtf8Mark ? "UTF-8 with a mark" : "UTF-16 LE";
}

// A character CP949 cannot spell, as the program holds it: 0xFF and its UTF-16 unit in hex.
const char* const kWideChars[] = {"\xFF" "00E9", "\xFF" "2615", "\xFF" "00A0", "\xFF" "D83D" "\xFF" "DE00"};
bool IsEscape(const std::string& text, std::size_t i) {
  return text[i] == '\xFF' && i + 5 <= text.size() &&
         std::all_of(text.begin() + i + 1, text.begin() + i + 5, [](char c) { return std::isxdigit(c) != 0; });
}
bool HasWideChars(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (IsEscape(text, i)) return true;
  return false;
}
std::string WithoutWideChars(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (IsEscape(text, i))
      i += 4;
    else
      out += text[i];
  return out;
}
// The program's text as a file of that form holds it.
std::string Encoded(const std::string& text, Enc e) {
  if (e == Enc::kCp949) return HasWideChars(text) ? "<not CP949>" : text;
  const std::u16string units = plat::TextToUtf16(text);
  if (e == Enc::kUtf8Mark) return "\xEF\xBB\xBF" + plat::Utf16ToUtf8(units);
  std::string bytes = "\xFF\xFE";
  for (char16_t u : units) bytes += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  return bytes;
}

// Items as the program splits a list: at the separator, a line break also ends one, blanks
// and line breaks before an item go, empty items vanish, and a quote mark keeps the
// separator inside an item until its closing mark (the other mark met inside closes it).
std::vector<std::string> Items(const std::string& text, char separator = ';') {
  std::vector<std::string> items;
  std::string item;
  char closer = 0;
  bool started = false;
  for (char c : text) {
    if (closer == 0 && (c == separator || c == '\r' || c == '\n')) {
      if (!item.empty()) items.push_back(item);
      item.clear();
      started = false;
      continue;
    }
    if (!started && c == ' ' && closer == 0) continue;
    started = true;
    if (c == '\'' || c == '"') closer = closer == c ? 0 : c;
    item += c;
  }
  if (!item.empty()) items.push_back(item);
  return items;
}

struct HotKey {
  bool mods[4] = {false, false, false, false};
  std::string key;  // "" none
};
HotKey ParseHotKey(const std::string& text) {
  HotKey h;
  std::size_t from = 0;
  while (from <= text.size()) {
    std::size_t plus = text.find('+', from);
    if (plus == std::string::npos) plus = text.size();
    const std::string token = text.substr(from, plus - from);
    bool mod = false;
    for (int m = 0; m < 4; ++m)
      if (token == kModNames[m]) h.mods[m] = mod = true;
    if (!mod && !token.empty()) h.key = token;
    from = plus + 1;
  }
  return h;
}
std::string FormatHotKey(const HotKey& h) {
  std::string text;
  for (int m = 0; m < 4; ++m)
    if (h.mods[m]) text += std::string(kModNames[m]) + "+";
  return text + h.key;
}
const Key* FindKey(const std::string& name) {
  for (const Key& k : kKeys)
    if (name == k.name) return &k;
  return nullptr;
}
bool Reserved(const std::string& text) { return text == "Ctrl+Win+F1" || text == "Ctrl+Win+F2"; }

struct Combo {
  unsigned mods, vk;
  bool operator<(const Combo& o) const { return mods != o.mods ? mods < o.mods : vk < o.vk; }
  bool operator==(const Combo& o) const { return mods == o.mods && vk == o.vk; }
};
std::string ComboText(const Combo& c) {
  std::string text;
  for (int m = 0; m < 4; ++m)
    if (c.mods & kModFlags[m]) text += std::string(kModNames[m]) + "+";
  for (const Key& k : kKeys)
    if (k.vk == c.vk && k.vk != 0) return text + k.name;
  return text + std::to_string(c.vk);
}

// The combination an entry asks for, when it asks for one.
bool EntryCombo(const Entry& e, Combo& c) {
  if (e.active != "True" || Reserved(e.hotkey)) return false;
  const HotKey h = ParseHotKey(e.hotkey);
  const Key* key = FindKey(h.key);
  if (!key || key->vk == 0) return false;
  c = {0, key->vk};
  for (int m = 0; m < 4; ++m)
    if (h.mods[m]) c.mods |= kModFlags[m];
  return true;
}

// What the editing area shows.
struct Fields {
  std::string description;
  HotKey hotkey;
  int kind = 1;  // the checked kind button
  bool active = false;
  std::string info[15];  // the boxes of kinds 7 to 14
};

// A work file as the model knows it, and what other programs do to it.
struct WorkFile {
  bool exists = false;
  std::vector<Entry> rows;  // what it reads back as
  bool incomplete = false;  // its reading stops at a line after the rows
  Enc enc = Enc::kCp949;
  bool locked = false, held = false, denied = false;
  bool Readable() const { return exists && !locked && !denied; }
};

struct Model {
  bool running = true;
  bool visible = false;
  bool paused = false;
  // The editor's mark of changes (it asks before dropping them), and its 적용 button, which
  // a fresh editor offers before any change.
  bool modified = false;
  bool applyEnabled = true;
  std::vector<Entry> screen;    // the editor's list
  std::vector<Entry> applied;   // what the registrations were made from
  std::vector<Entry> baseline;  // the list as last loaded or saved
  int selected = -1;
  Fields fields;
  // The user changed the list since it was last loaded or saved.
  bool unsavedEdits = false;
  // The files, by their names in the program's folder.
  std::map<std::string, WorkFile> files;
  // The last work file "Config.ini" names: the one the editor loads when shown.
  std::string last = kMainFile;
  // The file the editor saves to (the last work file it read, or last saved to), and the
  // one its title names, which follows only reads and saves.
  std::string workPath = kMainFile, title;
  // What the program knows of workPath's bytes: 0 nothing (it could not read it), 1 that it
  // was not there, 2 the bytes it last read or wrote (diskBytes).
  int disk = 0;
  std::string diskBytes;
  // A file read only in part, or not at all, into the list: its next save keeps it first.
  std::string incompletePath, unreadPath;
  // The form of the file the list came from, which its saves keep.
  Enc listEnc = Enc::kCp949;
  // The file the applied list came from.
  std::string appliedPath = kMainFile;
  std::vector<std::pair<std::string, std::string>> sites;  // description, address
};

std::string NextFreeId(const std::vector<Entry>& rows) {
  for (int n = 0;; ++n) {
    const std::string id = "P" + std::to_string(n);
    if (std::none_of(rows.begin(), rows.end(), [&](const Entry& e) { return e.id == id; })) return id;
  }
}

int KindOfName(const std::string& name) {
  for (int k = 1; k <= 14; ++k)
    if (name == kKindNames[k]) return k;
  return 0;
}

// ---------------------------------------------------------------- failures

struct Failure {
  std::string what;
};
// The program's texts are CP949; the terminal reads UTF-8.
std::string Readable(const std::string& text) { return plat::Utf16ToUtf8(plat::TextToUtf16(text)); }

void Require(bool ok, const std::string& what) {
  if (!ok) throw Failure{what};
}

std::string Show(const std::vector<Entry>& rows) {
  std::string s;
  for (const Entry& e : rows) {
    s += "    [";
    for (const std::string& c : e.Cells()) s += c + "|";
    s += "]\n";
  }
  return s.empty() ? "    (empty)\n" : s;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}
void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}
std::map<std::string, std::string> FolderFiles() {
  std::map<std::string, std::string> files;
  for (const auto& f : std::filesystem::directory_iterator(std::filesystem::path(plat::ProgramFolder())))
    if (f.is_regular_file()) files[f.path().filename().string()] = ReadBytes(f.path().string());
  return files;
}

// "Config.ini" without one section.
std::string WithoutSection(const std::string& ini, const std::string& section) {
  std::istringstream in(ini);
  std::string line, out;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') inside = line == "[" + section + "]";
    if (!inside && !line.empty()) out += line + "\n";
  }
  return out;
}

// ---------------------------------------------------------------- the random user

class RandomUser {
 public:
  RandomUser(std::uint64_t seed, bool verbose) : rng_(seed), verbose_(verbose) {}

  // Runs the steps; false (with the report printed) at the first broken rule.
  bool Run(int steps, std::uint64_t seed);
  // The presses that ran an entry, by kind: " 1:n 7:n ...".
  std::string Presses() const {
    std::string s;
    for (const auto& [kind, n] : pressed_) s += " " + std::to_string(kind) + ":" + std::to_string(n);
    return s;
  }

 private:
  struct Step {
    const char* name;
    int weight;
    std::function<bool()> can;  // the step makes sense now
    std::function<void()> run;
  };

  int Pick(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  bool Chance(int percent) { return Pick(100) < percent; }
  // wide: now and then a character CP949 cannot spell.
  std::string RandomText(int maxChars, bool allowEmpty, bool wide = false);
  std::string RandomHotKeyText();
  Entry RandomEntry(const std::string& id, int kind = -1, bool wide = false);
  void Log(const std::string& line) { log_.push_back(line); }
  // The program marks the list as changed.
  void Marked() { m_.modified = m_.applyEnabled = true; }
  // The list on screen is not what the hotkeys run: another file's, or other entries.
  bool Unapplied() const { return m_.workPath != m_.appliedPath || m_.screen != m_.applied; }
  // After every operation on the list, 적용 is offered exactly while there is something to apply.
  void Settle() { m_.modified = m_.applyEnabled = Unapplied(); }
  // The list a press finds its entries in.
  const std::vector<Entry>& RunList() const { return m_.workPath == m_.appliedPath ? m_.screen : m_.applied; }

  std::string PathOf(const std::string& name) const { return plat::ProgramFolder() + name; }
  std::string ConfigFile() const { return plat::ProgramFolder() + "Config.ini"; }
  WorkFile& F(const std::string& name) { return m_.files[name]; }
  std::string RandomInfo(int kind, bool wide = false);

  // ---- the program
  void Start();
  void Stop();
  // Closes the list windows and destroys the editor and the tray.
  void CloseProgram();
  void SetUpFiles();

  // ---- model transitions shared by steps
  void ShowRowInFields(int row);
  void ClearFields();
  // The editor empties its list and reads the last work file (showing it, starting).
  void LoadLast();
  enum class Load { kUnreadable, kEmpty, kLoaded };
  // The editor reads an existing file into its list.
  Load LoadList(const std::string& name);
  // The hidden editor is shown and reloads its list.
  void ShowEditor();
  void WriteHotKeyField();
  std::set<Combo> ExpectedRegistrations() const;
  bool HotKeyFree(const std::string& text, int exceptRow) const;
  // Whether saving the list to the file should succeed; keep: the old file is kept first.
  // A CP949 list with characters CP949 cannot spell is asked about first (cp949Answer_).
  bool ExpectSave(const std::string& name, bool keep = false);
  bool WriteSucceeds(const std::string& name, bool keep);
  // The program saved the list to the file (or tried): the file is checked and the model
  // follows. registers: the save also makes the list the one the hotkeys run; kept: the old
  // file had to be kept beside it; adopted: the list now belongs to that file (a save under
  // another name that "Config.ini" could not record leaves it with its own).
  void CheckSaved(const std::string& name, bool expected, const std::string& before,
                  const std::map<std::string, std::string>& filesBefore, bool registers, bool kept = false,
                  bool adopted = true);
  // 적용 or the closing question's 예, in two halves around the program's own step: what
  // the user will meet (the file changed outside asks, or is read again), then the check.
  struct Commit {
    std::string target, before, last;
    std::map<std::string, std::string> filesBefore;
    bool asks = false, rereads = false, keeps = false, goes = true, ok = true;
  };
  Commit PlanCommit();
  // Whether the list went through (saved or read again, and registered).
  bool FinishCommit(const Commit& c);
  // Shows the hidden editor as the user may: the tray's item, a double click on the icon,
  // or Ctrl+Win+F1.
  void ShowBySomeWay();
  int QuestionCount() const;
  int BoxCount(const std::string& text) const;

  // ---- steps
  std::vector<Step> Steps();
  void SelectRow();
  void TypeDescription();
  void EditDescription();
  void TypeInfo();
  void EditInfo();
  // A modifier box, and a key of the list: the given one, or any.
  void ClickModifier(int m = -1);
  void PickKey(int k = -1);
  void PressIntoKeyList();
  void ClickKind();
  void ClickActive();
  void ActionDialog();
  void InputDialog();
  // A dialog's OK gave the box of this kind its text: the entry becomes one of the kind.
  void ConfirmedInfo(int kind);
  void OpenListWindow();
  void CloseListWindows();
  void NewEntry();
  void DeleteEntry();
  void Apply();
  void CloseEditor();
  void TrayEdit();
  void TrayPause();
  void PauseKey();
  void PressHotKey();
  // 끝내기 from the tray, or the end of the Windows session.
  void EndProgram(bool session);
  void ChangeFileFromOutside();
  void EditOptions();
  void OpenWorkFile();
  void SaveAs();
  void MultiJobDialog();
  void SecondCopy();
  // Another row takes the combination only the last row holds: refused; the last row
  // deleted, taken.
  void RetakeCombination();

  // ---- what a press runs, as the model expects it
  struct Launch {
    std::string file;
    bool hasParameters;
    std::string parameters;
    std::uint32_t at;  // ms after the press
  };
  struct JobKey {
    std::string id, kind, info;
    bool operator==(const JobKey& o) const { return id == o.id && kind == o.kind && info == o.info; }
  };
  struct Expected {
    std::uint32_t t = 0;  // the virtual time since the press
    std::vector<Launch> launches;
    std::vector<std::uint32_t> ended;  // processes
    std::vector<std::uint32_t> exits;  // ExitWindows flags
    std::vector<std::pair<std::string, std::string>> prompts;
    int boxes = 0;  // for a malformed direct search or delay
    int jobs = 0;
    // Of key sequences: the keys (virtual key, up) and the texts pasted.
    std::vector<std::pair<unsigned, bool>> keys;
    std::vector<std::string> pasted;
  };
  void ExpectAction(const std::string& kind, const std::string& info, Expected& x);
  void ExpectItems(const JobKey& entry, const std::string& text, Expected& x, std::vector<JobKey>& chain,
                   bool& abandoned);
  void CheckPress(const Expected& x, std::uint32_t pressedAt);
  void AnswerPrompts(const std::vector<std::pair<std::string, std::string>>& prompts);

  // ---- invariants
  // Returns the files as they are after the step.
  std::map<std::string, std::string> CheckAll(std::uint32_t tickBefore,
                                              const std::map<std::string, std::string>& filesBefore);

  std::mt19937_64 rng_;
  bool verbose_;
  Model m_;
  std::unique_ptr<Tfrm_Tray> tray_;
  std::unique_ptr<Tfrm_main> editor_;
  std::vector<std::string> log_;
  // Files the current step may change or remove.
  std::set<std::string> mayChange_;
  std::size_t windowsAtStart_ = 0;
  // The answer to the next closing question (0: none is expected), and to the question
  // about a file changed outside.
  int questionAnswer_ = 0, outsideAnswer_ = 0;
  // The answer to the question about characters a CP949 file cannot hold (0: none is
  // expected this step), and whether the save that follows leaves CP949 for UTF-8.
  int cp949Answer_ = 0;
  bool leavesCp949_ = false;
  // "Config.ini" cannot be written during this step.
  bool configLocked_ = false;
  // Presses that ran an entry, by kind.
  std::map<int, int> pressed_;
  // "Config.ini" as the current step found it.
  std::string configAtStep_;
  // How long the current step may take on the virtual clock.
  std::uint32_t allowedMs_ = 1000;
  // The processes running beside the program (file, id), this copy of Keyvane among them.
  std::vector<std::pair<std::string, std::uint32_t>> procs_;
  std::uint32_t nextPid_ = 3000;
  // Another program holds the clipboard open.
  bool clipboardHeld_ = false;
};

std::string RandomUser::RandomText(int maxChars, bool allowEmpty, bool wide) {
  static const char* const pieces[] = {"a", "b", "c", "d", "e", "f", "0", "7", " ", "-", "가", "나", "한", "'", "\""};
  const int n = Pick(maxChars + 1);
  std::string text;
  for (int i = 0; i < n; ++i) text += wide && Chance(15) ? kWideChars[Pick(4)] : pieces[Pick(Chance(20) ? 15 : 13)];
  if (text.empty() && !allowEmpty) text = "x";
  return text;
}

std::string RandomUser::RandomHotKeyText() {
  if (Chance(15)) return "";
  HotKey h;
  for (bool& m : h.mods) m = Chance(40);
  h.key = kKeys[Pick(8)].name;
  return FormatHotKey(h);
}

// An action info as the list holds it (before it is stored).
std::string RandomUser::RandomInfo(int kind, bool wide) {
  if (kind == 7) {
    static const char* const names[] = {"notepad.exe", "NOTEPAD.exe", "calc.exe", "C:\\Windows\\notepad.exe"};
    if (Chance(70)) return names[Pick(4)];
  } else if (kind == 8) {
    static const char* const programs[] = {"C:\\Apps\\x.exe;/a b", "notepad.exe", "y.exe ;  p;q", "z.exe;",
                                           "\"C:\\My Apps\\w.exe\""};
    if (Chance(60)) return programs[Pick(5)];
  } else if (kind == 9) {
    if (Chance(50)) return Chance(50) ? "C:\\Users" : "D:\\a;b";
  } else if (kind == kDirectKind) {
    if (!m_.sites.empty() && Chance(80)) {
      const auto& site = m_.sites[Pick(static_cast<int>(m_.sites.size()))];
      return site.first + ";" + site.second;
    }
    return Chance(50) ? "" : "한 부분뿐";
  } else if (kind == kMultiKind) {
    static const char* const items[] = {"P0", "P1",      "P2",      "P3",      "P4",
                                        "P5", "Delay=0", "Delay=1", "Delay=2", "Delay=-1"};
    std::string info;
    for (int n = 1 + Pick(4); n > 0; --n) info += std::string(items[Pick(10)]) + ";";
    if (Chance(5)) info += Chance(50) ? "Delay=x;" : "Delay=;";
    return info;
  } else if (kind == kKeysKind) {
    static const char* const items[] = {"id",     "VK_TAB",    "암호 1",    "VK_RETURN", "VK_BACK", "VK_ESCAPE",
                                        "VK_Tab", "vk_return", "vK_eScApE", "a-b",       "it's",    "say \"hi"};
    std::string info;
    for (int n = 1 + Pick(4); n > 0; --n) info += std::string(info.empty() ? "" : ";") + items[Pick(12)];
    return info;
  } else if (kind == 14) {
    static const char* const actions[] = {"현재 창 최대화", "마우스 왼쪽 클릭", "탐색기 열기"};
    if (Chance(60)) return actions[Pick(3)];
  }
  return kind >= 7 ? RandomText(6, true, wide) : "";
}

Entry RandomUser::RandomEntry(const std::string& id, int kind, bool wide) {
  if (kind < 0) kind = kUsedKinds[Pick(kUsedKindCount)];
  const std::string info = ReplaceAll(RandomInfo(kind, wide), kDash, kWideDash);
  return AsSaved({RandomText(6, true, wide), id, RandomHotKeyText(), kKindNames[kind], info, Chance(80) ? "True" : "False"});
}

// ---------------------------------------------------------------- the program

void RandomUser::SetUpFiles() {
  // One entry of each kind the user gives entries, then a few of any.
  std::vector<Entry> rows;
  for (int i = 0; i < kUsedKindCount + 3; ++i)
    rows.push_back(RandomEntry("P" + std::to_string(i), i < kUsedKindCount ? kUsedKinds[i] : -1));
  WriteBytes(PathOf(kMainFile), FileText(rows));
  F(kMainFile) = {true, rows};
  rows.clear();
  for (int i = 0; i < 3; ++i) rows.push_back(RandomEntry("P" + std::to_string(i), -1, true));
  WriteBytes(PathOf(kOtherFile), Encoded(FileText(rows), Enc::kUtf8Mark));
  F(kOtherFile) = {true, rows, false, Enc::kUtf8Mark};
  WriteBytes(PathOf(kEmptyFile), "");
  F(kEmptyFile) = {true, {}};
  WriteBytes(ConfigFile(),
             "[Config]\r\nStartUp=0\r\nNewExplore=0\r\n[DirectSite]\r\nCount=2\r\nSite0=네이버,http://s.example/?q=\r\n"
             "Site1=다음 사전,http://d.example/?w=\r\n[Etc]\r\nLastWorkList_Path=" +
                 PathOf(kMainFile) + "\r\n");
  m_.sites = {{"네이버", "http://s.example/?q="}, {"다음 사전", "http://d.example/?w="}};
  // The user's own files beside the program, which nothing may touch.
  WriteBytes(plat::ProgramFolder() + "Notes.txt", "mine\r\n");
  WriteBytes(PathOf(kMainFile) + ".bak", "an older list\r\n");
  for (const auto& [mods, vk] : kTaken) sim::TakeCombination(mods, vk);
  // This copy of Keyvane, and other programs; notepad is what 프로그램 종료 entries end.
  procs_ = {{plat::ProgramPath(), 1000},   {"C:\\Windows\\notepad.exe", 2001}, {"NOTEPAD.EXE", 2002},
            {"C:\\Tools\\calc.exe", 2003}, {"C:\\Tools\\Keyvane2.exe", 2004},  {"keyvane.exe.bak", 2005}};
  for (const auto& [file, pid] : procs_) sim::AddProcess(file, pid);
  sim::SetCurrentProcess(1000);
  sim::PutOnClipboard(kUsersClipboard);
  // Two things the shell cannot open.
  sim::FailShellOpen("z.exe", 2);
  sim::FailShellOpen("D:\\a", 5);
}

void RandomUser::Start() {
  tray_ = std::make_unique<Tfrm_Tray>();
  editor_ = std::make_unique<Tfrm_main>();
  tray_->Attach(*editor_);
  // A fresh program: only the files, the settings and what other programs do stay.
  Model fresh;
  fresh.files = m_.files;
  fresh.last = m_.last;
  fresh.sites = m_.sites;
  m_ = fresh;
  LoadLast();
  m_.applied = m_.screen;
  m_.appliedPath = m_.workPath;
  // Right after the start, now and then, the user shows the editor.
  if (Chance(15)) ShowBySomeWay();
}

void RandomUser::CloseProgram() {
  for (Tfrm_KeyList* window : std::vector<Tfrm_KeyList*>(OpenKeyLists())) window->Close();
  plat::ProcessPendingMessages();
  editor_.reset();
  tray_.reset();
}

void RandomUser::Stop() {
  CloseProgram();
  // The quit asked by 끝내기 ends the message loop of the program that asked it.
  plat::RunMessageLoop();
}

RandomUser::Load RandomUser::LoadList(const std::string& name) {
  const WorkFile& f = F(name);
  if (!f.Readable()) {
    m_.unreadPath = name;  // an error box says so
    return Load::kUnreadable;
  }
  if (m_.unreadPath == name) m_.unreadPath.clear();
  // An empty file is an empty list of its own.
  m_.screen = f.rows;
  m_.selected = -1;
  m_.listEnc = f.enc;
  m_.workPath = m_.title = name;
  m_.incompletePath = f.incomplete ? name : "";
  m_.disk = 2;
  m_.diskBytes = ReadBytes(PathOf(name));
  return f.rows.empty() && !f.incomplete ? Load::kEmpty : Load::kLoaded;
}

void RandomUser::LoadLast() {
  m_.selected = -1;
  m_.fields.hotkey.key = "";  // the key list is filled anew
  const WorkFile& f = F(m_.last);
  if (!f.exists || LoadList(m_.last) == Load::kUnreadable) {
    // Nothing of it on screen: the entries made now go into it, in a new file's form unless
    // the list came from it before.
    if (m_.workPath != m_.last) m_.listEnc = Enc::kCp949;
    m_.workPath = m_.last;
    m_.screen.clear();
    m_.disk = f.exists ? 0 : 1;
    m_.diskBytes.clear();
    if (m_.incompletePath == m_.last) m_.incompletePath.clear();
  }
  m_.baseline = m_.screen;
  m_.unsavedEdits = false;
}

void RandomUser::ShowEditor() {
  m_.visible = true;
  Require(!m_.unsavedEdits, "showing the editor dropped edits not saved");
  if (!m_.screen.empty() && !F(m_.last).exists) {
    Marked();  // the list stays for a file that is gone
    return;
  }
  LoadLast();
  Settle();
}

void RandomUser::ShowBySomeWay() {
  if (m_.visible) return;
  const int way = m_.paused ? Pick(2) : Pick(3);
  if (way == 0) {
    Log("tray: 단축 편집");
    tray_->bnt_EditClick();
  } else if (way == 1) {
    Log("double click on the tray icon");
    sim::SendMessage(tray_->TrayIcon.Handle(), TTrayIcon::kTrayCallback, 0, 0x0203);
    sim::SendMessage(tray_->TrayIcon.Handle(), TTrayIcon::kTrayCallback, 0, 0x0202);
  } else {
    Log("press Ctrl+Win+F1");
    Require(sim::PressHotKey(kCtrlWin, 0x70), "Ctrl+Win+F1 is not registered");
  }
  ShowEditor();
}

void RandomUser::ClearFields() {
  m_.fields.description.clear();
  m_.fields.hotkey = HotKey{};
  m_.fields.active = false;
  for (std::string& box : m_.fields.info) box.clear();
}

void RandomUser::ShowRowInFields(int row) {
  ClearFields();
  if (row < 0) return;
  const Entry& e = m_.screen[row];
  m_.fields.description = e.description;
  HotKey h = ParseHotKey(e.hotkey);
  if (!FindKey(h.key)) h.key.clear();
  m_.fields.hotkey = h;
  const int kind = KindOfName(e.kind);
  if (kind > 0) {
    m_.fields.kind = kind;
    if (kind >= 7) m_.fields.info[kind] = e.info;
  }
  m_.fields.active = e.active == "True";
}

bool RandomUser::HotKeyFree(const std::string& text, int exceptRow) const {
  if (Reserved(text)) return false;
  if (ParseHotKey(text).key.empty()) return true;
  for (int i = 0; i < static_cast<int>(m_.screen.size()); ++i)
    if (i != exceptRow && m_.screen[i].hotkey == text) return false;
  return true;
}

void RandomUser::WriteHotKeyField() {
  if (m_.selected < 0) return;
  const std::string text = FormatHotKey(m_.fields.hotkey);
  if (HotKeyFree(text, m_.selected)) {
    m_.screen[m_.selected].hotkey = text;
    return;
  }
  // Refused: the fields show the row's combination again.
  HotKey kept = ParseHotKey(m_.screen[m_.selected].hotkey);
  if (!FindKey(kept.key)) kept.key.clear();
  m_.fields.hotkey = kept;
}

std::set<Combo> RandomUser::ExpectedRegistrations() const {
  std::set<Combo> all;
  if (!m_.running) return all;
  if (!m_.paused) {
    for (const Entry& e : m_.applied) {
      Combo c{};
      if (!EntryCombo(e, c)) continue;
      bool taken = false;
      for (const auto& [mods, vk] : kTaken) taken |= c == Combo{mods, vk};
      if (!taken) all.insert(c);
    }
    all.insert({kCtrlWin, 0x70});
  }
  all.insert({kCtrlWin, 0x71});
  return all;
}

int RandomUser::QuestionCount() const {
  int n = 0;
  for (const sim::Box& box : sim::Boxes()) n += box.text == kQuestion;
  return n;
}

int RandomUser::BoxCount(const std::string& text) const {
  int n = 0;
  for (const sim::Box& box : sim::Boxes()) n += box.text == text;
  return n;
}

bool RandomUser::ExpectSave(const std::string& name, bool kept) {
  // Asked before anything is written, whether or not the file can be: 예 keeps the list in
  // UTF-8 from then on (the CP949 file kept beside it), 아니요 takes the characters out.
  bool wide = false;
  for (const Entry& e : m_.screen) wide = wide || HasWideChars(e.description) || HasWideChars(e.info);
  cp949Answer_ = m_.listEnc == Enc::kCp949 && wide ? (Chance(50) ? plat::kIdYes : plat::kIdNo) : 0;
  if (cp949Answer_ != 0)
    Log(std::string("  characters CP949 cannot hold: answering ") + (cp949Answer_ == plat::kIdYes ? "예" : "아니요"));
  if (cp949Answer_ == plat::kIdNo) {
    const Entry row = m_.selected >= 0 ? m_.screen[m_.selected] : Entry{};
    for (Entry& e : m_.screen) {
      e.description = WithoutWideChars(e.description);
      e.info = WithoutWideChars(e.info);
    }
    // The fields show what is left of the selected entry, also when the save then fails.
    if (m_.selected >= 0 && !(m_.screen[m_.selected] == row)) ShowRowInFields(m_.selected);
  }
  const bool ok = WriteSucceeds(name, kept || cp949Answer_ == plat::kIdYes);
  leavesCp949_ = ok && cp949Answer_ == plat::kIdYes;
  if (leavesCp949_) m_.listEnc = Enc::kUtf8Mark;
  return ok;
}

// Whether writing the list to the file should succeed.
bool RandomUser::WriteSucceeds(const std::string& name, bool kept) {
  if (name == kGoneFile) return false;  // its folder is not there
  const WorkFile& f = F(name);
  // Another program's lock keeps it from being replaced; one that only holds it open lets
  // it be written in place, after a copy of it is kept.
  if (f.locked) return false;
  // A file about to lose every entry is kept first, as is one the list holds only part of
  // or nothing of; keeping needs reading it.
  const bool emptying = m_.screen.empty() && f.exists && (f.denied || ReadBytes(PathOf(name)) != "");
  const bool keep = f.exists && (kept || m_.incompletePath == name || m_.unreadPath == name || emptying);
  if (f.denied && (keep || (f.held && f.exists))) return false;
  return true;
}

void RandomUser::CheckSaved(const std::string& name, bool expected, const std::string& before,
                            const std::map<std::string, std::string>& filesBefore, bool registers, bool kept,
                            bool adopted) {
  const std::string after = ReadBytes(PathOf(name));
  Require(WithoutSection(ReadBytes(ConfigFile()), "Etc") == WithoutSection(configAtStep_, "Etc"),
          "a save changed Config.ini outside the last work file's path");
  Require(name != kConfigName, "a list was written into Config.ini");
  if (!expected) {
    Require(after == before, "a save that had to fail changed " + name);
    bool told = false;
    for (const sim::Box& box : sim::Boxes()) told |= (box.flags & 0xF0) == plat::kMbIconError;
    Require(told, "a save that failed did not say so");
    return;
  }
  std::vector<Entry> saved;
  for (const Entry& e : m_.screen) saved.push_back(AsSaved(e));
  const std::string wanted = Encoded(FileText(saved), m_.listEnc);
  Require(after == wanted, name + " does not hold the list on screen (" + EncName(m_.listEnc) + "):\n  file:\n" +
                               after + "\n  expected:\n" + wanted);
  // The old file is kept when the list held only part of it or nothing of it, or when it
  // loses every entry.
  const bool keep = before != "<missing>" && (kept || leavesCp949_ || m_.incompletePath == name ||
                                              m_.unreadPath == name || (saved.empty() && !before.empty()));
  leavesCp949_ = false;
  if (keep) {
    bool found = false;
    for (const auto& [file, bytes] : FolderFiles())
      if (!filesBefore.count(file) && file.rfind(name + ".bak", 0) == 0 && bytes == before) found = true;
    Require(found, "the old " + name + " was not kept beside it");
  }
  WorkFile& f = F(name);
  f.exists = true;
  f.rows = saved;
  f.incomplete = false;
  f.enc = m_.listEnc;
  // The list shows what the file holds.
  m_.screen = saved;
  mayChange_.insert(name);
  mayChange_.insert("Config.ini");
  if (m_.unreadPath == name) m_.unreadPath.clear();
  if (m_.incompletePath == name) m_.incompletePath.clear();
  if (!adopted) return;
  // Only a save that succeeded makes the file the work file the title names.
  m_.workPath = m_.title = name;
  m_.disk = 2;
  m_.diskBytes = after;
  m_.baseline = saved;
  m_.incompletePath.clear();
  m_.unreadPath.clear();
  m_.unsavedEdits = false;
  if (!configLocked_) m_.last = name;
  if (registers) {
    m_.applied = saved;
    m_.appliedPath = name;
  }
}

RandomUser::Commit RandomUser::PlanCommit() {
  Commit c;
  c.target = m_.workPath;
  c.before = ReadBytes(PathOf(c.target));
  c.filesBefore = FolderFiles();
  c.last = m_.last;
  const WorkFile& f = F(c.target);
  // Another program changed the file since the program last read or wrote it.
  const bool changed = m_.disk != 0 && f.Readable() && (m_.disk == 1 || c.before != m_.diskBytes);
  outsideAnswer_ = 0;
  if (changed) {
    if (m_.screen == m_.baseline) {
      c.rereads = true;  // nothing of the user's to keep: the file is the newer list
    } else {
      c.asks = true;
      outsideAnswer_ = Pick(4) == 0 ? plat::kIdCancel : Chance(50) ? plat::kIdYes : plat::kIdNo;
      c.rereads = outsideAnswer_ == plat::kIdNo;
      c.keeps = outsideAnswer_ == plat::kIdYes;
      c.goes = outsideAnswer_ != plat::kIdCancel;
    }
  }
  if (c.goes && !c.rereads) c.ok = ExpectSave(c.target, c.keeps);
  return c;
}

bool RandomUser::FinishCommit(const Commit& c) {
  outsideAnswer_ = 0;
  int asked = 0;
  for (const sim::Box& box : sim::Boxes()) asked += box.text.compare(0, std::strlen(kChangedOutside), kChangedOutside) == 0;
  Require(asked == (c.asks ? 1 : 0), asked ? "saving asked about a file nobody changed"
                                           : "saving did not ask about a file another program changed");
  if (c.asks) Log(std::string("  the file changed outside: answering ") + (c.keeps ? "예" : c.rereads ? "아니요" : "취소"));
  if (!c.goes) {
    Require(ReadBytes(PathOf(c.target)) == c.before, "취소 to the question about a changed file still wrote it");
    return false;
  }
  if (c.rereads) {
    Require(ReadBytes(PathOf(c.target)) == c.before, "a file changed outside was overwritten");
    LoadList(c.target);
    m_.baseline = m_.screen;
    m_.unsavedEdits = false;
    if (!configLocked_) m_.last = c.target;
    m_.applied = m_.screen;
    m_.appliedPath = m_.workPath;
    mayChange_.insert("Config.ini");
  } else {
    CheckSaved(c.target, c.ok, c.before, c.filesBefore, true, c.keeps);
    if (!c.ok) return false;
  }
  // A "Config.ini" that cannot record the file leaves the list marked.
  m_.modified = m_.applyEnabled = configLocked_;
  return true;
}

// ---------------------------------------------------------------- steps

void RandomUser::SelectRow() {
  const int rows = static_cast<int>(m_.screen.size());
  const int row = Chance(15) ? -1 : Pick(rows);
  const bool ctrl = Chance(20);
  Log("select row " + std::to_string(row) + (ctrl ? " with Ctrl" : ""));
  editor_->WorkList.UserSelect(row, ctrl);
  const int now = row < rows ? row : -1;
  if (now == m_.selected) return;
  m_.selected = now;
  ShowRowInFields(now);
}

void RandomUser::TypeDescription() {
  const std::string text = RandomText(4, false);
  Log("type \"" + text + "\" in the description");
  editor_->txt_subject.UserType(text);
  m_.fields.description += text;
  Marked();
  if (m_.selected >= 0) {
    m_.screen[m_.selected].description = m_.fields.description;
    m_.unsavedEdits = true;
  }
}

namespace {
// The text without its last character (a CP949 pair counts as one, and so does a character
// CP949 cannot spell).
std::string WithoutLast(const std::string& text) {
  std::size_t at = 0, last = 0;
  while (at < text.size()) {
    last = at;
    at += plat::CharBytes(text, at);
  }
  return text.substr(0, last);
}
}  // namespace

// Delete, paste or the box's context menu (cut, paste, undo): the text changes without a
// character key.
void RandomUser::EditDescription() {
  const std::string old = m_.fields.description;
  std::string text;
  const int how = Pick(3);
  if (how == 0 && !old.empty())
    text = WithoutLast(old);
  else if (how == 1)
    text = old + RandomText(5, false, true);
  else
    text = RandomText(6, true, true);
  Log(std::string(how == 0   ? "Delete"
                  : how == 1 ? "paste"
                             : "context menu") +
      " makes the description \"" + text + "\"");
  editor_->txt_subject.UserEdit(text);
  if (text == old) return;
  m_.fields.description = text;
  Marked();
  if (m_.selected >= 0) {
    m_.screen[m_.selected].description = text;
    m_.unsavedEdits = true;
  }
}

namespace {
const int kInfoKinds[] = {7, 8, 9, 10, 10, 14};
}

void RandomUser::TypeInfo() {
  const int kind = kInfoKinds[Pick(6)];
  const std::string text = RandomText(4, false);
  Log("type \"" + text + "\" in the box of " + kKindNames[kind]);
  editor_->InfoBox(kind)->UserType(text);
  m_.fields.info[kind] += text;
  m_.fields.kind = kind;
  Marked();
  if (m_.selected >= 0) {
    Entry& e = m_.screen[m_.selected];
    e.kind = kKindNames[kind];
    e.info = ReplaceAll(m_.fields.info[kind], kDash, kWideDash);
    m_.unsavedEdits = true;
  }
}

void RandomUser::EditInfo() {
  const int kind = kInfoKinds[Pick(6)];
  const std::string old = m_.fields.info[kind];
  const int how = Pick(3);
  std::string text;
  if (how == 0 && !old.empty())
    text = WithoutLast(old);
  else if (how == 1)
    text = old + RandomText(5, false, true);
  else
    text = RandomText(6, true, true);
  Log(std::string(how == 0   ? "Delete"
                  : how == 1 ? "paste"
                             : "context menu") +
      " makes the box of " + kKindNames[kind] + " \"" + text + "\"");
  editor_->InfoBox(kind)->UserEdit(text);
  if (text == old) return;
  m_.fields.info[kind] = text;
  m_.fields.kind = kind;
  Marked();
  if (m_.selected >= 0) {
    Entry& e = m_.screen[m_.selected];
    e.kind = kKindNames[kind];
    e.info = ReplaceAll(text, kDash, kWideDash);
    m_.unsavedEdits = true;
  }
}

void RandomUser::ClickModifier(int m) {
  if (m < 0) m = Pick(4);
  Log(std::string("click ") + kModNames[m]);
  plat::CheckBox* boxes[4] = {&editor_->cbShift, &editor_->cbControl, &editor_->cbAlt, &editor_->cbWin};
  const std::string before = m_.selected >= 0 ? m_.screen[m_.selected].hotkey : "";
  boxes[m]->UserClick();
  m_.fields.hotkey.mods[m] = !m_.fields.hotkey.mods[m];
  Marked();
  WriteHotKeyField();
  if (m_.selected >= 0 && m_.screen[m_.selected].hotkey != before) m_.unsavedEdits = true;
}

void RandomUser::PickKey(int k) {
  const Key& key = kKeys[k < 0 ? Pick(9) : k];
  int index = -1;
  const std::vector<std::string>& names = editor_->cmVK.Items();
  for (int i = 0; i < static_cast<int>(names.size()); ++i)
    if (names[i] == key.name) index = i;
  Require(index >= 0, std::string("the key list has no ") + key.name);
  Log(std::string("pick the key ") + key.name);
  const std::string before = m_.selected >= 0 ? m_.screen[m_.selected].hotkey : "";
  editor_->cmVK.UserPick(index);
  m_.fields.hotkey.key = key.name;
  Marked();
  WriteHotKeyField();
  if (m_.selected >= 0 && m_.screen[m_.selected].hotkey != before) m_.unsavedEdits = true;
}

// A combination pressed into the key list: taken before any hotkey, all boxes and the key at once.
void RandomUser::PressIntoKeyList() {
  const Key& key = kKeys[Pick(8)];
  unsigned mods = 1 + Pick(15);
  if (mods == 4 && key.vk == 0x73) mods |= 2;  // Alt+F4 closes the window: never taken
  HotKey pressed;
  pressed.key = key.name;
  for (int m = 0; m < 4; ++m) pressed.mods[m] = (mods & (1u << m)) != 0;
  unsigned flags = 0;
  for (int m = 0; m < 4; ++m) flags |= pressed.mods[m] ? kModFlags[m] : 0;
  Log("press " + FormatHotKey(pressed) + " into the key list");
  editor_->cmVK.SetFocus();
  const std::string before = m_.selected >= 0 ? m_.screen[m_.selected].hotkey : "";
  const std::size_t shellCalls = sim::ShellCalls().size(), terminations = sim::Terminations().size();
  Require(sim::PressHotKey(flags, key.vk), "the key list takes the combination");
  Require(sim::Terminations().size() == terminations && sim::ShellCalls().size() == shellCalls,
          "a combination pressed into the key list runs nothing");
  editor_->txt_subject.SetFocus();
  Require(plat::CombinationCaptureTarget() == 0, "the capture ends when the key list loses the focus");
  if (m_.selected < 0) return;
  m_.fields.hotkey = pressed;
  Marked();
  WriteHotKeyField();
  if (m_.screen[m_.selected].hotkey != before) m_.unsavedEdits = true;
}

void RandomUser::ClickKind() {
  const int kind = kUsedKinds[Pick(kUsedKindCount)];
  Log(std::string("click the kind ") + kKindNames[kind]);
  editor_->KindButton(kind).UserClick();
  Marked();
  if (m_.fields.kind == kind) return;
  m_.fields.kind = kind;
  if (m_.selected >= 0) {
    Entry& e = m_.screen[m_.selected];
    const Entry before = e;
    e.kind = kKindNames[kind];
    e.info = kind >= 7 ? ReplaceAll(m_.fields.info[kind], kDash, kWideDash) : "";
    if (!(e == before)) m_.unsavedEdits = true;
  }
}

void RandomUser::ClickActive() {
  Log("click 단축키 활성화");
  editor_->CheckActive.UserClick();
  m_.fields.active = !m_.fields.active;
  Marked();
  if (m_.selected >= 0) {
    m_.screen[m_.selected].active = m_.fields.active ? "True" : "False";
    m_.unsavedEdits = true;
  }
}

// The 특정액션 실행 dialog: OK with an action chosen, OK with nothing chosen (the box
// stays as it is, and still makes the entry one of that kind), or Cancel.
void RandomUser::ActionDialog() {
  const int how = Pick(3);
  std::string chosen;
  sim::OnNextModal([&](plat::Form& form) {
    auto& dialog = static_cast<Tfrm_Action&>(form);
    if (how == 0) {
      const int row = Pick(dialog.Listall.RowCount());
      dialog.Listall.UserSelect(row);
      chosen = dialog.Listall.Cell(row, 0);
    }
    (how == 2 ? dialog.bntCancel : dialog.bntok).UserClick();
  });
  editor_->bntAction.UserClick();
  Log(std::string("the 특정액션 실행 dialog: ") + (how == 0   ? "choose " + chosen + ", OK"
                                                   : how == 1 ? "OK without a choice"
                                                              : "Cancel"));
  Marked();
  if (how == 2) return;
  if (how == 0) m_.fields.info[14] = chosen;
  ConfirmedInfo(14);
}

void RandomUser::ConfirmedInfo(int kind) {
  m_.fields.kind = kind;
  if (m_.selected < 0) return;
  Entry& e = m_.screen[m_.selected];
  const Entry before = e;
  e.kind = kKindNames[kind];
  e.info = ReplaceAll(m_.fields.info[kind], kDash, kWideDash);
  if (!(e == before)) m_.unsavedEdits = true;
}

// The 입력 dialogs of 다이렉트 검색 (a site chosen, or none) and 키값자동 입력 (the keys as
// they are): OK or Cancel.
void RandomUser::InputDialog() {
  const bool search = Chance(50);
  const int how = Pick(3);
  std::string chosen;
  bool shown = false;
  sim::OnNextModal([&](plat::Form& form) {
    shown = true;
    if (search) {
      auto& dialog = static_cast<Tfrm_DirectSearch&>(form);
      if (how == 0 && dialog.Listall.RowCount() > 0) {
        const int row = Pick(dialog.Listall.RowCount());
        dialog.Listall.UserSelect(row);
        chosen = dialog.Listall.Cell(row, 0) + ";" + dialog.Listall.Cell(row, 1);
      }
      (how == 2 ? dialog.bntCancel : dialog.bntok).UserClick();
    } else {
      auto& dialog = static_cast<Tfrm_KeyEdit&>(form);
      if (how == 0) {
        // Lines typed, and a special key added: each line break becomes ";".
        static const char* const typed[] = {"id\n암호", "a b\n", "it's"};
        static const char* const keys[] = {"TAB", "RETURN", "ESCAPE", "BACK"};
        std::string memo = m_.fields.info[kKeysKind];
        const std::string text = typed[Pick(3)];
        dialog.MemoKey.UserType(text);
        memo += ReplaceAll(text, "\n", "\r\n");
        const int key = Pick(4);
        dialog.cmVK.UserPick(key);
        dialog.bnt_Add.UserClick();
        memo += std::string(!memo.empty() && memo.back() == ';' ? "VK_" : ";VK_") + keys[key] + ";";
        // What is typed after the key is an item of its own.
        if (Chance(50)) {
          dialog.MemoKey.UserType("pw9");
          memo += "pw9";
        }
        chosen = ReplaceAll(memo, "\r\n", ";");
      }
      (how == 2 ? dialog.bntCancel : dialog.bntok).UserClick();
    }
  });
  (search ? editor_->bntScriptFind : editor_->bntAutoKey).UserClick();
  Log(std::string("the 입력 dialog of ") + (search ? "다이렉트 검색: " : "키값자동 입력: ") +
      (how == 2         ? "Cancel"
       : chosen.empty() ? "OK as it is"
                        : "choose " + chosen + ", OK"));
  Require(shown, "the 입력 button opened no dialog");
  Marked();
  if (how == 2) return;
  const int kind = search ? 11 : 13;
  if (!chosen.empty()) m_.fields.info[kind] = chosen;
  ConfirmedInfo(kind);
}

void RandomUser::NewEntry() {
  Log("click 등록");
  editor_->bntNew.UserClick();
  m_.screen.push_back({"", NextFreeId(m_.screen), "", kKindNames[kWebKind], "", "True"});
  m_.selected = static_cast<int>(m_.screen.size()) - 1;
  ShowRowInFields(m_.selected);
  Marked();
  m_.unsavedEdits = true;
}

void RandomUser::DeleteEntry() {
  const int how = Pick(4);
  bool deleted = false;
  if (how == 3) {
    Log("delete every entry (select the first, click 삭제, until none is left; 삭제 once on an empty list)");
    if (m_.screen.empty()) editor_->bntDelete.UserClick();
    while (!m_.screen.empty()) {
      editor_->WorkList.UserSelect(0);
      if (m_.selected != 0) ShowRowInFields(0);
      editor_->bntDelete.UserClick();
      m_.screen.erase(m_.screen.begin());
      m_.selected = -1;
      deleted = true;
    }
  } else {
    if (how == 2) {
      Log("press Delete in the list");
      int vk = 0x2E;
      editor_->WorkList.UserKeyDown(vk);
    } else {
      Log("click 삭제");
      editor_->bntDelete.UserClick();
    }
    if (m_.selected >= 0) {
      m_.screen.erase(m_.screen.begin() + m_.selected);
      deleted = true;
    }
  }
  Marked();
  if (!deleted) return;
  // The row's loss of the selection empties the fields.
  ClearFields();
  m_.selected = -1;
  m_.unsavedEdits = true;
}

void RandomUser::Apply() {
  const bool enabled = m_.applyEnabled;
  const Entry row = m_.selected >= 0 ? m_.screen[m_.selected] : Entry{};
  const Commit c = enabled ? PlanCommit() : Commit{};
  Log(std::string("click 적용") + (enabled ? "" : " (disabled)") + (m_.paused ? " while paused" : "") + " (saving to " +
      m_.workPath + (c.ok ? ")" : ", which cannot be written)"));
  editor_->bnt_Apply.UserClick();
  if (!enabled || !FinishCommit(c)) return;
  // The saved texts come back into the fields when the selected row read back otherwise.
  if (m_.selected >= 0 && !(m_.screen[m_.selected] == row)) ShowRowInFields(m_.selected);
}

void RandomUser::CloseEditor() {
  const int answer = Pick(3) == 0 ? plat::kIdNo : Chance(50) ? plat::kIdYes : plat::kIdCancel;
  const char* name = answer == plat::kIdYes ? "예" : answer == plat::kIdNo ? "아니요" : "취소";
  Log(std::string("close the editor, answering ") + name);
  const int questions = QuestionCount();
  questionAnswer_ = answer;
  const Commit c = m_.modified && answer == plat::kIdYes ? PlanCommit() : Commit{};
  editor_->Close();
  questionAnswer_ = 0;
  const bool asked = QuestionCount() > questions;
  Require(asked == m_.modified, asked ? "the closing question came for a list without changes"
                                      : "the editor closed without asking although it held changes");
  Require(!(m_.unsavedEdits && !asked), "an edit was dropped without the closing question");
  if (!asked) {
    m_.visible = false;
  } else if (answer == plat::kIdYes) {
    if (FinishCommit(c) && !configLocked_) m_.visible = false;
  } else if (answer == plat::kIdNo) {
    m_.visible = false;
    // The edits are dropped: the list is the one last saved, and what runs.
    m_.screen = m_.baseline;
    m_.unsavedEdits = false;
    m_.selected = -1;
    Settle();
  }
  // Now and then the user shows the editor again at once.
  if (asked && !m_.visible && Chance(30)) ShowBySomeWay();
}

void RandomUser::TrayEdit() {
  if (!m_.visible) {
    ShowBySomeWay();
    return;
  }
  Log("tray: 단축 편집 (the editor is on screen)");
  tray_->bnt_EditClick();
}

void RandomUser::OpenListWindow() {
  Log("tray: 단축 리스트 보기");
  const std::size_t before = OpenKeyLists().size();
  tray_->bnt_listviewClick();
  Require(OpenKeyLists().size() == before + 1, "단축 리스트 보기 opened no window");
  const WorkFile& f = F(m_.last);
  if (!f.Readable()) return;
  // The last work file as it lies on disk.
  plat::ListView& list = OpenKeyLists().back()->WorkList;
  std::vector<Entry> rows;
  for (int r = 0; r < list.RowCount(); ++r) {
    const auto c = list.Row(r);
    rows.push_back({c[0], c[1], c[2], c[3], c[4], c[5]});
  }
  Require(rows == f.rows,
          "the list window does not show the work file:\n  shown:\n" + Show(rows) + "  in the file:\n" + Show(f.rows));
}

void RandomUser::CloseListWindows() {
  Log("close every list window");
  for (Tfrm_KeyList* window : std::vector<Tfrm_KeyList*>(OpenKeyLists())) window->bntClose.UserClick();
  plat::ProcessPendingMessages();
  Require(OpenKeyLists().empty(), "a list window did not close");
}

void RandomUser::TrayPause() {
  Log(m_.paused ? "tray: 시작" : "tray: 잠시 중지");
  tray_->bntStop.Click();
  m_.paused = !m_.paused;
}

void RandomUser::PauseKey() {
  // Once, or twice 30 ms apart: each press that follows a release switches.
  const int presses = Chance(30) ? 2 : 1;
  Log(presses == 2 ? "press Ctrl+Win+F2 twice, quickly" : "press Ctrl+Win+F2");
  for (int i = 0; i < presses; ++i) {
    sim::SetKeyDown(0x71, true);
    Require(sim::PressHotKey(kCtrlWin, 0x71), "Ctrl+Win+F2 is not registered");
    sim::SetKeyDown(0x71, false);
    m_.paused = !m_.paused;
    sim::SetNow(sim::Now() + 30);
    plat::ProcessPendingMessages();
  }
  Require(editor_->Paused() == m_.paused, "a quick press of Ctrl+Win+F2 did not switch");
}

namespace {
std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}
std::string BaseName(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\:/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}
// A program's path and its parameters: each part starts after blanks and control
// characters; the parameters end at a further ";".
std::vector<std::string> SemicolonParts(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  while (true) {
    while (from < text.size() && static_cast<unsigned char>(text[from]) <= ' ') ++from;
    const std::size_t semi = text.find(';', from);
    parts.push_back(
        text.substr(std::min(from, text.size()), semi == std::string::npos ? std::string::npos : semi - from));
    if (semi == std::string::npos) return parts;
    from = semi + 1;
  }
}
// The milliseconds of a delay item, or none when it has no whole number of seconds.
std::optional<std::int64_t> DelayOf(const std::string& item) {
  const std::vector<std::string> parts = Items(item, '=');
  if (parts.size() < 2) return std::nullopt;
  const std::string& n = parts[1];
  std::size_t i = n[0] == '+' || n[0] == '-' ? 1 : 0;
  if (i == n.size() || n.size() > 9) return std::nullopt;
  for (std::size_t k = i; k < n.size(); ++k)
    if (n[k] < '0' || n[k] > '9') return std::nullopt;
  return std::stoll(n) * 1000;
}
// The search URL as one argument: in quotes, a quote mark escaped with a backslash, and the
// backslashes right before a quote mark (or the closing one) doubled.
std::string OneArgument(const std::string& text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    std::size_t run = 0;
    while (i + run < text.size() && text[i + run] == '\\') ++run;
    if (i + run == text.size()) {
      out += std::string(2 * run, '\\');
      break;
    }
    if (text[i + run] == '"')
      out += std::string(2 * run + 1, '\\') + "\"";
    else
      out += std::string(run, '\\') + text[i + run];
    i += run + 1;
  }
  return out + "\"";
}
// Key names in any mix of capitals and small letters.
bool SpecialKey(const std::string& item, unsigned& vk) {
  static const std::pair<const char*, unsigned> keys[] = {
      {"VK_TAB", 0x09}, {"VK_RETURN", 0x0D}, {"VK_ESCAPE", 0x1B}, {"VK_BACK", 0x08}};
  for (const auto& [name, code] : keys)
    if (UpperAscii(item) == name) {
      vk = code;
      return true;
    }
  return false;
}
constexpr int kJobBudget = 300;  // a press whose multi-jobs would run more jobs is not made
}  // namespace

void RandomUser::ExpectAction(const std::string& kind, const std::string& info, Expected& x) {
  ++x.jobs;
  const int k = KindOfName(kind);
  const std::string text = ReplaceAll(info, kWideDash, kDash);
  // Names, paths and addresses get their quote marks back.
  const std::string plain = ReplaceAll(ReplaceAll(text, kWideApostrophe, "'"), kWideQuote, "\"");
  if (k >= 1 && k <= 3) {
    x.exits.push_back(k == 1 ? 1u : k == 2 ? 2u : 0u);
  } else if (k == 7) {
    for (auto it = procs_.begin(); it != procs_.end();) {
      if (UpperAscii(BaseName(it->first)) == UpperAscii(plain)) {
        x.ended.push_back(it->second);
        it = procs_.erase(it);
      } else {
        ++it;
      }
    }
  } else if (k == 8 || k == 9) {
    if (plain.find(';') == std::string::npos) {
      x.launches.push_back({plain, false, "", x.t});
    } else {
      const std::vector<std::string> parts = SemicolonParts(plain);
      x.launches.push_back({parts[0], true, parts.size() > 1 ? parts[1] : "", x.t});
    }
  } else if (k == kWebKind) {
    x.launches.push_back({plain, false, "", x.t});  // NewExplore=0: the system's handler
  } else if (k == kDirectKind) {
    const std::vector<std::string> parts = Items(text);
    if (parts.size() < 2)
      ++x.boxes;
    else
      x.prompts.push_back({parts[0], parts[1]});
  } else if (k == kKeysKind) {
    const std::vector<std::string> items = Items(text);
    if (items.empty()) return;
    // Modifiers still held from the hotkey go up first.
    for (unsigned vk : {0x11u, 0x12u, 0x10u, 0x5Bu, 0x5Cu}) x.keys.push_back({vk, true});
    for (const std::string& item : items) {
      unsigned vk = 0;
      if (SpecialKey(item, vk)) {
        x.keys.push_back({vk, false});
        x.keys.push_back({vk, true});
      } else if (clipboardHeld_) {
        // A text that cannot go on the clipboard ends the sequence: nothing is pasted.
        return;
      } else {
        // Typed with its quote marks as the user wrote them.
        x.pasted.push_back(ReplaceAll(ReplaceAll(item, kWideApostrophe, "'"), kWideQuote, "\""));
        x.t += 200;  // between filling the clipboard and Ctrl+V
        for (const auto& key : {std::pair{0x11u, false}, {0x56u, false}, {0x56u, true}, {0x11u, true}})
          x.keys.push_back(key);
      }
      x.t += 200;
    }
    // The clipboard holds again what the user had copied.
    if (std::any_of(items.begin(), items.end(), [](const std::string& i) {
          unsigned vk;
          return !SpecialKey(i, vk);
        }))
      x.pasted.push_back(kUsersClipboard);
  }
}

void RandomUser::ExpectItems(const JobKey& entry, const std::string& text, Expected& x, std::vector<JobKey>& chain,
                             bool& abandoned) {
  chain.push_back(entry);
  for (const std::string& item : Items(text)) {
    if (x.jobs > kJobBudget) break;
    if (item.compare(0, 5, "Delay") == 0) {
      const std::optional<std::int64_t> ms = DelayOf(item);
      if (!ms) {
        abandoned = true;
        break;
      }
      if (*ms > 0) x.t += static_cast<std::uint32_t>(*ms);
      continue;
    }
    // Each job is looked up as the list stands: the first row with the ID (in the applied
    // list while the list on screen is another file's).
    for (const Entry& e : RunList()) {
      if (e.id != item) continue;
      const JobKey job{e.id, e.kind, e.info};
      if (KindOfName(e.kind) != kMultiKind) {
        ExpectAction(e.kind, e.info, x);
      } else if (std::find(chain.begin(), chain.end(), job) == chain.end() && chain.size() < 32) {
        // A multi-job already running in this run is skipped.
        ++x.jobs;
        ExpectItems(job, ReplaceAll(e.info, kWideDash, kDash), x, chain, abandoned);
      }
      break;
    }
    if (abandoned) break;
    x.t += 200;
  }
  chain.pop_back();
}

void RandomUser::CheckPress(const Expected& x, std::uint32_t pressedAt) {
  Require(sim::Now() - pressedAt == x.t,
          "the press took " + std::to_string(sim::Now() - pressedAt) + " ms, expected " + std::to_string(x.t));
  const std::vector<sim::ShellCall> calls = sim::ShellCalls();
  std::string made, wanted;
  for (const sim::ShellCall& c : calls)
    made += "    " + c.file + (c.hasParameters ? " [" + c.parameters + "]" : "") + " at " +
            std::to_string(c.tick - pressedAt) + "\n";
  for (const Launch& l : x.launches)
    wanted +=
        "    " + l.file + (l.hasParameters ? " [" + l.parameters + "]" : "") + " at " + std::to_string(l.at) + "\n";
  Require(made == wanted,
          "the press opened other things than its entries name:\n  opened:\n" + made + "  expected:\n" + wanted);
  std::vector<std::uint32_t> ended;
  for (const sim::Termination& t : sim::Terminations()) ended.push_back(t.pid);
  Require(ended == x.ended, "the press ended other programs than 프로그램 종료 names");
  for (std::uint32_t pid : x.ended) Require(!sim::ProcessRunning(pid), "a program 프로그램 종료 ended still runs");
  for (const auto& [file, pid] : procs_)
    Require(sim::ProcessRunning(pid), file + " was ended although no entry names it");
  std::vector<std::uint32_t> exits;
  for (const sim::ExitCall& e : sim::ExitCalls()) exits.push_back(e.flags);
  Require(exits == x.exits, "the press asked Windows to end otherwise than its entries say");
  const auto& prompts = OpenPrompts();
  Require(prompts.size() == x.prompts.size(), "the press left " + std::to_string(prompts.size()) +
                                                  " direct-search prompts, expected " +
                                                  std::to_string(x.prompts.size()));
  for (std::size_t i = 0; i < prompts.size(); ++i)
    Require(
        prompts[i]->lbl_info.Caption() == x.prompts[i].first && prompts[i]->lbl_site.Caption() == x.prompts[i].second,
        "a direct-search prompt shows \"" + prompts[i]->lbl_info.Caption() + "\" \"" + prompts[i]->lbl_site.Caption() +
            "\", expected \"" + x.prompts[i].first + "\" \"" + x.prompts[i].second + "\"");
}

void RandomUser::AnswerPrompts(const std::vector<std::pair<std::string, std::string>>& expected) {
  static const char* const words[] = {"검색어", "two words", "say \"hi\"", "C:\\dir\\", "a\\\"b", "x"};
  std::vector<Tfrm_DirectMove*> prompts = OpenPrompts();
  std::vector<Launch> wanted;
  std::string did;
  for (std::size_t i = 0; i < prompts.size(); ++i) {
    Tfrm_DirectMove& prompt = *prompts[i];
    const int how = Pick(5);
    const std::string word = how <= 1 ? words[Pick(6)] : "";
    if (how == 0) {
      prompt.txt_edit.UserType(word + "\n");  // Enter
    } else if (how == 1 || how == 2) {
      prompt.txt_edit.UserType(word);
      prompt.bntok.UserClick();
    } else if (how == 3) {
      prompt.bntcancle.UserClick();
    } else {
      prompt.txt_edit.UserType("\x1b");  // Esc
    }
    did += std::string(" ") +
           (how == 0   ? "\"" + word + "\" Enter"
            : how == 1 ? "\"" + word + "\" 검색 시작"
            : how == 2 ? "검색 시작 with nothing typed"
            : how == 3 ? "취소"
                       : "Esc") +
           ";";
    if (!word.empty()) wanted.push_back({"iexplore.exe", true, OneArgument(expected[i].second + word), 0});
  }
  Log("the direct-search prompts:" + did);
  plat::ProcessPendingMessages();
  Require(OpenPrompts().empty(), "a direct-search prompt stayed after its answer");
  const std::vector<sim::ShellCall> calls = sim::ShellCalls();
  Require(calls.size() == wanted.size(), "the prompts opened " + std::to_string(calls.size()) + " searches, expected " +
                                             std::to_string(wanted.size()));
  for (std::size_t i = 0; i < calls.size(); ++i)
    Require(calls[i].file == wanted[i].file && calls[i].hasParameters && calls[i].parameters == wanted[i].parameters,
            "a search opened " + calls[i].file + " " + calls[i].parameters + ", expected iexplore.exe " +
                wanted[i].parameters);
}

void RandomUser::PressHotKey() {
  // Now and then another program starts, one that 프로그램 종료 entries may end.
  if (Chance(20) && procs_.size() < 12) {
    static const char* const names[] = {"notepad.exe", "C:\\Windows\\NotePad.exe", "calc.exe"};
    procs_.push_back({names[Pick(3)], nextPid_++});
    sim::AddProcess(procs_.back().first, procs_.back().second);
  }
  const std::set<Combo> registered = ExpectedRegistrations();
  // The list a press finds its entry in.
  const std::vector<Entry>& run = RunList();
  // The entry it runs: the first applied entry holding the combination registered it, and
  // it runs the entry with that ID on the list: at the same place, else the first.
  const auto rowFor = [&](const Combo& combo) {
    int row = -1, item = -1;
    if (!registered.count(combo) || combo == Combo{kCtrlWin, 0x70}) return row;
    for (int i = 0; i < static_cast<int>(m_.applied.size()) && item < 0; ++i) {
      Combo own{};
      if (EntryCombo(m_.applied[i], own) && own == combo) item = i;
    }
    Require(item >= 0, "no applied entry holds a registered combination");
    const std::string& id = m_.applied[item].id;
    if (item < static_cast<int>(run.size()) && run[item].id == id)
      row = item;
    else
      for (int r = 0; r < static_cast<int>(run.size()) && row < 0; ++r)
        if (run[r].id == id) row = r;
    return row;
  };
  // Mostly a combination that runs an entry, each kind as often as the others; sometimes
  // any applied entry's, the editor's key or any other.
  Combo c{};
  int how = Pick(10);
  if (how < 7) {
    std::map<int, std::vector<Combo>> byKind;
    for (const Entry& e : m_.applied) {
      Combo own{};
      if (!EntryCombo(e, own)) continue;
      const int r = rowFor(own);
      if (r >= 0) byKind[KindOfName(run[r].kind)].push_back(own);
    }
    if (!byKind.empty()) {
      auto kind = byKind.begin();
      std::advance(kind, Pick(static_cast<int>(byKind.size())));
      c = kind->second[Pick(static_cast<int>(kind->second.size()))];
    } else {
      how = 7;
    }
  }
  if (how < 7) {
  } else if (how < 8 && !m_.applied.empty()) {
    if (!EntryCombo(m_.applied[Pick(static_cast<int>(m_.applied.size()))], c)) c = {plat::kModAlt, 0x42};
  } else if (how < 9) {
    c = {kCtrlWin, 0x70};
  } else {
    c = {kModFlags[Pick(4)], kKeys[Pick(8)].vk};
  }
  if (c == Combo{kCtrlWin, 0x71}) c = {kCtrlWin, 0x70};
  const int row = rowFor(c);
  if (row >= 0) ++pressed_[KindOfName(run[row].kind)];
  Expected x;
  const auto processes = procs_;
  if (row >= 0) {
    const Entry& e = run[row];
    if (KindOfName(e.kind) == kMultiKind) {
      std::vector<JobKey> chain;
      bool abandoned = false;
      ExpectItems({e.id, e.kind, e.info}, ReplaceAll(e.info, kWideDash, kDash), x, chain, abandoned);
      if (abandoned) ++x.boxes;
    } else {
      ExpectAction(e.kind, e.info, x);
    }
    if (x.jobs > kJobBudget) {
      Log("the user does not press " + ComboText(c) + ": its multi-job would run too long");
      procs_ = processes;
      return;
    }
  }
  // During a multi-job's wait the user presses a hotkey that starts a program, opens a
  // folder or a site: it runs at once, inside the wait.
  std::string during;
  if (row >= 0 && KindOfName(run[row].kind) == kMultiKind && x.t >= 400 && Chance(50)) {
    std::vector<std::pair<Combo, int>> openers;
    for (const Entry& e : m_.applied) {
      Combo own{};
      if (!EntryCombo(e, own)) continue;
      const int r = rowFor(own);
      if (r >= 0 && KindOfName(run[r].kind) >= 8 && KindOfName(run[r].kind) <= kWebKind)
        openers.push_back({own, r});
    }
    if (!openers.empty()) {
      const auto [other, r] = openers[Pick(static_cast<int>(openers.size()))];
      constexpr std::uint32_t kAfter = 150;  // between two jobs, which come 200 ms apart
      Expected y;
      ExpectAction(run[r].kind, run[r].info, y);
      for (Launch l : y.launches) {
        l.at += kAfter;
        x.launches.insert(std::upper_bound(x.launches.begin(), x.launches.end(), l,
                                           [](const Launch& a, const Launch& b) { return a.at < b.at; }),
                          l);
      }
      sim::At(sim::Now() + kAfter, [other = other] { sim::PressHotKey(other.mods, other.vk); });
      during = ", and " + ComboText(other) + " (" + run[r].id + ") 150 ms later";
    }
  }
  // In the wait before a key sequence's first Ctrl+V another program copies, or the user
  // presses another key sequence's hotkey: the paste is still the sequence's own text.
  std::optional<std::vector<plat::ClipboardData>> copiedMeanwhile;
  if (row >= 0 && KindOfName(run[row].kind) == kKeysKind && !clipboardHeld_ && x.pasted.size() >= 2 &&
      x.keys.size() > 5 && x.keys[5].first == 0x11 && Chance(60)) {
    constexpr std::uint32_t kAfter = 100;
    std::vector<std::pair<Combo, int>> sequences;
    for (const Entry& e : m_.applied) {
      Combo own{};
      if (!EntryCombo(e, own)) continue;
      const int r = rowFor(own);
      if (r >= 0 && KindOfName(run[r].kind) == kKeysKind) sequences.push_back({own, r});
    }
    if (Chance(50) || sequences.empty()) {
      copiedMeanwhile = {{plat::kCfText, std::string("다른 프로그램의 글") + '\0'}};
      sim::At(sim::Now() + kAfter, [formats = *copiedMeanwhile] { sim::PutFormatsOnClipboard(formats); });
      during = ", and another program copies 100 ms later";
      // Put on once more before Ctrl+V; their copy is what goes back.
      x.pasted.insert(x.pasted.begin() + 1, x.pasted.front());
      x.pasted.back() = "다른 프로그램의 글";
    } else {
      const auto [other, r] = sequences[Pick(static_cast<int>(sequences.size()))];
      Expected y;
      ExpectAction(run[r].kind, run[r].info, y);
      if (!y.keys.empty()) {
        sim::At(sim::Now() + kAfter, [other = other] { sim::PressHotKey(other.mods, other.vk); });
        during = ", and " + ComboText(other) + " (" + run[r].id + ") 100 ms later";
        // It plays inside the wait, sharing the keeping; the outer text goes on once more
        // if it pasted any, and the outer wait ends when it has.
        x.keys.insert(x.keys.begin() + 5, y.keys.begin(), y.keys.end());
        if (!y.pasted.empty()) {
          y.pasted.back() = x.pasted.front();
          x.pasted.insert(x.pasted.begin() + 1, y.pasted.begin(), y.pasted.end());
        }
        x.t += std::max<std::uint32_t>(kAfter + y.t, 200) - 200;
      }
    }
  }
  Log("press " + ComboText(c) + (row >= 0 ? " (" + run[row].id + ", " + run[row].kind + ")" : "") + during);
  const std::vector<plat::ClipboardData> clipboard = sim::ClipboardFormats();
  const std::uint32_t pressedAt = sim::Now();
  // One of a multi-job's programs cannot be opened, and the user leaves the box that says
  // so open for 5 s: the multi-job goes on meanwhile.
  const auto fails = [](const std::string& file) { return file == "z.exe" || file == "D:\\a"; };
  std::string madeFailing;
  if (row >= 0 && KindOfName(run[row].kind) == kMultiKind && x.boxes == 0 && !x.launches.empty() &&
      std::none_of(x.launches.begin(), x.launches.end(), [&](const Launch& l) { return fails(l.file); }) &&
      Chance(50)) {
    const std::string file = x.launches[Pick(static_cast<int>(x.launches.size()))].file;
    if (std::count_if(x.launches.begin(), x.launches.end(), [&](const Launch& l) { return l.file == file; }) == 1)
      madeFailing = file;
  }
  const std::uint32_t boxHold = madeFailing.empty() ? 0 : 5000;
  if (boxHold) {
    sim::FailShellOpen(madeFailing, 2);
    sim::HoldBoxesOpen(boxHold);
    Log("the user leaves the box open for 5 s: " + madeFailing + " cannot be opened");
  }
  const bool pressed = sim::PressHotKey(c.mods, c.vk);
  sim::HoldBoxesOpen(0);
  Require(pressed == (registered.count(c) > 0), pressed
                                                    ? "a press reached the program for a combination it should not hold"
                                                    : "a press found no registration for a combination it should hold");
  if (!pressed) return;
  if (c == Combo{kCtrlWin, 0x70}) {
    if (!m_.visible) ShowEditor();
    return;
  }
  allowedMs_ = x.t + 1000 + boxHold;
  CheckPress(x, pressedAt);
  if (!x.keys.empty()) {
    std::vector<std::pair<unsigned, bool>> keys;
    for (const sim::KeyEvent& k : sim::KeyEvents()) keys.push_back({k.vk, (k.flags & 2) != 0});
    // Built-in actions of a multi-job send keys of their own; a key sequence pressed alone
    // sends exactly its own.
    if (KindOfName(run[row].kind) == kKeysKind)
      Require(keys == x.keys, "the key sequence sent other keys than its items");
    std::vector<std::string> pasted;
    for (const sim::ClipboardChange& change : sim::ClipboardChanges())
      if (change.text) pasted.push_back(*change.text);
    Require(pasted == x.pasted,
            "the key sequence pasted other texts than its items, or did not give the clipboard back");
    Require(sim::ClipboardFormats() == copiedMeanwhile.value_or(clipboard),
            "the clipboard does not hold again what the user had copied");
    if (copiedMeanwhile) sim::PutOnClipboard(kUsersClipboard);  // the user copies again
  }
  // A built-in action runs a moment after its press, and a box says what could not be opened.
  sim::SetNow(sim::Now() + 20);
  plat::ProcessPendingMessages();
  const int failed = static_cast<int>(std::count_if(x.launches.begin(), x.launches.end(), [&](const Launch& l) {
    return fails(l.file) || (!madeFailing.empty() && l.file == madeFailing);
  }));
  Require(static_cast<int>(sim::Boxes().size()) == x.boxes + failed,
          "the press showed " + std::to_string(sim::Boxes().size()) + " boxes, expected " + std::to_string(x.boxes) +
              " and one for each of the " + std::to_string(failed) + " things that could not be opened");
  // The box names the row that ran, also when another row has its ID.
  if (failed && KindOfName(run[row].kind) != kMultiKind && !run[row].description.empty())
    Require(sim::Boxes().back().text.find("\"" + run[row].description + "\"") != std::string::npos,
            "the box names another row than the one that ran");
  if (boxHold) {
    sim::SetNow(sim::Now() + boxHold);
    plat::ProcessPendingMessages();
    Require(sim::NoticeBoxesOpen() == 0, "a box left open was not closed");
    sim::FailShellOpen(madeFailing, 0);
  }
  if (!x.prompts.empty()) {
    sim::ForgetRecords();
    AnswerPrompts(x.prompts);
  }
}

void RandomUser::EndProgram(bool session) {
  const int answer = Pick(3) == 0 ? plat::kIdNo : Chance(60) ? plat::kIdYes : plat::kIdCancel;
  const char* name = answer == plat::kIdYes ? "예" : answer == plat::kIdNo ? "아니요" : "취소";
  Log(std::string(session ? "Windows ends the session" : "tray: 끝내기") + ", answering " + name +
      ", then start again");
  const bool shouldAsk = m_.visible && m_.modified;
  const int questions = QuestionCount();
  questionAnswer_ = answer;
  const Commit c = shouldAsk && answer == plat::kIdYes ? PlanCommit() : Commit{};
  bool sessionEnds = true;
  if (session) {
    sessionEnds = sim::QueryEndSession();
    sim::EndSession(sessionEnds);
  } else {
    tray_->bnt_closeClick();
  }
  questionAnswer_ = 0;
  const bool asked = QuestionCount() > questions;
  Require(asked == shouldAsk, asked ? "끝내기 asked about a list without changes" : "끝내기 did not ask about changes");
  Require(!(m_.unsavedEdits && !asked), "an edit was dropped without the closing question");
  bool ends = true;
  if (!asked) {
  } else if (answer == plat::kIdYes) {
    ends = FinishCommit(c);
  } else if (answer == plat::kIdCancel) {
    ends = false;
  }
  Require(!session || sessionEnds == ends,
          ends ? "the program held the session up" : "the session ended against the answer");
  if (!ends) {
    Require(sim::TrayIcons().size() == 1, "the program ended although the user stayed");
    return;
  }
  Require(sim::Registrations().empty(), "hotkeys are still registered after 끝내기");
  Stop();
  Start();
  mayChange_.insert("Config.ini");
}

void RandomUser::ChangeFileFromOutside() {
  const std::string name = Chance(70) ? kMainFile : kOtherFile;
  WorkFile& f = F(name);
  const std::string path = PathOf(name);
  int how = Pick(13);
  if (how == 12) {
    clipboardHeld_ = !clipboardHeld_;
    sim::HoldClipboard(clipboardHeld_);
    Log(clipboardHeld_ ? "another program holds the clipboard open" : "the clipboard is let go");
    return;
  }
  // What another program does to a file it mostly undoes soon.
  if ((f.locked || f.held || f.denied) && Chance(40)) how = f.locked ? 5 : f.held ? 7 : 9;
  mayChange_.insert(name);
  if (how == 11) {
    // The user clears away the backups the program kept (all but the first of MyJob.ini,
    // which the user made before).
    Log("the user deletes the backups the program kept");
    for (const auto& [file, bytes] : FolderFiles())
      if (file.find(".bak") != std::string::npos && file != std::string(kMainFile) + ".bak") {
        std::filesystem::remove(std::filesystem::path(plat::ProgramFolder() + file));
        mayChange_.insert(file);
      }
  } else if (how == 0) {
    Log("another program deletes " + name + (f.locked || f.held ? " (it cannot)" : ""));
    if (f.locked || f.held) return;
    std::filesystem::remove(std::filesystem::path(path));
    f.exists = false;
    f.rows.clear();
    f.incomplete = false;
  } else if (how <= 4) {
    if (f.locked) {
      Log("another program cannot write the locked " + name);
      return;
    }
    const int form = Pick(5);
    const Enc enc = form <= 2 ? Enc::kCp949 : form == 3 ? Enc::kUtf8Mark : Enc::kUtf16Le;
    std::vector<Entry> rows;
    const int n = Pick(14), first = Pick(kUsedKindCount);
    // Kinds in turn, so that every kind comes to be pressed; now and then two rows share an
    // ID, as a hand-edited file may have them.
    for (int i = 0; i < n; ++i)
      rows.push_back(RandomEntry("P" + std::to_string(Chance(25) ? 0 : i), kUsedKinds[(first + i) % kUsedKindCount],
                                 enc != Enc::kCp949));
    std::string text = FileText(rows);
    const bool broken = Chance(30);
    if (broken) text += "a line that is no entry\r\n" + FileText({RandomEntry("P9")});
    // Notepad leaves the last line without its line break if the user did.
    const bool open = !text.empty() && Chance(30);
    if (open) text.resize(text.size() - 2);
    Log("another program writes " + name + " as " + EncName(enc) + ": " + std::to_string(n) + " entries" +
        (broken ? " and a broken line" : "") + (open ? ", the last line without its break" : "") +
        (m_.visible ? " while the editor is on screen" : ""));
    WriteBytes(path, Encoded(text, enc));
    f.exists = true;
    f.rows = rows;
    f.incomplete = broken;
    f.enc = enc;
  } else if (how <= 6) {
    f.locked = !f.locked;
    Log(f.locked ? "another program locks " + name : "the lock on " + name + " goes");
    if (f.locked)
      sim::LockFile(path);
    else
      sim::UnlockFile(path);
  } else if (how <= 8) {
    f.held = !f.held;
    Log(f.held ? "another program holds " + name + " open" : name + " is let go");
    if (f.held)
      sim::HoldOpen(path);
    else
      sim::ReleaseHold(path);
  } else {
    f.denied = !f.denied;
    Log(f.denied ? name + " is made unreadable" : name + " is made readable again");
    if (f.denied)
      sim::DenyRead(path);
    else
      sim::AllowRead(path);
  }
}

// 파일 > 열기: the closing question first when the list holds changes, then the file: another,
// the same, an empty one, a missing one, Keyvane's own settings, or none (cancelled); now and
// then while "Config.ini" cannot be written.
void RandomUser::OpenWorkFile() {
  static const char* const targets[] = {kOtherFile, kOtherFile, kMainFile, kEmptyFile, kNoFile, kConfigName, ""};
  const std::string target = targets[Pick(7)];
  const int answer = Pick(3) == 0 ? plat::kIdNo : Chance(60) ? plat::kIdYes : plat::kIdCancel;
  const char* answerName = answer == plat::kIdYes ? "예" : answer == plat::kIdNo ? "아니요" : "취소";
  configLocked_ = Chance(12);
  Log("파일 > 열기 " + (target.empty() ? std::string("(cancelled)") : target) +
      (m_.modified ? std::string(", answering ") + answerName : "") +
      (configLocked_ ? " while Config.ini cannot be written" : ""));
  const bool saves = m_.modified && answer == plat::kIdYes;
  const Commit c = saves ? PlanCommit() : Commit{};
  const int questions = QuestionCount();
  const bool wasModified = m_.modified, locked = configLocked_;
  // The dialog comes unless the user stays with the list (취소, or a 예 that could not go
  // through, or that "Config.ini" could not record).
  const bool dialog = !wasModified || answer == plat::kIdNo ||
                      (answer == plat::kIdYes && c.goes && (c.rereads || c.ok) && !locked);
  if (dialog && !target.empty()) sim::AnswerNextFileDialog(PathOf(target));
  if (locked) sim::LockFile(ConfigFile());
  questionAnswer_ = answer;
  editor_->N2Click();
  questionAnswer_ = 0;
  if (locked) sim::UnlockFile(ConfigFile());
  const bool asked = QuestionCount() > questions;
  Require(asked == wasModified, asked ? "열기 asked about a list without changes" : "열기 did not ask about changes");
  // A list saved that "Config.ini" cannot record is registered but stays marked.
  if (saves) FinishCommit(c);
  configLocked_ = false;
  if (wasModified && answer == plat::kIdNo) {
    // The edits are dropped at once, whatever follows.
    m_.screen = m_.baseline;
    m_.unsavedEdits = false;
    m_.selected = -1;
    Settle();
  }
  Require(static_cast<int>(sim::FileDialogs().size()) == (dialog ? 1 : 0),
          dialog ? "열기 showed no file dialog" : "열기 showed its dialog although the user stayed with the list");
  if (!dialog || target.empty()) return;
  Require(!sim::FileDialogs()[0].save, "열기 showed a save dialog");
  if (target == kConfigName) {
    bool refused = false;
    for (const sim::Box& box : sim::Boxes()) refused |= box.text.find(kNotASettingsFile) != std::string::npos;
    Require(refused, "opening Config.ini was not refused with a box that says why");
    return;
  }
  if (!F(target).exists) {
    Require(BoxCount("작업 파일이 존재 하지 않습니다. 다시한번 확인해 주십시오") == 1,
            "opening a file that is not there did not say so");
    return;
  }
  bool failed = false;
  for (const sim::Box& box : sim::Boxes()) failed |= (box.flags & 0xF0) == plat::kMbIconError;
  if (!F(target).Readable()) {
    m_.unreadPath = target;
    Require(failed, "opening a file that cannot be read did not say so");
    return;
  }
  if (locked) {
    // "Config.ini" could not record it: nothing opened, so the next start loads what is shown.
    Require(BoxCount("Unable to write to " + ConfigFile()) == 1, "opening while Config.ini cannot be written did not say so");
    return;
  }
  Require(!failed, "opening a readable file failed");
  LoadList(target);
  // Only a list that opened becomes the last work file.
  m_.last = target;
  mayChange_.insert("Config.ini");
  m_.baseline = m_.screen;
  m_.unsavedEdits = false;
  Settle();
}

// 파일 > 다른 이름으로 저장: to another file, the same one, an empty one, where nothing can be
// written, or over Keyvane's settings; now and then while "Config.ini" cannot be written.
void RandomUser::SaveAs() {
  static const char* const targets[] = {kOtherFile, kOtherFile, kMainFile, kEmptyFile, kGoneFile, kConfigName, "", ""};
  const std::string target = targets[Pick(8)];
  const bool dialog = !m_.screen.empty();
  const bool settings = target == kConfigName;
  const Entry row = m_.selected >= 0 ? m_.screen[m_.selected] : Entry{};
  const bool ok = dialog && !target.empty() && !settings && ExpectSave(target);
  const bool locked = ok && Chance(15);
  Log("파일 > 다른 이름으로 저장 " + (target.empty() ? std::string("(cancelled)") : target) +
      (dialog ? (ok || target.empty() ? "" : ", which cannot be written") : " with an empty list") +
      (locked ? " while Config.ini cannot be written" : ""));
  const std::string before = ReadBytes(PathOf(target));
  const auto filesBefore = FolderFiles();
  if (dialog && !target.empty()) sim::AnswerNextFileDialog(PathOf(target));
  if (locked) sim::LockFile(ConfigFile());
  editor_->S1Click();
  if (locked) sim::UnlockFile(ConfigFile());
  Require(static_cast<int>(sim::FileDialogs().size()) == (dialog ? 1 : 0),
          dialog ? "다른 이름으로 저장 showed no dialog" : "다른 이름으로 저장 showed a dialog for an empty list");
  if (!dialog || target.empty()) return;
  Require(sim::FileDialogs()[0].save && sim::FileDialogs()[0].options.overwritePrompt,
          "다른 이름으로 저장 showed no save dialog that asks before overwriting");
  if (settings) {
    Require(ReadBytes(ConfigFile()) == configAtStep_, "a save under the name Config.ini changed it");
    Require(!sim::Boxes().empty() && sim::Boxes().back().text.find(kNotASettingsFile) != std::string::npos,
            "saving over Config.ini was not refused with a box that says why");
    return;
  }
  // Neither the registrations nor the mark of changes follow a save under another name,
  // but a list that was what runs runs from its new file.
  const bool wasApplied = m_.workPath == m_.appliedPath && m_.screen == m_.applied;
  configLocked_ = locked;
  CheckSaved(target, ok, before, filesBefore, false, false, !locked);
  configLocked_ = false;
  if (!ok) return;
  if (locked) {
    Require(BoxCount("Unable to write to " + ConfigFile()) == 1, "a save as that Config.ini could not record said nothing");
  } else {
    if (wasApplied) m_.appliedPath = target;
    if (Unapplied()) Marked();
  }
  if (m_.selected >= 0 && !(m_.screen[m_.selected] == row)) ShowRowInFields(m_.selected);
}

// The 다중작업 실행 dialog: the jobs and delays on the right come from the box; the user adds,
// removes and moves rows and delays, then OK or Cancel.
void RandomUser::MultiJobDialog() {
  using Rows = std::vector<std::pair<std::string, std::string>>;  // first column, ID
  Rows right;
  for (const std::string& item : Items(m_.fields.info[kMultiKind])) {
    if (item.find("Delay=") != std::string::npos) {
      right.push_back({item, ""});
      continue;
    }
    std::string description;
    for (const Entry& e : m_.screen)
      if (e.id == item) {
        description = e.description;
        break;
      }
    right.push_back({description, item});
  }
  Rows all;
  for (const Entry& e : m_.screen) all.push_back({e.description, e.id});
  const int how = Pick(3);  // 0: changes and OK, 1: OK at once, 2: Cancel
  std::string problem, did;
  int formatBoxes = 0;
  bool shown = false;
  const auto rowsOf = [](plat::ListView& list) {
    Rows rows;
    for (int r = 0; r < list.RowCount(); ++r) rows.push_back({list.Cell(r, 0), list.Cell(r, 1)});
    return rows;
  };
  sim::OnNextModal([&](plat::Form& form) {
    shown = true;
    auto& d = static_cast<Tfrm_Setmulti&>(form);
    if (rowsOf(d.Listall) != all) problem = "the multi-job dialog does not list the entries on screen";
    if (rowsOf(d.ListSelect) != right) problem = "the multi-job dialog does not show the jobs of the box";
    if (!problem.empty()) return;
    for (int n = how == 0 ? 1 + Pick(5) : 0; n > 0; --n) {
      const int action = Pick(8);
      const int rows = static_cast<int>(right.size());
      if (action == 0 && !all.empty()) {
        const int a = Pick(static_cast<int>(all.size())), b = Pick(static_cast<int>(all.size()));
        d.Listall.UserSelect(a);
        if (b != a) d.Listall.UserSelect(b, true);
        for (int r = 0; r < static_cast<int>(all.size()); ++r)
          if (r == a || r == b) right.push_back(all[r]);
        d.bntplus.UserClick();
        did += " > rows " + std::to_string(std::min(a, b)) + "," + std::to_string(std::max(a, b)) + ";";
      } else if (action == 1) {
        d.bntallpluss.UserClick();
        right = all;
        did += " >>;";
      } else if (action == 2 && rows > 0) {
        const int a = Pick(rows), b = Pick(rows);
        d.ListSelect.UserSelect(a);
        if (b != a) d.ListSelect.UserSelect(b, true);
        d.bntminus.UserClick();
        right.erase(right.begin() + std::max(a, b));
        if (a != b) right.erase(right.begin() + std::min(a, b));
        did += " < rows " + std::to_string(a) + "," + std::to_string(b) + ";";
      } else if (action == 3) {
        d.bntallminus.UserClick();
        right.clear();
        did += " <<;";
      } else if (action <= 5) {
        static const char* const delays[] = {"1", "2", " +2", "0", "-1", "0x1", "$2", "abc", "2x", ""};
        static const char* const added[] = {"1", "2", "2", "0", "-1", "1", "2", nullptr, nullptr, nullptr};
        const int k = Pick(10);
        d.txt_delay.UserEdit(delays[k]);
        d.bntSecAdd.UserClick();
        if (added[k])
          right.push_back({std::string("Delay=") + added[k], ""});
        else
          ++formatBoxes;
        did += std::string(" delay \"") + delays[k] + "\";";
      } else if (rows > 0) {
        const int r = Pick(rows);
        const bool up = action == 6;
        d.ListSelect.UserSelect(r);
        (up ? d.bntUp : d.bntDown).UserClick();
        const int to = up ? r - 1 : r + 1;
        if (to >= 0 && to < rows) std::swap(right[r], right[to]);
        did += std::string(up ? " up " : " down ") + std::to_string(r) + ";";
      }
      if (rowsOf(d.ListSelect) != right) {
        problem = "after" + did + " the multi-job dialog shows other jobs than the user chose";
        return;
      }
    }
    (how == 2 ? d.bntCancel : d.bntok).UserClick();
  });
  editor_->bntMultijop.UserClick();
  Log("the 다중작업 dialog:" + did + (how == 2 ? " Cancel" : " OK"));
  Require(shown, "the 입력 button of 다중작업 opened no dialog");
  Require(problem.empty(), problem);
  Require(BoxCount("형식이 틀렸습니다. 다시입력해 주세요") == formatBoxes, "a delay that is no number was not refused");
  Marked();
  if (how == 2) return;
  // Each job and delay, followed by ";".
  std::string text;
  for (const auto& [first, id] : right) text += (id.empty() ? first : id) + ";";
  m_.fields.info[kMultiKind] = text;
  ConfirmedInfo(kMultiKind);
}

void RandomUser::RetakeCombination() {
  const int last = static_cast<int>(m_.screen.size()) - 1;
  const HotKey held = ParseHotKey(m_.screen[last].hotkey);
  const Key* key = FindKey(held.key);
  const auto select = [this](int row) {
    editor_->WorkList.UserSelect(row);
    if (m_.selected != row) ShowRowInFields(row);
    m_.selected = row;
  };
  const auto pickAs = [this](const HotKey& want, const Key* k) {
    for (int m = 0; m < 4; ++m)
      if (m_.fields.hotkey.mods[m] != want.mods[m]) ClickModifier(m);
    PickKey(static_cast<int>(k - kKeys));
  };
  if (!key || key->vk == 0 || Reserved(m_.screen[last].hotkey)) {
    Log("the last row gets a combination of its own");
    select(last);
    HotKey any;
    for (bool& m : any.mods) m = Chance(50);
    pickAs(any, &kKeys[2 + Pick(6)]);
    return;
  }
  const int row = Pick(last);
  Log("row " + std::to_string(row) + " takes " + m_.screen[last].hotkey + ", which the last row holds");
  select(row);
  pickAs(held, key);  // refused while the last row holds it
  Log("the last row is deleted, and row " + std::to_string(row) + " picks the key again");
  select(last);
  editor_->bntDelete.UserClick();
  m_.screen.erase(m_.screen.begin() + last);
  ClearFields();
  m_.selected = -1;
  m_.unsavedEdits = true;
  Marked();
  select(row);
  pickAs(held, key);  // now it is free
}

// The user starts Keyvane again while it runs: the new copy ends the old one at once (no
// question, nothing saved) and starts as usual.
void RandomUser::SecondCopy() {
  static const char* const names[] = {"Keyvane.exe", "KEYVANE.EXE"};
  const std::string file = plat::ProgramFolder() + names[Pick(2)];
  const std::uint32_t pid = nextPid_++;
  if (Chance(20)) {  // and a copy of it elsewhere
    procs_.push_back({"D:\\Old\\keyvane.exe", nextPid_++});
    sim::AddProcess(procs_.back().first, procs_.back().second);
  }
  Log(std::string("the user starts Keyvane again") + (m_.modified && m_.visible ? " (the editor holds changes)" : ""));
  procs_.push_back({file, pid});
  sim::AddProcess(file, pid);
  sim::SetCurrentProcess(pid);
  std::vector<std::uint32_t> old;
  for (auto it = procs_.begin(); it != procs_.end();) {
    std::string base = BaseName(it->first);
    for (char& ch : base)
      if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    if (base == "keyvane.exe" && it->second != pid) {
      old.push_back(it->second);
      it = procs_.erase(it);
    } else {
      ++it;
    }
  }
  TProcessUnique().KillOtherCopies();
  std::vector<std::uint32_t> ended;
  for (const sim::Termination& t : sim::Terminations()) ended.push_back(t.pid);
  Require(ended == old, "starting a second copy ended other programs than the copies running");
  for (const auto& [name, p] : procs_) Require(sim::ProcessRunning(p), name + " was ended by the new copy");
  // The old copy is gone as it stood: what it held unapplied is lost without a word.
  const int questions = QuestionCount();
  CloseProgram();
  Require(QuestionCount() == questions && sim::Boxes().empty(), "the ended copy asked or said something");
  m_.unsavedEdits = false;
  m_.visible = false;
  Start();
  Require(sim::TrayIcons().size() == 1, "after a second start there is not exactly one tray icon");
}

namespace {
// What the site dialog keeps of a text: blanks and control characters at the ends go.
std::string Trimmed(const std::string& text) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return text.substr(b, e - b);
}
bool Storable(const std::string& text) { return !text.empty() && text.find_first_of(",;'\"\r\n") == std::string::npos; }
std::vector<std::pair<std::string, std::string>> SitesOf(plat::ListView& list) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (int r = 0; r < list.RowCount(); ++r) rows.push_back({list.Cell(r, 0), list.Cell(r, 1)});
  return rows;
}
}  // namespace

void RandomUser::EditOptions() {
  static const char* const odd[] = {
      "검색", "a,b", "say \"hi\"", "it's", "x;y", "  padded  ", "http://q.example/?q=", "사전 검색", ""};
  std::vector<std::pair<std::string, std::string>> window = m_.sites;
  std::vector<std::string> did;
  bool ok = false;
  std::string problem;
  const std::string configBefore = ReadBytes(ConfigFile());
  sim::OnNextModal([&](plat::Form& form) {
    auto& options = static_cast<Tfrm_Option&>(form);
    if (SitesOf(options.Listall) != window) problem = "the options window does not show the sites saved at its last OK";
    options.PageControl1.UserSelectPage(1);  // the sites' page
    const int actions = 1 + Pick(3);
    for (int a = 0; a < actions; ++a) {
      if (Chance(60)) {
        std::string info = odd[Pick(9)], site = odd[Pick(9)];
        if (Chance(15)) info = std::string(300, 'w') + "긴";
        if (Chance(50)) site = "http://" + RandomText(5, false) + ".example/?q=";
        did.push_back("add \"" + info.substr(0, 40) + "\" \"" + site + "\"");
        bool shown = false;
        sim::OnNextModal([info, site, &shown](plat::Form& dialog) {
          shown = true;
          auto& add = static_cast<Tfrm_Siteadd&>(dialog);
          add.txt_info.UserEdit(info);
          add.txt_site.UserEdit(site);
          add.bntok.UserClick();
          if (add.ModalResult() == plat::kMrNone) add.bntCancel.UserClick();
        });
        options.bnt_add.UserClick();
        if (!shown) {
          problem = "추가 did not open the site dialog";
          return;
        }
        const std::string ti = Trimmed(info), ts = Trimmed(site);
        if (Storable(ti) && Storable(ts)) window.push_back({ti, ts});
      } else if (!window.empty()) {
        const int row = Pick(static_cast<int>(window.size()));
        did.push_back("remove site " + std::to_string(row));
        options.Listall.UserSelect(row);
        options.bnt_del.UserClick();
        window.erase(window.begin() + row);
      }
    }
    if (SitesOf(options.Listall) != window && problem.empty())
      problem = "the options window shows other sites than the user added and removed";
    ok = Chance(60);
    did.push_back(ok ? "OK" : "Cancel");
    (ok ? options.bntok : options.bntCancel).UserClick();
  });
  editor_->E1Click();
  std::string line = "options:";
  for (const std::string& d : did) line += " " + d + ";";
  Log(line);
  Require(problem.empty(), problem);
  if (!ok) {
    Require(ReadBytes(ConfigFile()) == configBefore, "Cancel in the options window changed Config.ini");
    return;
  }
  mayChange_.insert("Config.ini");
  m_.sites = window;
  Require(WithoutSection(ReadBytes(ConfigFile()), "DirectSite") == WithoutSection(configBefore, "DirectSite"),
          "OK in the options window changed Config.ini outside the sites");
  // Read back: a fresh options window shows the sites as they were at OK.
  std::vector<std::pair<std::string, std::string>> shown;
  sim::OnNextModal([&](plat::Form& form) {
    shown = SitesOf(static_cast<Tfrm_Option&>(form).Listall);
    static_cast<Tfrm_Option&>(form).bntCancel.UserClick();
  });
  editor_->E1Click();
  Require(shown == m_.sites, "the sites did not read back as the options window showed them at OK");
}

std::vector<RandomUser::Step> RandomUser::Steps() {
  auto editing = [this] { return m_.visible; };
  auto always = [] { return true; };
  return {
      {"select", 14, editing, [this] { SelectRow(); }},
      {"type description", 6, editing, [this] { TypeDescription(); }},
      {"edit description", 6, editing, [this] { EditDescription(); }},
      {"type info", 5, editing, [this] { TypeInfo(); }},
      {"edit info", 5, editing, [this] { EditInfo(); }},
      {"modifier", 8, editing, [this] { ClickModifier(); }},
      {"key", 8, editing, [this] { PickKey(); }},
      {"press into the key list", 4, [this] { return m_.visible && !m_.paused; }, [this] { PressIntoKeyList(); }},
      {"kind", 4, editing, [this] { ClickKind(); }},
      {"active", 3, editing, [this] { ClickActive(); }},
      {"action dialog", 2, editing, [this] { ActionDialog(); }},
      {"input dialog", 2, editing, [this] { InputDialog(); }},
      {"new", 6, editing, [this] { NewEntry(); }},
      {"delete", 4, editing, [this] { DeleteEntry(); }},
      {"apply", 8, editing, [this] { Apply(); }},
      {"close", 4, editing, [this] { CloseEditor(); }},
      {"tray edit", 6, always, [this] { TrayEdit(); }},
      {"tray pause", 2, always, [this] { TrayPause(); }},
      {"list window", 2, always, [this] { OpenListWindow(); }},
      {"close list windows", 2, [] { return !OpenKeyLists().empty(); }, [this] { CloseListWindows(); }},
      {"pause key", 2, always, [this] { PauseKey(); }},
      {"hotkey", 40, always, [this] { PressHotKey(); }},
      {"end", 2, always, [this] { EndProgram(false); }},
      {"session end", 1, always, [this] { EndProgram(true); }},
      {"outside", 6, always, [this] { ChangeFileFromOutside(); }},
      {"options", 2, editing, [this] { EditOptions(); }},
      {"open", 3, editing, [this] { OpenWorkFile(); }},
      {"save as", 3, editing, [this] { SaveAs(); }},
      {"multi-job dialog", 3, editing, [this] { MultiJobDialog(); }},
      {"second copy", 1, always, [this] { SecondCopy(); }},
      {"retake combination", 2, [this] { return m_.visible && m_.screen.size() >= 2; },
       [this] { RetakeCombination(); }},
  };
}

// ---------------------------------------------------------------- invariants

std::map<std::string, std::string> RandomUser::CheckAll(std::uint32_t tickBefore,
                                                        const std::map<std::string, std::string>& filesBefore) {
  Tfrm_main& ed = *editor_;
  // No step waits longer than what it runs.
  Require(sim::Now() - tickBefore <= allowedMs_, "a step took " + std::to_string(sim::Now() - tickBefore) + " ms");
  Require(OpenPrompts().empty(), "a direct-search prompt was left open");
  // The title names the file last loaded or saved; "Config.ini" the last work file.
  const std::string title = m_.title.empty() ? std::string("Keyvane") : kTitle + PathOf(m_.title);
  Require(ed.Caption() == title, "the editor's title is \"" + ed.Caption() + "\", expected \"" + title + "\"");
  Require(ed.Visible() == m_.visible, m_.visible ? "the editor is not on screen" : "the editor is on screen");
  Require(sim::Windows().size() == windowsAtStart_ + OpenKeyLists().size(), "a window was left open (or one went)");
  Require(ed.Paused() == m_.paused, "the program's pause state differs from the user's");
  Require(tray_->bntStop.Caption() == (m_.paused ? kResumeCaption : kPauseCaption), "the tray's pause item is wrong");

  // The registrations.
  std::multiset<Combo> actual;
  for (const sim::Registration& r : sim::Registrations()) actual.insert({r.modifiers, r.vk});
  const std::set<Combo> expected = ExpectedRegistrations();
  if (actual != std::multiset<Combo>(expected.begin(), expected.end())) {
    std::string s = "the registered combinations differ:\n  registered:";
    for (const Combo& c : actual) s += " " + ComboText(c);
    s += "\n  expected:  ";
    for (const Combo& c : expected) s += " " + ComboText(c);
    s += "\n  applied list:\n" + Show(m_.applied) + "  list on screen:\n" + Show(m_.screen);
    throw Failure{s};
  }

  // The files: nothing the step did not mean to change.
  const auto filesAfter = FolderFiles();
  {
    const std::string config = filesAfter.count("Config.ini") ? filesAfter.at("Config.ini") : "";
    const std::string key = "LastWorkList_Path=";
    const std::size_t at = config.find(key);
    const std::string named = at == std::string::npos
                                  ? ""
                                  : config.substr(at + key.size(), config.find_first_of("\r\n", at) - at - key.size());
    Require(named == PathOf(m_.last),
            "Config.ini names the last work file \"" + named + "\", expected \"" + PathOf(m_.last) + "\"");
  }
  for (const auto& [name, bytes] : filesBefore) {
    if (mayChange_.count(name)) continue;
    const auto it = filesAfter.find(name);
    Require(it != filesAfter.end() && it->second == bytes, "the file " + name + " changed or went");
  }

  if (!m_.visible) return filesAfter;
  // What the editor shows.
  std::vector<Entry> rows;
  for (int r = 0; r < ed.WorkList.RowCount(); ++r) {
    const auto c = ed.WorkList.Row(r);
    rows.push_back({c[0], c[1], c[2], c[3], c[4], c[5]});
  }
  Require(rows == m_.screen,
          "the list on screen differs:\n  shown:\n" + Show(rows) + "  expected:\n" + Show(m_.screen));
  Require(ed.WorkList.Selected() == m_.selected, "another row is selected: " + std::to_string(ed.WorkList.Selected()));
  Require(ed.bnt_Apply.Enabled() == m_.applyEnabled,
          m_.applyEnabled ? "적용 is not enabled after a change" : "적용 is enabled without a change");
  const Fields& f = m_.fields;
  Require(ed.txt_subject.Text() == f.description,
          "the description box shows \"" + ed.txt_subject.Text() + "\", expected \"" + f.description + "\"");
  const plat::CheckBox* mods[4] = {&ed.cbShift, &ed.cbControl, &ed.cbAlt, &ed.cbWin};
  for (int i = 0; i < 4; ++i)
    Require(mods[i]->Checked() == f.hotkey.mods[i], std::string("the box ") + kModNames[i] + " is wrong");
  Require(ed.cmVK.Text() == f.hotkey.key,
          "the key list shows \"" + ed.cmVK.Text() + "\", expected \"" + f.hotkey.key + "\"");
  Require(ed.CheckActive.Checked() == f.active, "단축키 활성화 is wrong");
  Require(ed.KindButton(f.kind).Checked(), std::string("the kind ") + kKindNames[f.kind] + " is not checked");
  for (int k = Tfrm_main::kFirstInfoKind; k <= Tfrm_main::kKinds; ++k)
    Require(ed.InfoBox(k)->Text() == f.info[k], std::string("the box of ") + kKindNames[k] + " shows \"" +
                                                    ed.InfoBox(k)->Text() + "\", expected \"" + f.info[k] + "\"");
  return filesAfter;
}

bool RandomUser::Run(int steps, std::uint64_t seed) {
  sim::Reset();
  SetUpFiles();
  // Only the closing question gets the user's chosen answer; every other box its default.
  sim::OnBox([this](const sim::Box& box) {
    if (box.text == kQuestion && questionAnswer_ != 0) sim::AnswerNextBox(questionAnswer_);
    if (box.text.compare(0, std::strlen(kChangedOutside), kChangedOutside) == 0 && outsideAnswer_ != 0)
      sim::AnswerNextBox(outsideAnswer_);
    if (box.text.compare(0, std::strlen(kNotCp949), kNotCp949) == 0 && cp949Answer_ != 0)
      sim::AnswerNextBox(cp949Answer_);
  });
  std::vector<Step> table = Steps();
  int step = 0;
  std::size_t boxesBefore = 0;
  try {
    Start();
    windowsAtStart_ = sim::Windows().size();
    std::map<std::string, std::string> filesBefore = FolderFiles();
    for (step = 1; step <= steps; ++step) {
      int total = 0;
      for (const Step& s : table)
        if (s.can()) total += s.weight;
      int roll = Pick(total);
      const Step* chosen = nullptr;
      for (const Step& s : table) {
        if (!s.can()) continue;
        if (roll < s.weight) {
          chosen = &s;
          break;
        }
        roll -= s.weight;
      }
      mayChange_.clear();
      allowedMs_ = 1000;
      // Each step reads only its own boxes and launches: the records start empty.
      sim::ForgetRecords();
      boxesBefore = 0;
      configAtStep_ = filesBefore.count("Config.ini") ? filesBefore.at("Config.ini") : "";
      const std::uint32_t tick = sim::Now();
      cp949Answer_ = 0;
      try {
        chosen->run();
      } catch (const Failure&) {
        throw;
      } catch (const std::exception& e) {
        throw Failure{std::string("an exception escaped: ") + e.what()};
      } catch (...) {
        throw Failure{"an exception escaped"};
      }
      if (verbose_) std::printf("%6d  %s\n", step, Readable(log_.back()).c_str());
      int asked = 0;
      for (const sim::Box& box : sim::Boxes()) asked += box.text.rfind(kNotCp949, 0) == 0;
      Require(asked == (cp949Answer_ != 0 ? 1 : 0),
              cp949Answer_ != 0 ? "characters CP949 cannot hold went to a CP949 file without asking"
                                : "a save asked about characters CP949 cannot hold in a list that has none or is UTF");
      filesBefore = CheckAll(tick, filesBefore);
    }
  } catch (const Failure& f) {
    std::printf("random_user: FAILED with seed %llu at step %d of %d\n", static_cast<unsigned long long>(seed), step,
                steps);
    const std::size_t first = log_.size() > 400 ? log_.size() - 400 : 0;
    if (first > 0) std::printf("  (the first %zu steps are left out; --verbose prints all)\n", first);
    for (std::size_t i = first; i < log_.size(); ++i) std::printf("  %5zu  %s\n", i + 1, Readable(log_[i]).c_str());
    const std::vector<sim::Box> boxes = sim::Boxes();
    for (std::size_t i = boxesBefore; i < boxes.size(); ++i)
      std::printf("  the last step's box: %s\n", Readable(boxes[i].text).c_str());
    std::printf("what broke: %s\n", Readable(f.what).c_str());
    std::printf("rerun: random_user --seed %llu --steps %d --verbose\n", static_cast<unsigned long long>(seed), step);
    CloseProgram();
    return false;
  }
  CloseProgram();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int steps = 5000;
  std::vector<std::uint64_t> seeds{1};
  bool verbose = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--steps" && i + 1 < argc) {
      steps = std::atoi(argv[++i]);
    } else if (arg == "--seed" && i + 1 < argc) {
      seeds = {std::strtoull(argv[++i], nullptr, 10)};
    } else if (arg == "--seeds" && i + 1 < argc) {
      seeds.clear();
      std::stringstream list(argv[++i]);
      std::string item;
      while (std::getline(list, item, ',')) seeds.push_back(std::strtoull(item.c_str(), nullptr, 10));
    } else if (arg == "--verbose") {
      verbose = true;
    } else {
      std::fprintf(stderr, "usage: random_user [--steps N] [--seed S] [--seeds a,b,c] [--verbose]\n");
      return 2;
    }
  }
  for (const std::uint64_t seed : seeds) {
    const auto start = std::chrono::steady_clock::now();
    RandomUser user(seed, verbose);
    if (!user.Run(steps, seed)) return 1;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("random_user: seed %llu, %d steps in %.2f s (%.0f steps/s); presses by kind:%s\n",
                static_cast<unsigned long long>(seed), steps, seconds, steps / seconds, user.Presses().c_str());
  }
  return 0;
}
