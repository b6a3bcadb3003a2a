// A random user for the whole program on the simulated platform. Each step is something a
// user (or another program) does: edit in the editor, apply, close and answer the question,
// pause and resume, press hotkeys, end the program and start it again, change the files
// from outside, edit the direct-search sites. After every step the program is compared with
// a small model of what the user has done, kept here apart from the program's code:
//   - the list on screen and the editing fields are what the user's steps made of them;
//   - after a save the work file holds exactly that list, and a backup of the old file
//     when the list was read only in part or every entry was deleted;
//   - an edit is never dropped without the closing question;
//   - the registered combinations are those of the applied list (only the pause key while
//     paused), and a press runs the entry registered for it;
//   - the sites read back as the options window showed them at OK, and nothing else in
//     "Config.ini" changes then;
//   - no step waits, throws or leaves a window behind, and no file changes that the step
//     did not mean to change.
// Seeded: a failure prints the seed, the steps taken and what broke; the same seed and
// step count repeat it.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

#include "core/frmMain.h"
#include "editor/frmKeyEdit.h"
#include "editor/frmKeyList.h"
#include "editor/frmOption.h"
#include "actions/frmAction.h"
#include "actions/frmDirectSearch.h"
#include "actions/frmSiteadd.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/msgloop.h"
#include "platform/text.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_tray.h"
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
// The kinds the random user gives entries: pressing one does nothing that waits.
const int kUsedKinds[] = {1, 7, 8, 9, 10, 10, 10};
constexpr int kWebKind = 10;
const char* const kQuestion = "현재 단축키 설정이 변경되었습니다. 적용 하시겠습니까?";
const char* const kDash = "-";
const char* const kWideDash = "ㅡ";

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

// How a cell is written to the work file, for the texts this user types: a dash becomes
// the wide one, blanks in front go, and an empty cell is the word null.
std::string Stored(const std::string& cell) {
  std::string s = ReplaceAll(cell, kDash, kWideDash);
  s.erase(0, std::min(s.find_first_not_of(' '), s.size()));
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

struct Model {
  bool running = true;
  bool visible = false;
  bool paused = false;
  // The editor's mark of changes (it asks before dropping them), and its 적용 button, which
  // a fresh editor offers before any change.
  bool modified = false;
  bool applyEnabled = true;
  std::vector<Entry> screen;   // the editor's list
  std::vector<Entry> applied;  // what the registrations were made from
  std::vector<Entry> baseline; // the list as last loaded or saved
  int selected = -1;
  Fields fields;
  // The user changed the list since it was last loaded or saved.
  bool unsavedEdits = false;
  // The list came from a file read only in part; its next save keeps the old file.
  bool incomplete = false;
  // The list holds nothing of the file, which could not be read; its next save keeps it.
  bool unread = false;
  // The work file: what it reads back as, and whether its reading stops early.
  bool fileExists = true;
  std::vector<Entry> fileRows;
  bool fileIncomplete = false;
  bool locked = false, held = false;
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

 private:
  struct Step {
    const char* name;
    int weight;
    std::function<bool()> can;  // the step makes sense now
    std::function<void()> run;
  };

  int Pick(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  bool Chance(int percent) { return Pick(100) < percent; }
  std::string RandomText(int maxChars, bool allowEmpty);
  std::string RandomHotKeyText();
  Entry RandomEntry(const std::string& id);
  void Log(const std::string& line) { log_.push_back(line); }
  // The program marks the list as changed.
  void Marked() { m_.modified = m_.applyEnabled = true; }

  std::string Work() const { return plat::ProgramFolder() + "MyJob.ini"; }
  std::string ConfigFile() const { return plat::ProgramFolder() + "Config.ini"; }

  // ---- the program
  void Start();
  void Stop();
  // Closes the list windows and destroys the editor and the tray.
  void CloseProgram();
  void SetUpFiles();

  // ---- model transitions shared by steps
  void ShowRowInFields(int row);
  void ClearFields();
  void LoadFromFile();  // the editor reads its work file into the list
  void WriteHotKeyField();
  std::set<Combo> ExpectedRegistrations() const;
  bool HotKeyFree(const std::string& text, int exceptRow) const;
  // The program saves the list: the outcome the model expects; the file is checked.
  bool ExpectSave() const;
  void CheckSaved(bool expected, const std::string& before, const std::map<std::string, std::string>& filesBefore);
  int QuestionCount() const;

  // ---- steps
  std::vector<Step> Steps();
  void SelectRow();
  void TypeDescription();
  void EditDescription();
  void TypeInfo();
  void EditInfo();
  void ClickModifier();
  void PickKey();
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
  // The answer to the next closing question (0: none is expected).
  int questionAnswer_ = 0;
  // "Config.ini" as the current step found it.
  std::string configAtStep_;
};

std::string RandomUser::RandomText(int maxChars, bool allowEmpty) {
  static const char* const pieces[] = {"a", "b", "c", "d", "e", "f", "0", "7", " ", "-", "가", "나", "한"};
  const int n = Pick(maxChars + 1);
  std::string text;
  for (int i = 0; i < n; ++i) text += pieces[Pick(13)];
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

Entry RandomUser::RandomEntry(const std::string& id) {
  const int kind = kUsedKinds[Pick(7)];
  std::string info = kind >= 7 ? ReplaceAll(RandomText(6, true), kDash, kWideDash) : "";
  return AsSaved({RandomText(6, true), id, RandomHotKeyText(), kKindNames[kind], info, Chance(80) ? "True" : "False"});
}

// ---------------------------------------------------------------- the program

void RandomUser::SetUpFiles() {
  std::vector<Entry> rows;
  for (int i = 0; i < 4; ++i) rows.push_back(RandomEntry("P" + std::to_string(i)));
  WriteBytes(Work(), FileText(rows));
  m_.fileRows = rows;
  WriteBytes(ConfigFile(),
             "[Config]\r\nStartUp=0\r\nNewExplore=0\r\n[DirectSite]\r\nCount=2\r\nSite0=네이버,http://s.example/?q=\r\n"
             "Site1=다음 사전,http://d.example/?w=\r\n[Etc]\r\nLastWorkList_Path=" +
                 Work() + "\r\n");
  m_.sites = {{"네이버", "http://s.example/?q="}, {"다음 사전", "http://d.example/?w="}};
  // The user's own files beside the program, which nothing may touch.
  WriteBytes(plat::ProgramFolder() + "Notes.txt", "mine\r\n");
  WriteBytes(Work() + ".bak", "an older list\r\n");
  for (const auto& [mods, vk] : kTaken) sim::TakeCombination(mods, vk);
}

void RandomUser::Start() {
  tray_ = std::make_unique<Tfrm_Tray>();
  editor_ = std::make_unique<Tfrm_main>();
  tray_->Attach(*editor_);
  // A fresh program: only the files and what other programs do stay.
  Model fresh;
  fresh.fileExists = m_.fileExists;
  fresh.fileRows = m_.fileRows;
  fresh.fileIncomplete = m_.fileIncomplete;
  fresh.locked = m_.locked;
  fresh.held = m_.held;
  fresh.sites = m_.sites;
  m_ = fresh;
  LoadFromFile();
  m_.applied = m_.screen;
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

void RandomUser::LoadFromFile() {
  m_.selected = -1;
  m_.fields.hotkey.key = "";  // the key list is filled anew
  if (!m_.fileExists || m_.locked) {
    m_.screen.clear();
    if (m_.fileExists) m_.unread = true;
  } else {
    m_.unread = false;
    m_.screen = m_.fileRows;
    // An empty file leaves the mark of an earlier part-read file as it was.
    if (!(m_.fileRows.empty() && !m_.fileIncomplete)) m_.incomplete = m_.fileIncomplete;
  }
  m_.baseline = m_.screen;
  m_.unsavedEdits = false;
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
  if (HotKeyFree(text, m_.selected)) m_.screen[m_.selected].hotkey = text;
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

// Whether the save about to happen should succeed.
bool RandomUser::ExpectSave() const {
  // Another program's lock keeps it from being replaced; one that only holds it open
  // lets it be written in place.
  return !m_.locked;
}

void RandomUser::CheckSaved(bool expected, const std::string& before,
                            const std::map<std::string, std::string>& filesBefore) {
  const std::string after = ReadBytes(Work());
  Require(WithoutSection(ReadBytes(ConfigFile()), "Etc") == WithoutSection(configAtStep_, "Etc"),
          "a save changed Config.ini outside the last work file's path");
  if (!expected) {
    Require(after == before, "a save that had to fail changed the work file");
    return;
  }
  std::vector<Entry> saved;
  for (const Entry& e : m_.screen) saved.push_back(AsSaved(e));
  Require(after == FileText(saved), "the work file does not hold the list on screen:\n  file:\n" + after +
                                        "\n  expected:\n" + FileText(saved));
  // The old file is kept when the list held only part of it, or when it loses every entry.
  const bool keep =
      before != "<missing>" && (m_.incomplete || m_.unread || (saved.empty() && !before.empty()));
  if (keep) {
    bool found = false;
    for (const auto& [name, bytes] : FolderFiles())
      if (!filesBefore.count(name) && name.rfind("MyJob.ini.bak", 0) == 0 && bytes == before) found = true;
    Require(found, "the old work file was not kept beside it");
  }
  m_.screen = saved;
  m_.baseline = saved;
  m_.fileRows = saved;
  m_.fileExists = true;
  m_.fileIncomplete = false;
  m_.incomplete = false;
  m_.unread = false;
  m_.unsavedEdits = false;
  m_.applied = saved;
  mayChange_.insert("MyJob.ini");
  mayChange_.insert("Config.ini");
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
// The text without its last character (a CP949 pair counts as one).
std::string WithoutLast(const std::string& text) {
  std::size_t at = 0, last = 0;
  while (at < text.size()) {
    last = at;
    at += static_cast<unsigned char>(text[at]) >= 0x81 ? 2 : 1;
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
    text = old + RandomText(5, false);
  else
    text = RandomText(6, true);
  Log(std::string(how == 0 ? "Delete" : how == 1 ? "paste" : "context menu") + " makes the description \"" + text + "\"");
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
    text = old + RandomText(5, false);
  else
    text = RandomText(6, true);
  Log(std::string(how == 0 ? "Delete" : how == 1 ? "paste" : "context menu") + " makes the box of " + kKindNames[kind] +
      " \"" + text + "\"");
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

void RandomUser::ClickModifier() {
  const int m = Pick(4);
  Log(std::string("click ") + kModNames[m]);
  plat::CheckBox* boxes[4] = {&editor_->cbShift, &editor_->cbControl, &editor_->cbAlt, &editor_->cbWin};
  const std::string before = m_.selected >= 0 ? m_.screen[m_.selected].hotkey : "";
  boxes[m]->UserClick();
  m_.fields.hotkey.mods[m] = !m_.fields.hotkey.mods[m];
  Marked();
  WriteHotKeyField();
  if (m_.selected >= 0 && m_.screen[m_.selected].hotkey != before) m_.unsavedEdits = true;
}

void RandomUser::PickKey() {
  const Key& key = kKeys[Pick(9)];
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

void RandomUser::ClickKind() {
  const int kind = kUsedKinds[Pick(7)];
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
  Log(std::string("the 특정액션 실행 dialog: ") +
      (how == 0 ? "choose " + chosen + ", OK" : how == 1 ? "OK without a choice" : "Cancel"));
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
      (how == 2 ? dialog.bntCancel : dialog.bntok).UserClick();
    }
  });
  (search ? editor_->bntScriptFind : editor_->bntAutoKey).UserClick();
  Log(std::string("the 입력 dialog of ") + (search ? "다이렉트 검색: " : "키값자동 입력: ") +
      (how == 2 ? "Cancel" : chosen.empty() ? "OK as it is" : "choose " + chosen + ", OK"));
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
  Log(std::string("click 적용") + (m_.applyEnabled ? "" : " (disabled)") + (m_.paused ? " while paused" : "") +
      (m_.locked ? " with the work file locked" : ""));
  const std::string before = ReadBytes(Work());
  const auto filesBefore = FolderFiles();
  const bool enabled = m_.applyEnabled;
  const bool ok = ExpectSave();
  const Entry row = m_.selected >= 0 ? m_.screen[m_.selected] : Entry{};
  editor_->bnt_Apply.UserClick();
  if (!enabled) return;
  CheckSaved(ok, before, filesBefore);
  if (!ok) return;
  m_.modified = m_.applyEnabled = false;
  // The saved texts come back into the fields when the selected row read back otherwise.
  if (m_.selected >= 0 && !(m_.screen[m_.selected] == row)) ShowRowInFields(m_.selected);
}

void RandomUser::CloseEditor() {
  const int answer = Pick(3) == 0 ? plat::kIdNo : Chance(50) ? plat::kIdYes : plat::kIdCancel;
  const char* name = answer == plat::kIdYes ? "예" : answer == plat::kIdNo ? "아니요" : "취소";
  Log(std::string("close the editor, answering ") + name);
  const std::string before = ReadBytes(Work());
  const auto filesBefore = FolderFiles();
  const int questions = QuestionCount();
  questionAnswer_ = answer;
  const bool ok = ExpectSave();
  editor_->Close();
  questionAnswer_ = 0;
  const bool asked = QuestionCount() > questions;
  Require(asked == m_.modified, asked ? "the closing question came for a list without changes"
                                          : "the editor closed without asking although it held changes");
  Require(!(m_.unsavedEdits && !asked), "an edit was dropped without the closing question");
  if (!asked) {
    m_.visible = false;
  } else if (answer == plat::kIdYes) {
    CheckSaved(ok, before, filesBefore);
    // The mark of changes stays (as it always has) until the tray shows the editor again.
    if (ok) m_.visible = false;
  } else if (answer == plat::kIdNo) {
    m_.visible = false;
    // The edits are dropped: the hotkeys run the list as it was saved.
    m_.screen = m_.baseline;
    m_.unsavedEdits = false;
    m_.selected = -1;
  }
}

void RandomUser::TrayEdit() {
  Log("tray: 단축 편집");
  tray_->bnt_EditClick();
  if (m_.visible) return;
  m_.modified = m_.applyEnabled = false;
  m_.visible = true;
  Require(!m_.unsavedEdits, "showing the editor dropped edits not saved");
  if (!m_.screen.empty() && !m_.fileExists) {
    Marked();  // the list stays for a file that is gone
    return;
  }
  LoadFromFile();
}

void RandomUser::OpenListWindow() {
  Log("tray: 단축 리스트 보기");
  const std::size_t before = OpenKeyLists().size();
  tray_->bnt_listviewClick();
  Require(OpenKeyLists().size() == before + 1, "단축 리스트 보기 opened no window");
  if (!m_.fileExists || m_.locked) return;
  // The list as it lies on disk.
  plat::ListView& list = OpenKeyLists().back()->WorkList;
  std::vector<Entry> rows;
  for (int r = 0; r < list.RowCount(); ++r) {
    const auto c = list.Row(r);
    rows.push_back({c[0], c[1], c[2], c[3], c[4], c[5]});
  }
  Require(rows == m_.fileRows, "the list window does not show the work file:\n  shown:\n" + Show(rows) +
                                   "  in the file:\n" + Show(m_.fileRows));
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
  Log("press Ctrl+Win+F2");
  Require(sim::PressHotKey(kCtrlWin, 0x71), "Ctrl+Win+F2 is not registered");
  m_.paused = !m_.paused;
  // The key goes up before the next press.
  sim::SetNow(sim::Now() + 60);
  plat::ProcessPendingMessages();
}

void RandomUser::PressHotKey() {
  // Mostly the combination of an applied entry; sometimes the editor's key or any other.
  Combo c{};
  const int how = Pick(10);
  if (how < 7 && !m_.applied.empty()) {
    if (!EntryCombo(m_.applied[Pick(static_cast<int>(m_.applied.size()))], c)) c = {plat::kModAlt, 0x42};
  } else if (how < 9) {
    c = {kCtrlWin, 0x70};
  } else {
    c = {kModFlags[Pick(4)], kKeys[Pick(8)].vk};
  }
  if (c == Combo{kCtrlWin, 0x71}) c = {kCtrlWin, 0x70};
  // Entries that open the search window or play keys are not pressed: the editor's key instead.
  for (int i = 0; i < static_cast<int>(m_.applied.size()); ++i) {
    Combo own{};
    if (!EntryCombo(m_.applied[i], own) || !(own == c)) continue;
    for (const Entry& e : m_.screen)
      if (e.id == m_.applied[i].id && KindOfName(e.kind) >= 11 && KindOfName(e.kind) <= 13) c = {kCtrlWin, 0x70};
    break;
  }
  Log("press " + ComboText(c));
  const std::set<Combo> registered = ExpectedRegistrations();
  const std::size_t shellBefore = sim::ShellCalls().size();
  const bool pressed = sim::PressHotKey(c.mods, c.vk);
  Require(pressed == (registered.count(c) > 0), pressed ? "a press reached the program for a combination it should not hold"
                                                          : "a press found no registration for a combination it should hold");
  if (!pressed) return;
  if (c == Combo{kCtrlWin, 0x70}) {
    if (!m_.visible) {
      m_.visible = true;
      Require(!m_.unsavedEdits, "showing the editor dropped edits not saved");
      if (!m_.screen.empty() && !m_.fileExists)
        Marked();
      else
        LoadFromFile();
    }
    return;
  }
  // The first applied entry holding the combination registered it.
  int item = -1;
  for (int i = 0; i < static_cast<int>(m_.applied.size()) && item < 0; ++i) {
    Combo own{};
    if (EntryCombo(m_.applied[i], own) && own == c) item = i;
  }
  Require(item >= 0, "a press ran although no applied entry holds the combination");
  // It runs the entry with that ID on the list: at the same place, else the first.
  const std::string& id = m_.applied[item].id;
  int row = -1;
  if (item < static_cast<int>(m_.screen.size()) && m_.screen[item].id == id)
    row = item;
  else
    for (int r = 0; r < static_cast<int>(m_.screen.size()) && row < 0; ++r)
      if (m_.screen[r].id == id) row = r;
  const std::vector<sim::ShellCall> calls = sim::ShellCalls();
  if (row < 0) {
    Require(calls.size() == shellBefore, "a press ran something for an entry no longer in the list");
    return;
  }
  const Entry& e = m_.screen[row];
  if (e.kind == kKindNames[kWebKind] && !e.info.empty()) {
    const std::string url = ReplaceAll(e.info, kWideDash, kDash);
    Require(calls.size() == shellBefore + 1 && calls.back().file == url,
            "a press of " + e.id + " did not open " + url + (calls.size() > shellBefore ? " but " + calls.back().file : ""));
  }
}

void RandomUser::EndProgram(bool session) {
  const int answer = Pick(3) == 0 ? plat::kIdNo : Chance(60) ? plat::kIdYes : plat::kIdCancel;
  const char* name = answer == plat::kIdYes ? "예" : answer == plat::kIdNo ? "아니요" : "취소";
  Log(std::string(session ? "Windows ends the session" : "tray: 끝내기") + ", answering " + name +
      ", then start again");
  const std::string before = ReadBytes(Work());
  const auto filesBefore = FolderFiles();
  const int questions = QuestionCount();
  questionAnswer_ = answer;
  const bool ok = ExpectSave();
  bool sessionEnds = true;
  if (session) {
    sessionEnds = sim::QueryEndSession();
    sim::EndSession(sessionEnds);
  } else {
    tray_->bnt_closeClick();
  }
  questionAnswer_ = 0;
  const bool asked = QuestionCount() > questions;
  const bool shouldAsk = m_.visible && m_.modified;
  Require(asked == shouldAsk, asked ? "끝내기 asked about a list without changes" : "끝내기 did not ask about changes");
  Require(!(m_.unsavedEdits && !asked), "an edit was dropped without the closing question");
  bool ends = true;
  if (!asked) {
  } else if (answer == plat::kIdYes) {
    CheckSaved(ok, before, filesBefore);
    ends = ok;
  } else if (answer == plat::kIdCancel) {
    ends = false;
  }
  Require(!session || sessionEnds == ends, ends ? "the program held the session up" : "the session ended against the answer");
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
  const int how = Pick(9);
  mayChange_.insert("MyJob.ini");
  if (how == 8) {
    // The user clears away the backups the program kept (all but the first, made before).
    Log("the user deletes the backups MyJob.ini.bak2 and on");
    for (const auto& [name, bytes] : FolderFiles())
      if (name.rfind("MyJob.ini.bak", 0) == 0 && name != "MyJob.ini.bak") {
        std::filesystem::remove(std::filesystem::path(plat::ProgramFolder() + name));
        mayChange_.insert(name);
      }
  } else if (how == 0) {
    Log(std::string("another program deletes the work file") + (m_.locked || m_.held ? " (it cannot)" : ""));
    if (m_.locked || m_.held) return;
    std::filesystem::remove(std::filesystem::path(Work()));
    m_.fileExists = false;
    m_.fileRows.clear();
    m_.fileIncomplete = false;
  } else if (how <= 3) {
    if (m_.locked) {
      Log("another program cannot write the locked work file");
      return;
    }
    std::vector<Entry> rows;
    const int n = Pick(6);
    for (int i = 0; i < n; ++i) rows.push_back(RandomEntry("P" + std::to_string(Chance(10) ? 0 : i)));
    std::string bytes = FileText(rows);
    const bool broken = Chance(30);
    if (broken) bytes += "a line that is no entry\r\n" + FileText({RandomEntry("P9")});
    Log("another program writes the work file: " + std::to_string(n) + " entries" + (broken ? " and a broken line" : ""));
    WriteBytes(Work(), bytes);
    m_.fileExists = true;
    m_.fileRows = rows;
    m_.fileIncomplete = broken;
  } else if (how <= 5) {
    m_.locked = !m_.locked;
    Log(m_.locked ? "another program locks the work file" : "the lock on the work file goes");
    if (m_.locked)
      sim::LockFile(Work());
    else
      sim::UnlockFile(Work());
  } else {
    m_.held = !m_.held;
    Log(m_.held ? "another program holds the work file open" : "the work file is let go");
    if (m_.held)
      sim::HoldOpen(Work());
    else
      sim::ReleaseHold(Work());
  }
}

namespace {
// What the site dialog keeps of a text: blanks and control characters at the ends go.
std::string Trimmed(const std::string& text) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return text.substr(b, e - b);
}
bool Storable(const std::string& text) {
  return !text.empty() && text.find_first_of(",;'\"\r\n") == std::string::npos;
}
std::vector<std::pair<std::string, std::string>> SitesOf(plat::ListView& list) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (int r = 0; r < list.RowCount(); ++r) rows.push_back({list.Cell(r, 0), list.Cell(r, 1)});
  return rows;
}
}  // namespace

void RandomUser::EditOptions() {
  static const char* const odd[] = {"검색", "a,b", "say \"hi\"", "it's", "x;y", "  padded  ", "http://q.example/?q=",
                                    "사전 검색", ""};
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
      {"kind", 4, editing, [this] { ClickKind(); }},
      {"active", 3, editing, [this] { ClickActive(); }},
      {"action dialog", 2, editing, [this] { ActionDialog(); }},
      {"input dialog", 2, editing, [this] { InputDialog(); }},
      {"new", 6, editing, [this] { NewEntry(); }},
      {"delete", 4, editing, [this] { DeleteEntry(); }},
      {"apply", 8, editing, [this] { Apply(); }},
      {"close", 4, editing, [this] { CloseEditor(); }},
      {"tray edit", 6, always, [this] { TrayEdit(); }},
      {"tray pause", 3, always, [this] { TrayPause(); }},
      {"list window", 2, always, [this] { OpenListWindow(); }},
      {"close list windows", 2, [] { return !OpenKeyLists().empty(); }, [this] { CloseListWindows(); }},
      {"pause key", 3, always, [this] { PauseKey(); }},
      {"hotkey", 8, always, [this] { PressHotKey(); }},
      {"end", 2, always, [this] { EndProgram(false); }},
      {"session end", 1, always, [this] { EndProgram(true); }},
      {"outside", 3, always, [this] { ChangeFileFromOutside(); }},
      {"options", 2, editing, [this] { EditOptions(); }},
  };
}

// ---------------------------------------------------------------- invariants

std::map<std::string, std::string> RandomUser::CheckAll(std::uint32_t tickBefore,
                                                       const std::map<std::string, std::string>& filesBefore) {
  Tfrm_main& ed = *editor_;
  // No step waits: nothing here runs an action that waits.
  Require(sim::Now() - tickBefore <= 1000, "a step took " + std::to_string(sim::Now() - tickBefore) + " ms");
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
  Require(rows == m_.screen, "the list on screen differs:\n  shown:\n" + Show(rows) + "  expected:\n" + Show(m_.screen));
  Require(ed.WorkList.Selected() == m_.selected, "another row is selected: " + std::to_string(ed.WorkList.Selected()));
  Require(ed.bnt_Apply.Enabled() == m_.applyEnabled,
          m_.applyEnabled ? "적용 is not enabled after a change" : "적용 is enabled without a change");
  const Fields& f = m_.fields;
  Require(ed.txt_subject.Text() == f.description, "the description box shows \"" + ed.txt_subject.Text() +
                                                      "\", expected \"" + f.description + "\"");
  const plat::CheckBox* mods[4] = {&ed.cbShift, &ed.cbControl, &ed.cbAlt, &ed.cbWin};
  for (int i = 0; i < 4; ++i)
    Require(mods[i]->Checked() == f.hotkey.mods[i], std::string("the box ") + kModNames[i] + " is wrong");
  Require(ed.cmVK.Text() == f.hotkey.key, "the key list shows \"" + ed.cmVK.Text() + "\", expected \"" + f.hotkey.key + "\"");
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
      // Each step reads only its own boxes and launches: the records start empty.
      sim::ForgetRecords();
      boxesBefore = 0;
      configAtStep_ = filesBefore.count("Config.ini") ? filesBefore.at("Config.ini") : "";
      const std::uint32_t tick = sim::Now();
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
      filesBefore = CheckAll(tick, filesBefore);
    }
  } catch (const Failure& f) {
    std::printf("random_user: FAILED with seed %llu at step %d of %d\n",
                static_cast<unsigned long long>(seed), step, steps);
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
    std::printf("random_user: seed %llu, %d steps in %.2f s (%.0f steps/s)\n", static_cast<unsigned long long>(seed),
                steps, seconds, steps / seconds);
  }
  return 0;
}
