#pragma once
// What every libFuzzer target shares: a broken promise stops the run (libFuzzer keeps the
// input as a crash), and the simulated machine the parsers run on.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/fuzz/parser_checks.h"

void fuzz::Check(bool ok, const char* what, const std::string& input) {
  if (ok) return;
  std::fprintf(stderr, "FAIL %s on %zu bytes:", what, input.size());
  for (unsigned char c : input) std::fprintf(stderr, " %02X", c);
  std::fprintf(stderr, "\n");
  std::abort();
}

namespace fuzz {

// A fresh simulated machine, counting its boxes, with the programs of a 64-bit System32.
inline void StartMachine() {
  sim::Reset();
  CountBoxes();
  AddSystemPrograms();
}

inline std::string Text(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// After each input: the recorded calls forgotten and the list emptied, so that nothing piles
// up over a long run and an input that allocates more than it frees points at a real leak
// (libFuzzer then looks for one).
inline void Tidy(kv::Tfrm_main* editor = nullptr) {
  sim::ForgetRecords();
  sim::ForgetClipboardChanges();
  if (editor) editor->WorkList.Clear();
}

}  // namespace fuzz
