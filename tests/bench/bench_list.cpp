// Timings of the list core on a 10,000-entry work file, each beside the straightforward way.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/sim/sim.h"

namespace {

constexpr int kEntries = 10000;

std::string BigWorkFile() {
  std::string text;
  for (int i = 0; i < kEntries; ++i) {
    const int key = 24 + i % 79;  // keys 0..F24, with modifier mixes below
    const char* mods[] = {"Ctrl+", "Alt+", "Shift+", "Win+", "Ctrl+Alt+", "Ctrl+Win+", "Shift+Alt+", "Ctrl+Shift+Win+"};
    text += "항목 " + std::to_string(i) + "-P" + std::to_string(i) + "-" + mods[(i / 79) % 8] + kv::VirtKeyName(key) +
            "-웹사이트 이동-http://example.kr/" + std::to_string(i) + "-True-\r\n";
  }
  return text;
}

struct Fixture {
  Fixture() {
    sim::Reset();
    path = plat::ProgramFolder() + "MyJob.ini";
    std::ofstream(path, std::ios::binary) << BigWorkFile();
    editor = std::make_unique<kv::Tfrm_main>();
    kv::LoadWorkFile(path, editor->WorkList, *editor);
  }
  std::string path;
  std::unique_ptr<kv::Tfrm_main> editor;
};

Fixture& F() {
  static Fixture f;
  return f;
}

void BM_LoadWorkFile(benchmark::State& state) {
  for (auto _ : state) kv::LoadWorkFile(F().path, F().editor->WorkList, *F().editor);
  state.counters["rows"] = F().editor->WorkList.RowCount();
}

// The plain way: a line reader and a row appended with every field set one by one.
void BM_LoadWorkFileStraightforward(benchmark::State& state) {
  plat::ListView& list = F().editor->WorkList;
  for (auto _ : state) {
    list.Clear();
    std::ifstream in(F().path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::vector<std::string> fields;
      kv::SplitItems(line, '-', fields);
      if (fields.size() != 6) break;
      list.AddRow({});
      for (int c = 0; c < 6; ++c) list.SetCell(list.RowCount() - 1, c, fields[c] == "null" ? "" : fields[c]);
    }
  }
}

void BM_SaveWorkFile(benchmark::State& state) {
  const std::string out = plat::ProgramFolder() + "Out.ini";
  for (auto _ : state) kv::SaveWorkFile(out, *F().editor);
}

void BM_SaveWorkFileStraightforward(benchmark::State& state) {
  const std::string out = plat::ProgramFolder() + "Out2.ini";
  const plat::ListView& list = F().editor->WorkList;
  for (auto _ : state) {
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    for (int r = 0; r < list.RowCount(); ++r) {
      std::string line;
      for (int c = 0; c < 6; ++c) line += (list.Cell(r, c).empty() ? std::string("null") : list.Cell(r, c)) + "-";
      file << line << "\r\n";
    }
  }
}

void BM_NewEntryId(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(kv::NewEntryId(F().editor->WorkList));
}

// Try P0, P1, ... against every row: quadratic in the list's length.
void BM_NewEntryIdStraightforward(benchmark::State& state) {
  for (auto _ : state) {
    int n = 0;
    while (kv::IdExists(F().editor->WorkList, "P" + std::to_string(n))) ++n;
    benchmark::DoNotOptimize(n);
  }
}

void BM_IsHotKeyFree(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(kv::IsHotKeyFree(F().editor->WorkList, "Ctrl+Shift+Alt+Win+F24"));
}

// From the system's WM_HOTKEY to the action handed to the shell, with the list at 10,000 rows.
void BM_HotKeyPressToAction(benchmark::State& state) {
  kv::Tfrm_main& editor = *F().editor;
  editor.SwitchHotKeys(false);
  editor.SwitchHotKeys(true);
  const int last = editor.AMHK.HotKeys().Count() - 2;
  const kv::THotKeyItem& item = editor.AMHK.HotKeys().Item(last);
  for (auto _ : state) sim::SendMessage(editor.Handle(), plat::kWmHotKey, static_cast<std::uintptr_t>(item.ID()), 0);
}

void BM_RegisterAllHotKeys(benchmark::State& state) {
  kv::Tfrm_main& editor = *F().editor;
  for (auto _ : state) {
    editor.SwitchHotKeys(false);
    editor.SwitchHotKeys(true);
  }
}

}  // namespace

BENCHMARK(BM_LoadWorkFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWorkFileStraightforward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWorkFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWorkFileStraightforward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewEntryId)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NewEntryIdStraightforward)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IsHotKeyFree)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HotKeyPressToAction)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RegisterAllHotKeys)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
