// libFuzzer entry for the BMP decoder: every input must pass checkBmp.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  morvane::fuzz::enforce(morvane::fuzz::checkBmp({data, size}));
  return 0;
}
