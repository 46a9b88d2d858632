// The start-up decisions: what the command line asks for and where the data files are.
#include <gtest/gtest.h>

#include <set>

#include "launch/command_line.h"
#include "launch/data_directory.h"

namespace morvane {
namespace {

TEST(CommandLine, HelpAndVersionAnswerAndExitAnythingElseIsRefusedWithTheUsage) {
  const std::string usage = usageText(), version = versionText();
  EXPECT_TRUE(usage.starts_with("Usage: morvane ") && version.starts_with("morvane ") && version.ends_with("\n"));
  const struct { std::vector<std::string> args; bool play; int exitCode; std::string out, err; bool stats = false; } cases[] = {
      {{}, true, 0, "", ""}, {{"--help"}, false, 0, usage, ""}, {{"--stats"}, true, 0, "", "", true},
      {{"--stats", "--stats=1"}, false, 2, "", "morvane: unknown argument '--stats=1'\n"},
      {{"--version", "--help"}, false, 0, version, ""},  // the first answer wins
      {{"--help=yes"}, false, 2, "", "morvane: unknown argument '--help=yes'\n"},
      {{"--help", "a", "b"}, false, 2, "", "morvane: unknown argument 'a'\n"}, {{""}, false, 2, "", "morvane: unknown argument ''\n"},
      {{"\x1b[2Jx\x7f"}, false, 2, "", "morvane: unknown argument '\\x1b[2Jx\\x7f'\n"},  // shown, not sent
  };
  for (const auto& c : cases) {
    const LaunchDecision d = decideLaunch(c.args);
    EXPECT_EQ(std::tuple(d.play, d.exitCode, d.standardOutput, d.standardError, d.stats),
              std::tuple(c.play, c.exitCode, c.out, c.err.empty() ? "" : c.err + usage, c.stats)) << c.err;
  }
}

TEST(DataDirectory, ChoosesTheFirstPlaceThatHoldsTheWallTexture) {
  const std::string build = "/home/ana/morvane/build/release", source = "/home/ana/morvane/assets";
  const std::string assets = source + "/walltex.bmp";
  const struct { const char* what; std::string executable; std::set<std::string> files; std::optional<std::string> expected; } choices[] = {
      {"the current directory first", "/usr/games/morvane", {"walltex.bmp", "/usr/share/games/morvane/walltex.bmp"}, {}},
      {"installed, moved anywhere", "/opt/games/morvane", {"/opt/share/games/morvane/walltex.bmp"}, "/opt/share/games/morvane"},
      {"build tree", build + "/src/app/morvane", {assets}, "/home/ana/morvane/assets"},
      {"an installed copy never uses the source assets", "/usr/games/morvane", {assets}, {}},
      {"a sibling build tree is not this one", build + "2/src/app/morvane", {assets}, {}},
      {"a path through .. is judged by where it leads", build + "/../elsewhere/morvane", {assets}, {}},
      {"a relative executable path is not trusted", "games/morvane", {"share/games/morvane/walltex.bmp"}, {}},
  };
  for (const auto& c : choices) {
    std::vector<std::string> asked;
    const auto exists = [&](const std::string& path) { return asked.push_back(path), c.files.count(path) != 0; };
    EXPECT_EQ(chooseDataDirectory({c.executable, "../share/games/morvane", build + "/", source}, exists), c.expected) << c.what;
    EXPECT_EQ(asked.at(0), "walltex.bmp") << c.what;  // the bare name: the current directory
  }
  EXPECT_FALSE(isInsideDirectory("/b/h1", ""));  // no build tree known
}

}  // namespace
}  // namespace morvane
