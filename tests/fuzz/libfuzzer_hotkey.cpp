// Hotkey texts ("Ctrl+Alt+F1"): an input is a text as a work file's hotkey field holds it.
#include "tests/fuzz/libfuzzer_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::CheckHotKey(fuzz::Text(data, size));
  return 0;
}
