// The program of 프로그램 실행: an input is its info, a program path (quoted or not, with
// environment variables, either slash) and perhaps ";" and parameters, mapped to Sysnative
// on 64-bit Windows.
#include "tests/fuzz/libfuzzer_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartMachine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::CheckNativeProgram(fuzz::Text(data, size));
  fuzz::Tidy();
  return 0;
}
