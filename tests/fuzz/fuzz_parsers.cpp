// Feeds random bytes to every parser of outside input: item splitting, hotkey texts, the
// work-file reader, the "Config.ini" reader, key sequences, multi-jobs and program paths.
// Built with the sanitizers, any overflow or undefined behaviour aborts; a hang trips the
// test's time-out. Besides not crashing, each parser's own promises (parser_checks.h) are
// checked on every input.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/parser_checks.h"

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

// Program texts of 프로그램 실행: System32 paths in any spelling, bare names, quotes,
// parameters and environment variables.
std::string RandomProgramText() {
  static const std::vector<std::string> pieces = {
      "C:\\Windows\\System32\\", "c:/windows/system32/", "%SystemRoot%\\System32\\", "%windir%", "\\", "/",
      "osk", "osk.exe", "wsl", "notepad", "a.b", "a", ".", ".exe", "\"", "\"", ";", " ", "-x", "가", "%", ":"};
  std::string s;
  for (int n = static_cast<int>(rng() % 6); n > 0; --n)
    s += rng() % 8 == 0 ? std::string(1, static_cast<char>(rng() & 0xFF)) : pieces[rng() % pieces.size()];
  return s;
}

int failures = 0;
}  // namespace

void fuzz::Check(bool ok, const char* what, const std::string& input) {
  if (ok) return;
  if (++failures <= 5) {
    std::fprintf(stderr, "FAIL %s on %zu bytes:", what, input.size());
    for (unsigned char c : input) std::fprintf(stderr, " %02X", c);
    std::fprintf(stderr, "\n");
  }
}

namespace {
using namespace fuzz;

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
  CheckKeySequence(info, round % 5 == 0 ? 0xFFFFFF00u + static_cast<std::uint32_t>(rng() % 0x200) : sim::Now());
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

void FuzzMultiJob(kv::Tfrm_main& editor) {
  const bool nested = rng() % 2 == 0;
  std::vector<std::vector<std::string>> rows;
  for (int r = 1 + static_cast<int>(rng() % 4); r > 0; --r) {
    // Jobs of no known kind do nothing, so nothing piles up in the simulated machine.
    const bool multi = nested && rng() % 4 != 0;
    rows.push_back({"d", "P" + std::to_string(rng() % 4), "null", multi ? kv::kKindMultiJob : "없는 종류",
                    RandomMultiJobText(), "True"});
  }
  const std::string text = RandomMultiJobText() + RandomMultiJobText();
  CheckMultiJob(editor, rows, text, rng() % 2 ? "P" + std::to_string(rng() % 4) : std::string());
}
}  // namespace

int main(int argc, char** argv) {
  const long rounds = argc > 1 ? std::atol(argv[1]) : 100000;
  sim::Reset();
  {
    kv::Tfrm_main editor;
    CountBoxes();
    AddSystemPrograms();
    for (long i = 0; i < rounds; ++i) {
      const std::string text = RandomText(i % 1000 == 0 ? 200000 : 120);
      CheckSplit(text);
      CheckHotKey(text);
      if (i % 8 == 0) CheckWorkFile(editor, text);
      if (i % 8 == 1) CheckConfig(text, RandomText(8), RandomText(8), RandomText(8));
      if (i % 8 == 3) CheckNativeProgram(RandomProgramText());
      if (i % 8 == 2) FuzzTypedRows(editor);
      if (i % 512 == 0) sim::ForgetRecords();
      FuzzMultiJob(editor);
    }
    // Very long single lines and files of nothing but separators.
    CheckWorkFile(editor, std::string(1 << 20, 'a') + "-P0-A-k-i-True-");
    CheckWorkFile(editor, std::string(1 << 20, '-'));
    CheckWorkFile(editor, std::string(1 << 20, '\''));
    CheckWorkFile(editor, std::string(1 << 20, '\r'));
    CheckSplit(std::string(1 << 20, '"'));
  }
  for (long i = 0; i < rounds; ++i) FuzzKeySequence(i);
  sim::Reset();
  std::printf("%ld inputs, %d failures\n", rounds, failures);
  return failures == 0 ? 0 : 1;
}
