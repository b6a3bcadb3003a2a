// The item splitters: an input is an item text, split at each separator, played as a key
// sequence and run as a multi-job (alone, and in a list whose multi-jobs name each other).
#include "tests/fuzz/libfuzzer_support.h"

namespace {
kv::Tfrm_main* editor;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartMachine();
  editor = new kv::Tfrm_main;  // lives as long as the run
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  fuzz::CheckSplit(text);
  // Now and then across the tick counter's wrap.
  fuzz::CheckKeySequence(text, size % 5 == 0 ? 0xFFFFFF00u + static_cast<std::uint32_t>(size * 37 % 0x200) : sim::Now());
  const std::string none = "없는 종류", multi = kv::kKindMultiJob;  // jobs of no known kind do nothing
  fuzz::CheckMultiJob(*editor,
                      {{"d", "P0", "", none, "", "True"},
                       {"d", "P1", "", none, "", "True"},
                       {"d", "P2", "", none, "", "True"},
                       {"d", "P3", "", none, "", "True"}},
                      text, size % 2 ? "P1" : "");
  fuzz::CheckMultiJob(*editor,
                      {{"d", "P0", "", multi, "P1;Delay=1", "True"},
                       {"d", "P1", "", multi, kv::EncodeInfoText(text), "True"},
                       {"d", "P2", "", multi, "P0;P2", "True"},
                       {"d", "P3", "", none, "", "True"}},
                      text, "P1");
  fuzz::Tidy(editor);
  return 0;
}
