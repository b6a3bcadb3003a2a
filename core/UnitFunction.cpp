#include "core/UnitFunction.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

#include "core/frmMain.h"
#include "hotkeys/AMHotKey.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/mouse.h"
#include "platform/msgloop.h"
#include "platform/printer.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace kv {

const char* const kKindShutdown = "강제 종료";
const char* const kKindReboot = "재 부팅";
const char* const kKindLogoff = "로그 오프";
const char* const kKindVolumeUp = "볼륨 높임";
const char* const kKindVolumeDown = "볼륨 줄임";
const char* const kKindVolumeMute = "볼륨 음소거";
const char* const kKindKillProgram = "프로그램 종료";
const char* const kKindRunProgram = "프로그램 실행";
const char* const kKindOpenFolder = "특정폴더 열기";
const char* const kKindWebSite = "웹사이트 이동";
const char* const kKindDirectSearch = "다이렉트 검색";
const char* const kKindMultiJob = "다중작업 실행";
const char* const kKindKeySequence = "키값자동 입력";
const char* const kKindBuiltin = "특정액션 실행";

const char* const kEditorHotKey = "Ctrl+Win+F1";
const char* const kReservedHotKey = "Ctrl+Win+F2";

namespace {

const std::string kDash = "-";
const std::string kEu = "ㅡ";  // CP949 A4 D1
const char* const kNull = "null";

// Replaces whole characters only: the bytes of "ㅡ" may also stand across the boundary of
// two other characters (the trail byte of one and the lead byte of the next).
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text.compare(i, from.size(), from) == 0) {
      out += to;
      i += from.size();
    } else {
      const std::size_t n = plat::CharBytes(text, i);
      out.append(text, i, n);
      i += n;
    }
  }
  return out;
}

bool IsQuote(char c) { return c == '\'' || c == '"'; }

// The quote marks of text that must be replaced so that no quoted stretch is left open at its
// end, by the splitting rule: outside a stretch a mark opens one, inside it the mark that
// closes it is the last one met, so two equal marks in a row close it. Of all the ways to
// get there, the one replacing fewest marks is taken, so "it's" inside a quoted path costs
// only its apostrophe; balanced text keeps every mark. Returns the positions, ascending.
std::vector<std::size_t> MarksLeavingStretchOpen(const std::string& text) {
  std::vector<std::size_t> marks;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (IsQuote(text[i])) marks.push_back(i);
  if (marks.empty()) return marks;
  // States: 0 outside a stretch, 1 inside one that ' closes, 2 inside one that " closes.
  const auto next = [](int state, char mark) {
    const int closer = mark == '\'' ? 1 : 2;
    return state == closer ? 0 : closer;
  };
  constexpr int kNever = -1;
  // kept[i][s]: the most marks from i on that can stay, starting in state s and ending outside.
  std::vector<std::array<int, 3>> kept(marks.size() + 1, {kNever, kNever, kNever});
  kept[marks.size()][0] = 0;
  for (std::size_t i = marks.size(); i-- > 0;) {
    for (int s = 0; s < 3; ++s) {
      const int stay = kept[i + 1][next(s, text[marks[i]])];
      kept[i][s] = std::max(kept[i + 1][s], stay == kNever ? kNever : stay + 1);
    }
  }
  std::vector<std::size_t> replaced;
  int state = 0;
  for (std::size_t i = 0; i < marks.size(); ++i) {
    const int after = next(state, text[marks[i]]);
    if (kept[i + 1][after] != kNever && kept[i + 1][after] + 1 >= kept[i + 1][state])
      state = after;
    else
      replaced.push_back(marks[i]);
  }
  return replaced;
}

}  // namespace

// ---------------------------------------------------------------- entries

HotkeyEntry EntryOfRow(const plat::ListView& list, int row) {
  const auto& r = list.Row(row);
  return {r[kColDescription], r[kColId], r[kColHotKey], r[kColKind], r[kColInfo], r[kColActive]};
}

void AddEntry(const HotkeyEntry& e, plat::ListView& list) {
  list.AddRow({e.description, e.id, e.hotkey, e.kind, e.info, e.active});
}

bool IdExists(const plat::ListView& list, const std::string& id) {
  for (int i = 0; i < list.RowCount(); ++i)
    if (list.Cell(i, kColId) == id) return true;
  return false;
}

std::string NewEntryId(const plat::ListView& list) {
  // With N rows one of P0..PN is free, so only those IDs matter; marking them once keeps
  // this linear while giving the same answer as trying P0, P1, ... against every row.
  // Digits are read only while the number can still be N or less, so an ID of any length
  // is read without overflow, whatever the width of the integers.
  const std::uint64_t n = static_cast<std::uint64_t>(list.RowCount());
  std::vector<bool> used(static_cast<std::size_t>(n) + 1, false);
  for (int i = 0; i < list.RowCount(); ++i) {
    const std::string& id = list.Cell(i, kColId);
    if (id.size() < 2 || id[0] != 'P' || (id[1] == '0' && id.size() > 2)) continue;
    std::uint64_t value = 0;
    std::size_t k = 1;
    for (; k < id.size() && id[k] >= '0' && id[k] <= '9' && value <= n; ++k)
      value = value * 10 + static_cast<std::uint64_t>(id[k] - '0');
    if (k == id.size() && value <= n) used[static_cast<std::size_t>(value)] = true;
  }
  std::size_t free = 0;
  while (used[free]) ++free;
  return "P" + std::to_string(free);
}

std::string EncodeInfoText(const std::string& text) { return ReplaceAll(text, kDash, kEu); }

std::string DecodeInfoText(const std::string& text) { return ReplaceAll(text, kEu, kDash); }

std::string RestoreQuoteMarks(const std::string& text) {
  return ReplaceAll(ReplaceAll(text, "＇", "'"), "＂", "\"");
}

HotkeyEntry NewEntry(const plat::ListView& list) { return {"", NewEntryId(list), "", kKindWebSite, "", "True"}; }

// ---------------------------------------------------------------- texts

namespace {
// Changes the letters from..from+25 by delta, skipping the trail bytes of CP949 pairs. The
// hex digits of an escape change too: escapes read in either case.
std::string ShiftLetters(std::string text, char from, int delta) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = plat::CharBytes(text, i);
    if (n != 2 && text[i] >= from && text[i] <= from + 25) text[i] = static_cast<char>(text[i] + delta);
    i += n == 2 ? 2 : 1;
  }
  return text;
}
}  // namespace

std::string LowerAscii(std::string text) { return ShiftLetters(std::move(text), 'A', 'a' - 'A'); }
std::string UpperAscii(std::string text) { return ShiftLetters(std::move(text), 'a', 'A' - 'a'); }

// ---------------------------------------------------------------- splitting

void SplitItems(std::string_view text, char sep, std::vector<std::string>& items) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    while (i < n && (text[i] == ' ' || text[i] == '\r' || text[i] == '\n')) ++i;
    if (i >= n) break;
    const std::size_t start = i;
    char quote = 0;
    for (; i < n; ++i) {
      const char c = text[i];
      if (quote) {
        if (c == quote)
          quote = 0;
        else if (IsQuote(c))
          quote = c;
      } else if (c == sep || c == '\r' || c == '\n') {
        break;
      } else if (IsQuote(c)) {
        quote = c;
      }
    }
    if (i > start) items.emplace_back(text.substr(start, i - start));
    if (i < n) ++i;
  }
}

// ---------------------------------------------------------------- hotkey texts

HotKeyParts ParseHotKeyText(const std::string& text) {
  HotKeyParts parts;
  std::vector<std::string> tokens;
  SplitItems(text, '+', tokens);
  for (const std::string& t : tokens) {
    if (t == "Shift")
      parts.shift = true;
    else if (t == "Ctrl")
      parts.ctrl = true;
    else if (t == "Alt")
      parts.alt = true;
    else if (t == "Win")
      parts.win = true;
    else
      parts.key = t;
  }
  return parts;
}

std::string FormatHotKeyText(const HotKeyParts& p) {
  std::string text;
  if (p.shift) text += "Shift+";
  if (p.ctrl) text += "Ctrl+";
  if (p.alt) text += "Alt+";
  if (p.win) text += "Win+";
  return text + p.key;
}

bool IsReservedHotKey(const std::string& text) {
  const HotKeyParts parts = ParseHotKeyText(text);
  if (!parts.ctrl || !parts.win || parts.shift || parts.alt) return false;
  const int key = KeyNameIndex(parts.key);
  return key == KeyNameIndex("F1") || key == KeyNameIndex("F2");
}

bool IsHotKeyFree(const plat::ListView& list, const std::string& text, int exceptRow) {
  if (IsReservedHotKey(text)) return false;
  // Modifiers without a key ("", "Ctrl+") make no combination to collide with.
  const HotKeyParts wanted = ParseHotKeyText(text);
  if (wanted.key.empty()) return true;
  // The same combination however it is written: a hand-edited "Win+Ctrl+n" is the editor's
  // "Ctrl+Win+N".
  const std::string key = LowerAscii(wanted.key);
  for (int i = 0; i < list.RowCount(); ++i) {
    if (i == exceptRow) continue;
    const HotKeyParts p = ParseHotKeyText(list.Cell(i, kColHotKey));
    if (p.shift == wanted.shift && p.ctrl == wanted.ctrl && p.alt == wanted.alt && p.win == wanted.win &&
        LowerAscii(p.key) == key)
      return false;
  }
  return true;
}

int FindKeyName(const std::string& name) {
  static const std::unordered_map<std::string, int> index = [] {
    std::unordered_map<std::string, int> m;
    for (int i = 0; i < kVirtKeyCount; ++i) m.emplace(LowerAscii(VirtKeyName(i)), i);
    return m;
  }();
  auto it = index.find(LowerAscii(name));
  return it == index.end() ? -1 : it->second;
}

int KeyNameIndex(const std::string& name) {
  const int i = FindKeyName(name);
  return i < 0 ? vkNone : i;
}

void FillKeyNames(plat::ComboBox& keyList) {
  keyList.ClearItems();
  for (int i = 0; i < kVirtKeyCount; ++i) keyList.AddItem(VirtKeyName(i));
}

std::string HotKeyTextFromEditor(const Tfrm_main& f) {
  HotKeyParts p;
  p.shift = f.cbShift.Checked();
  p.ctrl = f.cbControl.Checked();
  p.alt = f.cbAlt.Checked();
  p.win = f.cbWin.Checked();
  p.key = f.cmVK.Text();
  return FormatHotKeyText(p);
}

void ShowHotKeyText(Tfrm_main& f, const std::string& text) {
  if (text.empty()) return;
  std::vector<std::string> tokens;
  SplitItems(text, '+', tokens);
  for (const std::string& t : tokens) {
    if (t == "Shift")
      f.cbShift.SetChecked(true);
    else if (t == "Ctrl")
      f.cbControl.SetChecked(true);
    else if (t == "Alt")
      f.cbAlt.SetChecked(true);
    else if (t == "Win")
      f.cbWin.SetChecked(true);
    else {
      f.cmVK.SetItemIndex(FindKeyName(t));
      f.WriteEditField(EditField::HotKey);
    }
  }
}

// ---------------------------------------------------------------- configuration

namespace {
const char* const kRunValueName = "Keyvane";

bool ParseDecimal(const std::string& text, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return false;
  value = static_cast<int>(v);
  return true;
}
}  // namespace

std::string ConfigPath() { return plat::ProgramFolder() + "Config.ini"; }

int ReadConfigInt(const std::string& section, const std::string& key, int def) {
  int value = def;
  if (!ParseDecimal(plat::ReadProfileString(ConfigPath(), section, key, ""), value)) return def;
  return value;
}

int ReadStartUp() { return ReadConfigInt("Config", "StartUp", 1); }
int ReadNewExplore() { return ReadConfigInt("Config", "NewExplore", 0); }

bool SetAutoStart(bool on) {
  using plat::RegRoot;
  if (!on) {
    plat::DeleteRunValue(RegRoot::LocalMachine, kRunValueName);
    plat::DeleteRunValue(RegRoot::CurrentUser, kRunValueName);
    return true;
  }
  std::string path = plat::ProgramPath();
  // Unquoted, Windows reads "C:\Program Files\Keyvane\Keyvane.exe" by trying "C:\Program.exe"
  // first. A path without a blank stays as it is.
  if (path.find_first_of(" \t") != std::string::npos) path = '"' + path + '"';
  if (plat::SetRunValue(RegRoot::LocalMachine, kRunValueName, path)) {
    // A per-user value left from a time without machine-wide rights would start a second copy.
    plat::DeleteRunValue(RegRoot::CurrentUser, kRunValueName);
    return true;
  }
  if (plat::SetRunValue(RegRoot::CurrentUser, kRunValueName, path)) return true;
  plat::ShowErrorBox(std::string("Failed to set data for '") + kRunValueName + "'");
  return false;
}

namespace {
// Blanks and control characters off both ends.
std::string TrimControls(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

bool WriteConfig(const std::string& section, const std::string& key, const std::string& value) {
  if (plat::WriteProfileString(ConfigPath(), section, key, value)) return true;
  plat::ShowErrorBox("Unable to write to " + ConfigPath());
  return false;
}

// The n of a key "Site<n>" (any case, n in decimal as written for it), or -1.
long long SiteNumber(const std::string& key) {
  if (key.size() < 5 || UpperAscii(key.substr(0, 4)) != "SITE") return -1;
  const std::string digits = key.substr(4);
  if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) return -1;
  long long n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}
}  // namespace

std::vector<SearchSite> ReadSearchSites() {
  // One read of the file: "Count" may claim far more sites than there are keys (a
  // hand-edited file), and a read per claimed site would take hours.
  const auto values = plat::ReadProfileSection(ConfigPath(), "DirectSite");
  int count = 0;
  for (const auto& [key, value] : values)
    if (UpperAscii(key) == "COUNT" && !ParseDecimal(value, count)) count = 0;
  std::vector<std::pair<long long, std::string>> numbered;
  for (const auto& [key, value] : values) {
    const long long n = SiteNumber(key);
    if (n >= 0 && n < count) numbered.emplace_back(n, value);
  }
  std::sort(numbered.begin(), numbered.end());
  std::vector<SearchSite> sites;
  for (const auto& [n, value] : numbered) {
    std::vector<std::string> parts;
    SplitItems(value, ',', parts);
    if (parts.size() < 2) continue;
    SearchSite site{TrimControls(parts[0]), TrimControls(parts[1])};
    if (site.description.empty() || site.address.empty()) continue;
    sites.push_back(std::move(site));
  }
  return sites;
}

bool WriteStartUp(bool startUp) {
  return SetAutoStart(startUp) && WriteConfig("Config", "StartUp", startUp ? "1" : "0");
}

bool WriteOptions(bool startUp, bool newExplore, const std::vector<SearchSite>& sites) {
  if (!WriteStartUp(startUp)) return false;
  if (!WriteConfig("Config", "NewExplore", newExplore ? "1" : "0")) return false;
  if (!plat::EraseProfileSection(ConfigPath(), "DirectSite")) {
    plat::ShowErrorBox("Unable to write to " + ConfigPath());
    return false;
  }
  if (!WriteConfig("DirectSite", "Count", std::to_string(sites.size()))) return false;
  for (std::size_t i = 0; i < sites.size(); ++i)
    if (!WriteConfig("DirectSite", "Site" + std::to_string(i), sites[i].description + "," + sites[i].address))
      return false;
  return true;
}

std::string CharactersOutsideCp949(const plat::ListView& list) {
  std::vector<std::string> characters;
  for (int r = 0; r < list.RowCount(); ++r)
    for (const std::string& cell : list.Row(r)) plat::FindCharactersOutsideCp949(cell, characters);
  std::string names;
  for (std::size_t i = 0; i < characters.size() && i < 5; ++i) names += "\r\n    " + plat::NameOfCharacter(characters[i]);
  if (characters.size() > 5) names += "\r\n    외 " + std::to_string(characters.size() - 5) + "자";
  return names;
}

void TakeOutCharactersOutsideCp949(plat::ListView& list) {
  for (int r = 0; r < list.RowCount(); ++r)
    for (int c = 0; c < static_cast<int>(list.Row(r).size()); ++c) {
      std::string plain = plat::WithoutCharactersOutsideCp949(list.Cell(r, c));
      if (plain != list.Cell(r, c)) list.SetCell(r, c, plain);
    }
}

// ---------------------------------------------------------------- work file

const char* const kTitlePrefix = " 키베인 v1.5 - ";

std::string DefaultWorkFile() { return plat::ProgramFolder() + "MyJob.ini"; }

bool IsSettingsFile(const std::string& path) {
  const auto plain = [](std::string p) {
    for (char& c : p)
      if (c == '/') c = '\\';
    return UpperAscii(std::move(p));
  };
  return plain(path) == plain(ConfigPath());
}

std::string GetLastWorkFile() {
  const std::string path = plat::ReadProfileString(ConfigPath(), "Etc", "LastWorkList_Path", "");
  // "Config.ini" recorded as the work file (opened by mistake in an older copy) holds no list.
  return path.empty() || IsSettingsFile(path) ? DefaultWorkFile() : path;
}

bool SetLastWorkFile(const std::string& path) { return WriteConfig("Etc", "LastWorkList_Path", path); }

std::string StoredField(const std::string& text) {
  // Most fields hold nothing the reader treats specially.
  bool plain = !text.empty() && text[0] != ' ' && text != kNull;
  for (std::size_t i = 0; plain && i < text.size(); ++i) {
    const char c = text[i];
    plain = c != '-' && c != '\'' && c != '"' && c != '\r' && c != '\n' && c != '\0';
  }
  if (plain) return text;

  std::string s;
  s.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\0') continue;  // a NUL would end the file for the reader
    if (c == '\r' || c == '\n') {
      // A line break would end the line; one blank in its place keeps the words apart.
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      s += ' ';
    } else {
      s += c;
    }
  }
  if (s.find('-') != std::string::npos) s = ReplaceAll(s, kDash, kEu);
  // Blanks before a field are skipped by the reader anyway.
  const std::size_t first = s.find_first_not_of(' ');
  s.erase(0, first == std::string::npos ? s.size() : first);
  // An open stretch would swallow the fields after it, so the marks that leave one open get
  // their full-width forms; balanced quotes (a quoted program path) read back as they are.
  const std::vector<std::size_t> open = MarksLeavingStretchOpen(s);
  if (!open.empty()) {
    std::string fixed;
    fixed.reserve(s.size() + open.size());
    std::size_t from = 0;
    for (std::size_t at : open) {
      fixed.append(s, from, at - from);
      fixed += s[at] == '\'' ? "＇" : "＂";
      from = at + 1;
    }
    fixed.append(s, from, std::string::npos);
    s = std::move(fixed);
  }
  if (s.empty()) return kNull;
  if (s == kNull) return "null ";  // the bare word stands for an empty field
  return s;
}

std::string ReadBackField(const std::string& stored) { return stored == kNull ? std::string() : stored; }

std::string WorkFileLine(const std::vector<std::string>& row) {
  std::string line;
  for (int c = 0; c < kEntryColumns; ++c) line += StoredField(row[c]) + kDash;
  return line;
}

WorkFileContent ReadWorkFile(const std::string& path, plat::Form* owner) {
  WorkFileContent content;
  std::string error;
  if (!plat::ReadWholeFile(path, content.bytes, error)) {
    plat::ShowErrorBox("Cannot open file \"" + path + "\". " + error, owner);
    return content;
  }
  // Notepad saves UTF-8 without a mark: the work file may come so, unlike "Config.ini".
  plat::DecodedText decoded = plat::DecodeText(content.bytes, true);
  std::string& text = decoded.text;
  content.form = {decoded.encoding, plat::FirstLineEnd(text)};
  // Bytes after a NUL (zeros a crash left, or a list behind them) are never read, so the
  // load is incomplete even when the NUL stands between two lines.
  const std::size_t nul = text.find('\0');
  // Reading stops at the NUL or at a line that is no entry; bytes that did not decode
  // exactly leave the load incomplete without stopping it.
  bool stopped = nul != std::string::npos;
  content.incomplete = stopped || !decoded.exact;
  if (nul != std::string::npos) text.resize(nul);
  if (text.empty()) {
    if (stopped) content.stopLine = 1;
    content.status = WorkFileRead::Empty;
    return content;
  }
  std::vector<std::string> fields;
  const std::string_view all(text);
  std::size_t pos = 0;
  while (pos < all.size()) {
    std::size_t end = pos;
    while (end < all.size() && all[end] != '\r' && all[end] != '\n') ++end;
    fields.clear();
    SplitItems(all.substr(pos, end - pos), '-', fields);
    if (fields.size() != kEntryColumns) {
      content.incomplete = stopped = true;
      break;
    }
    for (std::string& f : fields)
      if (f == kNull) f.clear();
    content.rows.push_back(std::move(fields));
    fields = std::vector<std::string>();
    fields.reserve(kEntryColumns);
    pos = end + ((end + 1 < all.size() && all[end] == '\r' && all[end + 1] == '\n') ? 2 : 1);
  }
  // The line that stopped the reading, or the one the NUL cut off.
  if (stopped) content.stopLine = static_cast<int>(content.rows.size()) + 1;
  content.status = WorkFileRead::Loaded;
  return content;
}

WorkFileRead FillListFromWorkFile(const std::string& path, plat::ListView& list, plat::Form* owner, bool& incomplete,
                                  plat::TextForm* fileForm, int* stopLine) {
  WorkFileContent content = ReadWorkFile(path, owner);
  incomplete = content.incomplete;
  if (stopLine) *stopLine = content.stopLine;
  if (fileForm && content.status != WorkFileRead::Unreadable) *fileForm = content.form;
  if (content.status == WorkFileRead::Loaded) SetListRows(list, std::move(content.rows));
  return content.status;
}

void SetListRows(plat::ListView& list, std::vector<std::vector<std::string>> rows) {
  list.BeginUpdate();
  list.Clear();
  for (std::vector<std::string>& row : rows) list.AddRow(std::move(row));
  list.EndUpdate();
}

bool LoadWorkFile(const std::string& path, plat::ListView&, Tfrm_main& form) { return form.Doc.Load(path); }

bool SaveWorkFile(const std::string& path, Tfrm_main& form) { return form.Doc.SaveTo(path); }

// ---------------------------------------------------------------- keys and waiting

void KeyDown(std::uint8_t vk) { plat::SendKeyEvent(vk, plat::ScanCodeOf(vk), 0); }
void KeyUp(std::uint8_t vk) { plat::SendKeyEvent(vk, plat::ScanCodeOf(vk), plat::kKeyEventKeyUp); }
void KeyTap(std::uint8_t vk) {
  KeyDown(vk);
  KeyUp(vk);
}

void PumpingWait(std::int32_t milliseconds) {
  const std::uint32_t start = plat::GetTickCount();
  for (;;) {
    if (plat::QuitPending()) return;
    plat::ProcessPendingMessages();
    if (plat::QuitPending()) return;
    // Unsigned difference: right across the counter's wrap.
    const std::uint32_t elapsed = plat::GetTickCount() - start;
    if (static_cast<std::int64_t>(elapsed) >= milliseconds) return;
    plat::WaitForMessage(static_cast<std::uint32_t>(milliseconds) - elapsed);
  }
}

// ---------------------------------------------------------------- printing

std::string EntryPrintLine(const HotkeyEntry& entry) {
  std::string line;
  for (const std::string* column : {&entry.id, &entry.hotkey, &entry.kind, &entry.info, &entry.active}) {
    line += *column;
    line += ' ';
  }
  // Every byte up to the blank is a blank or a control character; a CP949 trail byte is
  // never below 0x41, so trimming the end cannot cut a character in two.
  const auto isTrimmed = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t begin = 0, end = line.size();
  while (begin < end && isTrimmed(line[begin])) ++begin;
  while (end > begin && isTrimmed(line[end - 1])) --end;
  return line.substr(begin, end - begin);
}

void PrintHotkeyList(const plat::ListView& list) {
  const char* const caption = "알림말";
  plat::Form* const owner = &list.Owner();
  if (list.RowCount() == 0) {
    plat::MessageBox("인쇄할 단축키가 없습니다.", caption, plat::kMbOk | plat::kMbIconInformation, owner);
    return;
  }
  // The hourglass until the outcome is known; also when something throws on the way.
  struct Hourglass {
    bool on = true;
    Hourglass() { plat::SetBusyCursor(true); }
    ~Hourglass() { Off(); }
    void Off() {
      if (on) plat::SetBusyCursor(false);
      on = false;
    }
  } hourglass;
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(list.RowCount()));
  for (int row = 0; row < list.RowCount(); ++row) {
    const HotkeyEntry entry = EntryOfRow(list, row);
    lines.push_back(entry.description + " " + EntryPrintLine(entry));
  }
  if (plat::PrintLines("Keyvane", lines, plat::PrintFont{"Courior New", 10})) {
    hourglass.Off();
    plat::MessageBox("출력이 완료되었습니다", caption, plat::kMbOk | plat::kMbIconInformation, owner);
  } else {
    plat::MessageBox("리스트 출력중 에러가 발생하였습니다. [지원되지 않는 프린트이거나 출력장치에 문제가 있습니다]",
                     caption, plat::kMbOk | plat::kMbIconError, owner);
  }
}

}  // namespace kv
