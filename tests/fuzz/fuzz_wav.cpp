// libFuzzer entry for the WAV parser and the device conversion: every input must pass checkWav.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  morvane::fuzz::enforce(morvane::fuzz::checkWav({data, size}));
  return 0;
}
