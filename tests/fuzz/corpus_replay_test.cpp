// Every file of the committed fuzzing corpus through the checks the fuzzers enforce, in every
// build. Files named "valid-..." are samples the code must accept, so the corpus keeps the
// accepting paths covered and not only the refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fuzz/fuzz_checks.h"

namespace morvane::fuzz {
namespace {

TEST(FuzzCorpus, EveryCommittedInputPassesItsTargetsChecks) {
  const std::pair<const char*, Verdict (*)(Bytes)> targets[] = {
      {"bmp", checkBmp}, {"wav", checkWav}, {"ok_processing", checkOkProcessing}, {"cp1250", checkCp1250}, {"command_line", checkCommandLine}, {"recording", checkRecording}};
  for (const auto& [target, check] : targets) {
    int samples = 0;
    const std::string folder = MORVANE_SOURCE_DIR "/tests/fuzz/corpus/" + std::string(target);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
      const std::string name = std::string(target) + "/" + entry.path().filename().string();
      const Verdict verdict = check(bytes);
      EXPECT_EQ(verdict.broken, "") << name;
      // "valid-..." files are samples the code must accept.
      samples += name.find("/valid-") != std::string::npos;
      EXPECT_TRUE(verdict.accepted || name.find("/valid-") == std::string::npos) << name << " is refused";
    }
    EXPECT_GE(samples, 2) << target;  // a wrong path or an emptied corpus must not pass as "nothing broke"
  }
}

}  // namespace
}  // namespace morvane::fuzz
