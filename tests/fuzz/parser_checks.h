#pragma once
// What each parser of outside input promises, checked on one input: item splitting, hotkey
// texts, the work-file reader, the "Config.ini" reader, key sequences, multi-jobs and the
// program path of 프로그램 실행 with its Sysnative form. The random fuzzer (fuzz_parsers)
// and the coverage-guided targets (libfuzzer_*.cpp) check the same things.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "actions/KeySequence.h"
#include "actions/MultiJob.h"
#include "actions/UnitExcuteFunction.h"
#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_clipboard.h"
#include "platform/text.h"
#include "platform/textfile.h"

namespace fuzz {

// A broken promise on input; each program decides what it does (count it, or stop).
void Check(bool ok, const char* what, const std::string& input);

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void CheckSplit(const std::string& text) {
  for (char sep : {'-', '+', ',', ';', '='}) {
    std::vector<std::string> items;
    kv::SplitItems(text, sep, items);
    std::size_t total = 0;
    for (const auto& item : items) {
      Check(!item.empty(), "no empty items", text);
      Check(item[0] != ' ' && item[0] != '\r' && item[0] != '\n', "no leading blank", text);
      total += item.size();
    }
    Check(total <= text.size(), "items come from the text", text);
  }
}

inline void CheckHotKey(const std::string& text) {
  const kv::HotKeyParts p = kv::ParseHotKeyText(text);
  const int index = kv::KeyNameIndex(p.key);
  Check(index >= 0 && index < 103, "key index in table", text);
  // A formatted text parses back to the same parts whenever the key is a real key name.
  if (kv::FindKeyName(p.key) >= 0) {
    const kv::HotKeyParts back = kv::ParseHotKeyText(kv::FormatHotKeyText(p));
    Check(back.shift == p.shift && back.ctrl == p.ctrl && back.alt == p.alt && back.win == p.win && back.key == p.key,
          "format/parse round trip", text);
  }
  Check(kv::IsReservedHotKey(text) == kv::IsReservedHotKey(kv::FormatHotKeyText(p)), "reserved however spelled", text);
}

inline std::vector<std::vector<std::string>> Rows(const kv::Tfrm_main& editor) {
  std::vector<std::vector<std::string>> rows;
  for (int r = 0; r < editor.WorkList.RowCount(); ++r) rows.push_back(editor.WorkList.Row(r));
  return rows;
}

// After a save the list shows exactly what the file reads back as, in whatever form the
// list's file came (the last load's): its encoding and the line end of its first line.
// Each field reads back as exactly the text StoredField gives for it, whatever was typed,
// when the form can carry every text (always for CP949: a UTF form cannot carry bytes that
// spell no CP949 character).
inline void SaveAndLoadBack(kv::Tfrm_main& editor, const std::string& input) {
  std::vector<std::vector<std::string>> expected;
  std::string all;
  const plat::TextForm form = editor.Doc.FileForm();
  // Characters a CP949 file cannot spell are asked about: the user takes them out.
  bool asks = false;
  for (int r = 0; r < editor.WorkList.RowCount(); ++r) {
    expected.emplace_back();
    for (std::string cell : editor.WorkList.Row(r)) {
      if (form.encoding == plat::TextEncoding::kCp949) {
        std::string plain = plat::WithoutCharactersOutsideCp949(cell);
        asks = asks || plain != cell;
        cell = std::move(plain);
      }
      const std::string stored = kv::StoredField(cell);
      expected.back().push_back(stored == "null" ? std::string() : stored);
      all += stored + "-";
    }
  }
  const std::string copy = plat::ProgramFolder() + "fuzz-copy.ini";
  // A fresh copy: no backup of an earlier one that was read only in part.
  std::remove(copy.c_str());
  if (asks) sim::AnswerNextBox(plat::kIdNo);
  if (!kv::SaveWorkFile(copy, editor)) Check(false, "save", input);
  const auto shown = Rows(editor);
  if (plat::EncodesExactly(all, form.encoding)) Check(shown == expected, "each field reads back as stored", input);
  editor.WorkList.Clear();
  kv::LoadWorkFile(copy, editor.WorkList, editor);
  // CP949 rows that happen to be valid UTF-8 read back as UTF-8: the one ambiguity of an
  // unmarked file, which a work file with one entry of a known kind never meets.
  const std::string bytes = FileBytes(copy);
  if (form.encoding == plat::TextEncoding::kCp949 && plat::IsUnmarkedUtf8(bytes)) return;
  Check(editor.Doc.FileForm().encoding == form.encoding, "saved in the encoding it came in", input);
  if (!shown.empty()) Check(editor.Doc.FileForm().lineEnd == form.lineEnd, "saved with its line end", input);
  Check(editor.WorkList.RowCount() == static_cast<int>(shown.size()), "same number of rows back", input);
  Check(Rows(editor) == shown, "the list shows what the file holds", input);
}

// A work file of these bytes loads as rows of six fields, which save and load back the same.
inline void CheckWorkFile(kv::Tfrm_main& editor, const std::string& bytes) {
  const std::string path = plat::ProgramFolder() + "fuzz.ini";
  WriteFile(path, bytes);
  editor.WorkList.Clear();
  if (!kv::LoadWorkFile(path, editor.WorkList, editor)) Check(false, "load of a readable file", bytes);
  for (int r = 0; r < editor.WorkList.RowCount(); ++r)
    Check(editor.WorkList.Row(r).size() == 6, "six fields a row", bytes);
  if (editor.WorkList.RowCount() > 0) SaveAndLoadBack(editor, bytes);
}

// "Config.ini" of these bytes: the settings read without harm, every key of a section reads
// as ReadProfileSection says, and a value without line breaks or surrounding blanks and
// quotes written under key reads back as written.
inline void CheckConfig(const std::string& bytes, const std::string& section, const std::string& key,
                        const std::string& value) {
  const std::string path = kv::ConfigPath();
  WriteFile(path, bytes);
  kv::ReadStartUp();
  kv::ReadNewExplore();
  kv::GetLastWorkFile();
  kv::ReadSearchSites();
  plat::ReadProfileString(path, section, key, "d");
  for (const auto& [name, got] : plat::ReadProfileSection(path, section))
    Check(plat::ReadProfileString(path, section, name, "<none>") == got, "a section's values as read one by one",
          bytes);
  std::string clean;
  for (char c : value)
    if (c != '\r' && c != '\n' && c != '\0' && c != ' ' && c != '\t' && c != '\'' && c != '"') clean += c;
  std::string cleanKey;
  for (char c : key)
    if (c != '\r' && c != '\n' && c != '\0' && c != ' ' && c != '\t' && c != '=' && c != '[') cleanKey += c;
  if (cleanKey.empty()) return;
  // A file in UTF-8 or UTF-16 holds only what has a Unicode form: the program's texts
  // always do (characters CP949 lacks are escaped), random bytes need not.
  const auto unicodeForm = [](const std::string& text) { return plat::TextFromUtf16(plat::TextToUtf16(text)) == text; };
  // (A CP949 file becomes UTF-16 when it is to hold a character CP949 cannot spell.)
  plat::WriteProfileString(path, "Fuzz", cleanKey, clean);
  const bool unicodeFile = plat::ProfileEncoding(path) != plat::TextEncoding::kCp949;
  if (unicodeFile && (!unicodeForm(cleanKey) || !unicodeForm(clean))) return;
  Check(plat::ReadProfileString(path, "Fuzz", cleanKey, "<none>") == clean, "profile write/read", bytes);
}

// A key sequence played from the tick start on the virtual clock (a wait costs no real
// time) takes exactly its described time, sends exactly its keys and texts and leaves the
// clipboard as it found it.
inline void CheckKeySequence(const std::string& info, std::uint32_t start) {
  sim::SetNow(start);
  const std::size_t keys0 = sim::KeyEvents().size(), clips0 = sim::ClipboardChanges().size();
  const auto clipboardBefore = sim::ClipboardFormats();
  kv::PlayKeySequence(info);

  std::vector<std::string> items;
  kv::SplitItems(info, ';', items);
  std::size_t texts = 0;
  std::string last;
  for (const std::string& item : items) {
    const std::string upper = kv::UpperAscii(item);  // key names in any case
    if (upper != "VK_TAB" && upper != "VK_RETURN" && upper != "VK_ESCAPE" && upper != "VK_BACK")
      ++texts, last = kv::RestoreQuoteMarks(item);
  }
  const std::size_t specials = items.size() - texts;
  Check(sim::Now() - start == 200u * (items.size() + texts), "described duration", info);
  const std::size_t keys = sim::KeyEvents().size() - keys0;
  Check(keys == (items.empty() ? 0 : 5) + 4 * texts + 2 * specials, "key events", info);
  const auto clips = sim::ClipboardChanges();
  Check(clips.size() - clips0 == texts + (texts ? 1 : 0), "one clipboard text per text item, then the give-back", info);
  if (texts) Check(clips[clips.size() - 2].text == last, "the last text pasted last", info);
  Check(sim::ClipboardFormats() == clipboardBefore, "the clipboard given back as it was", info);
}

// The wait a valid delay item takes, by the rule written out on its own: a whole number of
// seconds (leading zeros allowed) times 1000, reduced modulo 2^32 into the signed range; a
// negative wait is no wait.
inline bool ModelDelay(const std::string& item, std::uint64_t& waitMs) {
  std::vector<std::string> parts;
  kv::SplitItems(item, '=', parts);
  if (parts.size() < 2) return false;
  const std::string& t = parts[1];
  const std::size_t digits =
      t.find_first_not_of("+-") == 1 || t.find_first_not_of("+-") == 0 ? t.find_first_not_of("+-") : 9;
  if (digits > 1 || t.size() == digits || t.find_first_not_of("0123456789", digits) != std::string::npos) return false;
  const std::size_t significant = std::min(t.find_first_not_of('0', digits), t.size() - 1);
  if (t.size() - significant > 12) return false;
  const long long seconds = std::stoll(t.substr(significant)) * (t[0] == '-' ? -1 : 1);
  if (seconds < -2147483648LL || seconds > 2147483647LL) return false;
  long long ms = (seconds * 1000) % 4294967296LL;
  if (ms < 0) ms += 4294967296LL;
  if (ms >= 2147483648LL) ms -= 4294967296LL;
  waitMs = ms > 0 ? static_cast<std::uint64_t>(ms) : 0;
  return true;
}

// Boxes shown so far, counted by the hook CountBoxes sets.
inline int g_boxes = 0;
inline void CountBoxes() {
  sim::OnBox([](const sim::Box&) { ++g_boxes; });
}

// A multi-job of text run in a list of rows (whose multi-jobs may name each other, cycles
// included), started as the entry startId or, when that is empty, as a bare action. The
// clock is virtual, so long delays cost nothing; a cycle that did not end would overflow the
// stack or hang. At most one box a run; without nested multi-jobs (no row of that kind) the
// run takes exactly its delays and 200 ms a job, and shows a box exactly for a malformed
// delay.
inline void CheckMultiJob(kv::Tfrm_main& editor, const std::vector<std::vector<std::string>>& rows,
                          const std::string& text, const std::string& startId) {
  editor.WorkList.Clear();
  bool nested = false;
  for (const auto& row : rows) {
    editor.WorkList.AddRow(row);
    nested = nested || row[kv::kColKind] == kv::kKindMultiJob;
  }
  const std::uint32_t start = sim::Now();
  const int boxes = g_boxes;
  if (!startId.empty())
    kv::ExecuteEntryAction(startId, kv::kKindMultiJob, kv::EncodeInfoText(text));
  else
    kv::ExecuteAction(kv::kKindMultiJob, kv::EncodeInfoText(text));
  Check(g_boxes - boxes <= 1, "at most one box a run", text);
  if (nested) return;
  std::vector<std::string> items;
  kv::SplitItems(kv::DecodeInfoText(text), ';', items);
  std::uint64_t expected = 0;
  bool bad = false;
  for (const std::string& item : items) {
    std::uint64_t wait = 0;
    if (item.compare(0, 5, "Delay") != 0)
      expected += 200;
    else if (ModelDelay(item, wait))
      expected += wait;
    else {
      bad = true;
      break;
    }
  }
  Check(sim::Now() - start == static_cast<std::uint32_t>(expected), "run takes its delays and job waits", text);
  Check(g_boxes - boxes == (bad ? 1 : 0), "a box exactly for a malformed delay", text);
}

// Programs of the simulated 64-bit Windows that only its real System32 holds, one also in
// SysWOW64 (there the 32-bit copy wins).
inline void AddSystemPrograms() {
  for (const char* name : {"osk.exe", "wsl.exe", "notepad.exe", "a.b"})
    sim::AddWindowsFile(std::string("C:\\Windows\\Sysnative\\") + name);
  sim::AddWindowsFile("C:\\Windows\\SysWOW64\\notepad.exe");
}

// The program of 프로그램 실행: on 32-bit Windows the text as it is; on 64-bit Windows the
// text, or the same text with its program part (within the leading quotes, if any) an
// existing Sysnative path. RunProgram opens the program part before the first ";" (blanks
// before it skipped), as that mapping gives it, with the text after the ";" as parameters.
inline void CheckNativeProgram(const std::string& text) {
  sim::SetWow64(false);
  Check(kv::NativeSystemProgram(text) == text, "as it is on 32-bit Windows", text);
  sim::SetWow64(true);
  const std::string got = kv::NativeSystemProgram(text);
  if (got != text) {
    const bool quoted = !text.empty() && text[0] == '"';
    const std::size_t close = quoted ? text.find('"', 1) : std::string::npos;
    const std::string tail = close == std::string::npos ? std::string() : text.substr(close + 1);
    std::string path = got;
    if (quoted) {
      const bool framed = got.size() >= 2 + tail.size() && got[0] == '"' &&
                          got.compare(got.size() - tail.size() - 1, std::string::npos, "\"" + tail) == 0;
      Check(framed, "quotes and what follows them kept", text);
      path = framed ? got.substr(1, got.size() - tail.size() - 2) : std::string();
    }
    Check(path.rfind("C:\\Windows\\Sysnative\\", 0) == 0 && plat::FileExists(path), "a Sysnative program that is there",
          text);
  }
  const std::size_t before = sim::ShellCalls().size();
  kv::RunProgram(text);
  const auto calls = sim::ShellCalls();
  Check(calls.size() == before + 1, "one launch", text);
  if (calls.size() != before + 1) return;
  const sim::ShellCall& call = calls.back();
  const std::size_t semi = text.find(';');
  Check(call.hasParameters == (semi != std::string::npos), "parameters exactly after a ;", text);
  if (semi == std::string::npos) {
    Check(call.file == got, "the program as mapped", text);
    return;
  }
  const std::string program = text.substr(0, semi);
  Check(call.file.find(';') == std::string::npos && call.parameters.find(';') == std::string::npos,
        "no ; in the program or its parameters", text);
  const std::size_t native = call.file.find("C:\\Windows\\Sysnative\\");
  Check(program.find(call.file) != std::string::npos || native == 0 || (native == 1 && call.file[0] == '"'),
        "the program comes from before the ;", text);
  Check(text.find(call.parameters, semi + 1) != std::string::npos, "the parameters come from after the ;", text);
}

}  // namespace fuzz
