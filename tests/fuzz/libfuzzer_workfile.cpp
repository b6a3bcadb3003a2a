// The work-file reader: an input is a whole work file, in any encoding (CP949, UTF-8 with or
// without a mark, UTF-16 LE or BE) and with any line ends.
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
  fuzz::CheckWorkFile(*editor, fuzz::Text(data, size));
  fuzz::Tidy(editor);
  return 0;
}
