// Feeds random bytes to every parser of outside input: item splitting, hotkey texts, the
// work-file reader and the "Config.ini" reader. Built with the sanitizers, any overflow or
// undefined behaviour aborts; a hang trips the test's time-out. Besides not crashing, each
// parser's own promises are checked on every input.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
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

namespace {

std::mt19937 rng(20261208);

// Bytes that matter to the parsers, CP949 pairs, broken lead bytes and plain noise.
std::string RandomText(std::size_t maxLen) {
  static const std::vector<std::string> pieces = {
      "-",    "+",    ",",        ";",    "=",      "'",      "\"",    " ",   "\r", "\n", "\r\n", std::string(1, '\0'),
      "[",    "]",    "null",     "True", "Ctrl",   "Win",    "Shift", "Alt", "F1", "가", "ㅡ",   "\xA4",
      "\xD1", "\x81", "\xFE\xFE", "P0",   "Config", "StartUp"};
  std::string s;
  const std::size_t len = rng() % (maxLen + 1);
  while (s.size() < len) {
    if (rng() % 3 == 0)
      s += static_cast<char>(rng() & 0xFF);
    else
      s += pieces[rng() % pieces.size()];
  }
  return s;
}

int failures = 0;
void Check(bool ok, const char* what, const std::string& input) {
  if (ok) return;
  if (++failures <= 5) {
    std::fprintf(stderr, "FAIL %s on %zu bytes:", what, input.size());
    for (unsigned char c : input) std::fprintf(stderr, " %02X", c);
    std::fprintf(stderr, "\n");
  }
}

void FuzzSplit(const std::string& text) {
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

void FuzzHotKey(const std::string& text) {
  const kv::HotKeyParts p = kv::ParseHotKeyText(text);
  const int index = kv::KeyNameIndex(p.key);
  Check(index >= 0 && index < 103, "key index in table", text);
  // A formatted text parses back to the same parts whenever the key is a real key name.
  if (kv::FindKeyName(p.key) >= 0) {
    const kv::HotKeyParts back = kv::ParseHotKeyText(kv::FormatHotKeyText(p));
    Check(back.shift == p.shift && back.ctrl == p.ctrl && back.alt == p.alt && back.win == p.win && back.key == p.key,
          "format/parse round trip", text);
  }
}

void SaveAndLoadBack(kv::Tfrm_main& editor, const std::string& input);

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

void FuzzWorkFile(kv::Tfrm_main& editor, const std::string& bytes) {
  const std::string path = plat::ProgramFolder() + "fuzz.ini";
  WriteFile(path, bytes);
  editor.WorkList.Clear();
  if (!kv::LoadWorkFile(path, editor.WorkList, editor)) Check(false, "load of a readable file", bytes);
  for (int r = 0; r < editor.WorkList.RowCount(); ++r)
    Check(editor.WorkList.Row(r).size() == 6, "six fields a row", bytes);
  // Whatever was loaded saves and loads back the same.
  if (editor.WorkList.RowCount() == 0) return;
  SaveAndLoadBack(editor, bytes);
}

std::vector<std::vector<std::string>> Rows(const kv::Tfrm_main& editor) {
  std::vector<std::vector<std::string>> rows;
  for (int r = 0; r < editor.WorkList.RowCount(); ++r) rows.push_back(editor.WorkList.Row(r));
  return rows;
}

// After a save the list shows exactly what the file reads back as, in whatever form the
// list's file came (the last load's). Each field reads back as exactly the text StoredField
// gives for it, whatever was typed, when the form can carry every text (always for CP949:
// a UTF form cannot carry bytes that spell no CP949 character).
void SaveAndLoadBack(kv::Tfrm_main& editor, const std::string& input) {
  std::vector<std::vector<std::string>> expected;
  std::string all;
  const plat::TextEncoding encoding = editor.Doc.FileForm().encoding;
  // Characters a CP949 file cannot spell are asked about: the user takes them out.
  bool asks = false;
  for (int r = 0; r < editor.WorkList.RowCount(); ++r) {
    expected.emplace_back();
    for (std::string cell : editor.WorkList.Row(r)) {
      if (encoding == plat::TextEncoding::kCp949) {
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
  if (plat::EncodesExactly(all, encoding)) Check(shown == expected, "each field reads back as stored", input);
  editor.WorkList.Clear();
  kv::LoadWorkFile(copy, editor.WorkList, editor);
  // CP949 rows that happen to be valid UTF-8 read back as UTF-8: the one ambiguity of an
  // unmarked file, which a work file with one entry of a known kind never meets.
  std::string bytes;
  std::ifstream in(copy, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (encoding == plat::TextEncoding::kCp949 && plat::IsUnmarkedUtf8(bytes)) return;
  Check(editor.WorkList.RowCount() == static_cast<int>(shown.size()), "same number of rows back", input);
  Check(Rows(editor) == shown, "the list shows what the file holds", input);
}

// Rows of hostile texts, as a user could type or paste them into any field.
void FuzzTypedRows(kv::Tfrm_main& editor) {
  editor.WorkList.Clear();
  const int rows = 1 + static_cast<int>(rng() % 4);
  std::string all;
  for (int r = 0; r < rows; ++r) {
    std::vector<std::string> row;
    for (int c = 0; c < kv::kEntryColumns; ++c) {
      row.push_back(RandomText(24));
      all += row.back();
    }
    editor.WorkList.AddRow(row);
  }
  SaveAndLoadBack(editor, all);
}

void FuzzConfig(const std::string& bytes) {
  WriteFile(kv::ConfigPath(), bytes);
  kv::ReadStartUp();
  kv::ReadNewExplore();
  kv::GetLastWorkFile();
  const std::string key = RandomText(8), value = RandomText(8);
  plat::ReadProfileString(kv::ConfigPath(), RandomText(8), key, "d");
  // A value without line breaks or surrounding blanks and quotes is read back as written.
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
  plat::WriteProfileString(kv::ConfigPath(), "Fuzz", cleanKey, clean);
  const bool unicodeFile = plat::ProfileEncoding(kv::ConfigPath()) != plat::TextEncoding::kCp949;
  if (unicodeFile && (!unicodeForm(cleanKey) || !unicodeForm(clean))) return;
  const std::string got = plat::ReadProfileString(kv::ConfigPath(), "Fuzz", cleanKey, "<none>");
  Check(got == clean, "profile write/read", bytes);
}

// Key sequences: random texts among the special names, played on the virtual clock (a
// wait costs no real time), sometimes across the tick counter's wrap. The playback must
// take exactly its described time, send exactly its keys and texts and leave the clipboard
// as it found it.
void FuzzKeySequence(long round) {
  static const std::vector<std::string> names = {"VK_TAB", "VK_RETURN", "VK_ESCAPE", "VK_BACK", "VK_Tab", "vk_back"};
  std::string info;
  for (int n = static_cast<int>(rng() % 6); n > 0; --n)
    info += rng() % 2 ? names[rng() % names.size()] + ";" : RandomText(30);
  if (round % 64 == 0) sim::Reset();  // keeps the recorded events short
  sim::SetNow(round % 5 == 0 ? 0xFFFFFF00u + static_cast<std::uint32_t>(rng() % 0x200) : sim::Now());
  const std::uint32_t start = sim::Now();
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

// ---- multi-jobs: lists whose multi-jobs name each other (cycles included), with huge,
// negative and malformed delays, stray quotes and line breaks. The clock is virtual, so
// long delays cost nothing; a cycle that did not end would overflow the stack or hang.
std::string RandomMultiJobText() {
  static const std::vector<std::string> pieces = {
      "P0",     "P1",    "P2",      "P3",      " P1", "P2 ", "delay=3", ";",          ";",           ";",
      "Delay=", "Delay", "Delay=2", "Delay=0", "-1",  "ㅡ1", "2147484", "2147483",    "4294968",     "1e3",
      "=",      "'",     "\"",      "\r",      "\n",  " ",   "+",       "2147483648", "-2147483648", "9"};
  std::string s;
  const int n = static_cast<int>(rng() % 7);
  for (int i = 0; i < n; ++i)
    s += rng() % 8 == 0 ? std::string(1, static_cast<char>(rng() & 0xFF)) : pieces[rng() % pieces.size()];
  return s;
}

// The wait a valid delay item takes, by the rule written out on its own: seconds times
// 1000, reduced modulo 2^32 into the signed range; a negative wait is no wait.
bool ModelDelay(const std::string& item, std::uint64_t& waitMs) {
  std::vector<std::string> parts;
  kv::SplitItems(item, '=', parts);
  if (parts.size() < 2) return false;
  const std::string& t = parts[1];
  const std::size_t digits =
      t.find_first_not_of("+-") == 1 || t.find_first_not_of("+-") == 0 ? t.find_first_not_of("+-") : 9;
  if (digits > 1 || t.size() == digits || t.size() - digits > 12 ||
      t.find_first_not_of("0123456789", digits) != std::string::npos)
    return false;
  const long long seconds = std::stoll(t.substr(digits)) * (t[0] == '-' ? -1 : 1);
  if (seconds < -2147483648LL || seconds > 2147483647LL) return false;
  long long ms = (seconds * 1000) % 4294967296LL;
  if (ms < 0) ms += 4294967296LL;
  if (ms >= 2147483648LL) ms -= 4294967296LL;
  waitMs = ms > 0 ? static_cast<std::uint64_t>(ms) : 0;
  return true;
}

int g_boxes = 0;

void FuzzMultiJob(kv::Tfrm_main& editor) {
  const bool nested = rng() % 2 == 0;
  editor.WorkList.Clear();
  const int rows = 1 + static_cast<int>(rng() % 4);
  for (int r = 0; r < rows; ++r) {
    // Jobs of no known kind do nothing, so nothing piles up in the simulated machine.
    const bool multi = nested && rng() % 4 != 0;
    editor.WorkList.AddRow({"d", "P" + std::to_string(rng() % 4), "null", multi ? kv::kKindMultiJob : "없는 종류",
                            RandomMultiJobText(), "True"});
  }
  const std::string text = RandomMultiJobText() + RandomMultiJobText();
  const std::uint32_t start = sim::Now();
  const int boxes = g_boxes;
  if (rng() % 2)
    kv::ExecuteEntryAction("P" + std::to_string(rng() % 4), kv::kKindMultiJob, kv::EncodeInfoText(text));
  else
    kv::ExecuteAction(kv::kKindMultiJob, kv::EncodeInfoText(text));
  Check(g_boxes - boxes <= 1, "at most one box a run", text);
  if (nested) return;
  // Without nested multi-jobs the run's length follows from its own items.
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
}  // namespace

int main(int argc, char** argv) {
  const long rounds = argc > 1 ? std::atol(argv[1]) : 100000;
  sim::Reset();
  {
    kv::Tfrm_main editor;
    sim::OnBox([](const sim::Box&) { ++g_boxes; });
    for (long i = 0; i < rounds; ++i) {
      const std::string text = RandomText(i % 1000 == 0 ? 200000 : 120);
      FuzzSplit(text);
      FuzzHotKey(text);
      if (i % 8 == 0) FuzzWorkFile(editor, text);
      if (i % 8 == 1) FuzzConfig(text);
      if (i % 8 == 2) FuzzTypedRows(editor);
      FuzzMultiJob(editor);
    }
    // Very long single lines and files of nothing but separators.
    FuzzWorkFile(editor, std::string(1 << 20, 'a') + "-P0-A-k-i-True-");
    FuzzWorkFile(editor, std::string(1 << 20, '-'));
    FuzzWorkFile(editor, std::string(1 << 20, '\''));
    FuzzWorkFile(editor, std::string(1 << 20, '\r'));
    FuzzSplit(std::string(1 << 20, '"'));
  }
  for (long i = 0; i < rounds; ++i) FuzzKeySequence(i);
  sim::Reset();
  std::printf("%ld inputs, %d failures\n", rounds, failures);
  return failures == 0 ? 0 : 1;
}
