// Timings of the editor window on a 10,000-entry work file: showing it (the list is
// reloaded), also when most rows carry the mark of a hotkey that could not be registered,
// selecting a row, and one character typed into the description.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/files.h"
#include "platform/sim/sim.h"

namespace {

constexpr int kEntries = 10000;

// Every entry on one of eight combinations: all but the first of each fail to register and
// get the warning mark.
std::string MarkedWorkFile() {
  static const char* const keys[] = {"Ctrl+F5", "Ctrl+F6", "Ctrl+F7", "Ctrl+F8",
                                     "Alt+F5",  "Alt+F6",  "Alt+F7",  "Alt+F8"};
  std::string text;
  for (int i = 0; i < kEntries; ++i)
    text += "항목 " + std::to_string(i) + "-P" + std::to_string(i) + "-" + keys[i % 8] +
            "-프로그램 실행-C:\\Program Files\\앱\\run.exe-True-\r\n";
  return text;
}

std::string BigWorkFile() {
  static const char* const mods[] = {"Ctrl+",     "Alt+",      "Shift+",     "Win+",
                                     "Ctrl+Alt+", "Ctrl+Win+", "Shift+Alt+", "Ctrl+Shift+Win+"};
  std::string text;
  for (int i = 0; i < kEntries; ++i) {
    const int key = 24 + i % 79;
    text += "항목 " + std::to_string(i) + "-P" + std::to_string(i) + "-" + mods[(i / 79) % 8] + kv::VirtKeyName(key) +
            "-프로그램 실행-C:\\Program Files\\앱" + std::to_string(i) + "\\run.exe-True-\r\n";
  }
  return text;
}

struct Fixture {
  Fixture() {
    sim::Reset();
    std::ofstream(std::filesystem::path(plat::ProgramFolder() + "MyJob.ini"), std::ios::binary) << BigWorkFile();
    editor = std::make_unique<kv::Tfrm_main>();
    editor->Show();
  }
  std::unique_ptr<kv::Tfrm_main> editor;
};

Fixture& F() {
  static Fixture f;
  return f;
}

// The tray's edit command: the window hides and shows again, reloading the file.
void BM_ShowEditorWithBigList(benchmark::State& state) {
  kv::Tfrm_main& editor = *F().editor;
  for (auto _ : state) {
    editor.Hide();
    editor.Show();
  }
  state.counters["rows"] = editor.WorkList.RowCount();
}

// The same with 9,992 of the rows marked.
void BM_ShowEditorWithMarkedRows(benchmark::State& state) {
  sim::Reset();
  std::ofstream(std::filesystem::path(plat::ProgramFolder() + "MyJob.ini"), std::ios::binary) << MarkedWorkFile();
  kv::Tfrm_main editor;
  editor.Show();
  for (auto _ : state) {
    editor.Hide();
    editor.Show();
  }
  int marked = 0;
  for (int row = 0; row < editor.WorkList.RowCount(); ++row)
    marked += editor.WorkList.RowImage(row) == kv::Tfrm_main::kImageUnregistered;
  state.counters["marked"] = marked;
}

// A click on a row far down the list, alternating between two rows.
void BM_SelectRow(benchmark::State& state) {
  kv::Tfrm_main& editor = *F().editor;
  int row = kEntries - 2;
  for (auto _ : state) {
    editor.WorkList.UserSelect(row);
    row = row == kEntries - 2 ? kEntries - 1 : kEntries - 2;
  }
}

// One character typed into the description of the last row, then taken away again.
void BM_TypeInDescription(benchmark::State& state) {
  kv::Tfrm_main& editor = *F().editor;
  editor.WorkList.UserSelect(kEntries - 1);
  const std::string original = editor.txt_subject.Text();
  for (auto _ : state) {
    editor.txt_subject.UserType("a");
    state.PauseTiming();
    editor.txt_subject.UserEdit(original);
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(BM_ShowEditorWithBigList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectRow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeInDescription)->Unit(benchmark::kMicrosecond);
// Last: it starts a machine of its own.
BENCHMARK(BM_ShowEditorWithMarkedRows)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
