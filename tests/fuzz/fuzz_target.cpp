// libFuzzer entry for one byte-level entry point: tests/fuzz/CMakeLists.txt builds it once per
// target, with MORVANE_FUZZ_CHECK naming that target's check. A broken rule stops the run, so
// libFuzzer keeps the input as a crasher.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const morvane::fuzz::Verdict verdict = morvane::fuzz::MORVANE_FUZZ_CHECK({data, size});
  if (verdict.broken.empty()) return 0;
  std::fprintf(stderr, "broken: %s\n", verdict.broken.c_str());
  std::abort();
}
