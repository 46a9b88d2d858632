#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launch/command_line.h"

namespace morvane {
namespace {

using Args = std::vector<std::string>;

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

TEST(CommandLine, DecidesOnTheArguments) {
  const std::string usage = usageText();
  const std::string version = versionText();
  struct Case {
    const char* name;
    Args args;
    bool play;
    int exitCode;
    std::string out;
    std::string errStart;  // the start of stderr; the rest, when not empty, is the usage
  };
  const Case cases[] = {
      {"none", {}, true, 0, "", ""},
      {"help", {"--help"}, false, 0, usage, ""},
      {"version", {"--version"}, false, 0, version, ""},
      {"first answer wins", {"--version", "--help"}, false, 0, version, ""},
      {"repeated help", {"--help", "--help"}, false, 0, usage, ""},
      {"unknown", {"--fullscreen"}, false, 2, "", "morvane: unknown argument '--fullscreen'\n"},
      {"short help is not an option", {"-h"}, false, 2, "", "morvane: unknown argument '-h'\n"},
      {"near miss", {"--help=yes"}, false, 2, "", "morvane: unknown argument '--help=yes'\n"},
      {"unknown after help", {"--help", "extra"}, false, 2, "", "morvane: unknown argument 'extra'\n"},
      {"first unknown named", {"a", "b"}, false, 2, "", "morvane: unknown argument 'a'\n"},
      {"empty", {""}, false, 2, "", "morvane: unknown argument ''\n"},
      {"control bytes shown, not sent", {"\x1b[2Jx\x7f"}, false, 2, "",
       "morvane: unknown argument '\\x1b[2Jx\\x7f'\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LaunchDecision d = decideLaunch(c.args);
    EXPECT_EQ(d.play, c.play);
    EXPECT_EQ(d.exitCode, c.exitCode);
    EXPECT_EQ(d.standardOutput, c.out);
    if (c.errStart.empty()) {
      EXPECT_EQ(d.standardError, "");
    } else {
      EXPECT_EQ(d.standardError, c.errStart + usage);
    }
  }
}

TEST(CommandLine, VersionAndUsageSayWhatAPlayerNeeds) {
  const std::string version = versionText();
  ASSERT_TRUE(startsWith(version, "morvane "));
  // Three dotted numbers and one newline.
  int dots = 0;
  for (size_t i = 8; i + 1 < version.size(); ++i) {
    if (version[i] == '.') {
      ++dots;
    } else {
      EXPECT_TRUE(version[i] >= '0' && version[i] <= '9') << version;
    }
  }
  EXPECT_EQ(dots, 2) << version;
  EXPECT_EQ(version.back(), '\n');

  const std::string usage = usageText();
  EXPECT_TRUE(startsWith(usage, "Usage: morvane "));
  for (const char* needed : {"--help", "--version", "walltex.bmp", "clickb.wav", "clickbb.wav",
                             "clicke.wav", "hit.wav", "pocket.wav", "share/games/morvane",
                             "SDL_AUDIODRIVER=dummy morvane"}) {
    EXPECT_NE(usage.find(needed), std::string::npos) << needed;
  }
  // Fits a plain terminal.
  size_t lineStart = 0;
  for (size_t i = 0; i < usage.size(); ++i) {
    if (usage[i] != '\n') continue;
    EXPECT_LE(i - lineStart, 80u) << usage.substr(lineStart, i - lineStart);
    lineStart = i + 1;
  }
  EXPECT_EQ(lineStart, usage.size()) << "the usage ends with a newline";
}

}  // namespace
}  // namespace morvane
