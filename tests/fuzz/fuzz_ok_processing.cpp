// libFuzzer entry for the settings dialog's OK processing: every input must pass checkOkProcessing.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  morvane::fuzz::enforce(morvane::fuzz::checkOkProcessing({data, size}));
  return 0;
}
