// Every file of the committed fuzzing corpus, through the same checks the fuzzers enforce, in
// every build. Files named "valid-..." are samples the code must accept, so the corpus keeps
// the accepting paths covered and not only the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_checks.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool accepts(const std::string& target, fuzz::Bytes bytes) {
  if (target == "bmp") return decodeBmp(bytes, fuzz::bmpName).ok;
  if (target == "wav") {
    WavFile wav;
    return !parseWav(bytes, fuzz::wavName, wav).has_value();
  }
  if (target == "ok_processing") {
    const fuzz::OkCase c = fuzz::okCaseFromBytes(bytes);
    Random random(c.seed);
    return processOk(c.input, random).accepted();
  }
  return toCp1250(std::string(bytes.begin(), bytes.end())).find('?') == std::string::npos;
}

struct Target {
  const char* name;
  std::function<std::string(fuzz::Bytes)> check;
};

TEST(FuzzCorpus, EveryCommittedInputPassesItsTargetsChecks) {
  const Target targets[] = {{"bmp", fuzz::checkBmp},
                            {"wav", fuzz::checkWav},
                            {"ok_processing", fuzz::checkOkProcessing},
                            {"cp1250", fuzz::checkCp1250}};
  for (const Target& target : targets) {
    const fs::path folder = fs::path(MORVANE_SOURCE_DIR) / "tests/fuzz/corpus" / target.name;
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    int files = 0, samples = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      if (!entry.is_regular_file()) continue;
      const std::vector<uint8_t> bytes = readAll(entry.path());
      const std::string name = entry.path().filename().string();
      ++files;
      EXPECT_EQ(target.check(bytes), "") << target.name << "/" << name;
      if (name.starts_with("valid-")) {
        ++samples;
        EXPECT_TRUE(accepts(target.name, bytes)) << target.name << "/" << name << " is refused";
      }
    }
    // A wrong path or an emptied corpus must not pass as "nothing broke".
    EXPECT_GE(files, 5) << target.name;
    EXPECT_GE(samples, 2) << target.name;
  }
}

// The checks themselves: each rule catches the fault it is there for.
TEST(FuzzCorpus, TheChecksRejectWhatTheyAreFor) {
  using namespace std::string_literals;
  EXPECT_EQ(fuzz::wellFormedUtf8("\xC3\xA1\xF0\x9F\x98\x80"), (std::vector<char32_t>{0xE1, 0x1F600}));
  for (const std::string& bad : {"\xC0\x80"s, "\xE0\x9F\xBF"s, "\xED\xA0\x80"s, "\xF4\x90\x80\x80"s, "\xF5\x80\x80\x80"s,
                                "\x80"s, "\xE2\x82"s}) {
    EXPECT_FALSE(fuzz::wellFormedUtf8(bad)) << ::testing::PrintToString(bad);
  }
  EXPECT_EQ(fuzz::checkName("a\0b"s, "a\xC0\x80" "b"), "a NUL byte in a name");
  EXPECT_EQ(fuzz::checkName(std::string(200, 'x'), std::string(300, 'x')), "a name longer than 199 bytes");
  EXPECT_EQ(fuzz::checkName("Kat?", "Kata"), "a plain ASCII name changed");
  EXPECT_EQ(fuzz::checkName(std::string(199, 'x'), std::string(300, 'x')), "");

  // The byte layout of the dialog's controls.
  const std::vector<uint8_t> bytes = {0x25, 0xFE, 1, 0, 0, 0, 2, 'A', 'n', 4, '1', '0', '0', '0', 1, '5'};
  const fuzz::OkCase c = fuzz::okCaseFromBytes(bytes);
  EXPECT_TRUE(c.input.player1Computer && c.input.chaoticRack && c.input.randomStart);
  EXPECT_FALSE(c.input.player2Computer || c.input.multiplierEnabled || c.input.winnerStartsNextRound);
  EXPECT_EQ(c.input.difficulty, -2);
  EXPECT_EQ(c.seed, 1u);
  EXPECT_EQ(std::vector<std::string>({c.input.player1Name, c.input.player2Name, c.input.arenaSize, c.input.rack,
                                      c.input.rounds}),
            (std::vector<std::string>{"An", "1000", "5", "", ""}));
}

}  // namespace
}  // namespace morvane
