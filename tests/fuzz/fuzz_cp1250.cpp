// libFuzzer entry for the UTF-8 / Windows-1250 converter: every input must pass checkCp1250.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  morvane::fuzz::enforce(morvane::fuzz::checkCp1250({data, size}));
  return 0;
}
