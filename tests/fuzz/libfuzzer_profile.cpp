// The "Config.ini" reader: an input is the whole file; its first 8 bytes also name a key to
// write and the next 8 its value, in a section picked by the size.
#include "tests/fuzz/libfuzzer_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartMachine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = fuzz::Text(data, size);
  static const char* const sections[] = {"Config", "DirectSite", "Etc"};
  fuzz::CheckConfig(bytes, sections[size % 3], bytes.substr(0, 8), bytes.substr(std::min<std::size_t>(size, 8), 8));
  fuzz::Tidy();
  return 0;
}
