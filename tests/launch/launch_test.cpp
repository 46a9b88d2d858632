// The start-up decisions: what the command line asks for and where the data files are.
#include <gtest/gtest.h>

#include <set>

#include "launch/command_line.h"
#include "launch/data_directory.h"

namespace morvane {
namespace {

TEST(CommandLine, HelpAndVersionAnswerAndExitAnythingElseIsRefused) {
  const std::string usage = usageText(), version = versionText(), more = "\nTry 'morvane --help' for more information.\n";
  EXPECT_TRUE(usage.starts_with("Usage: morvane ") && version.starts_with("morvane ") && version.ends_with("\n"));
  const struct { std::vector<std::string> args; bool play; int exitCode; std::string out, err; } cases[] = {
      {{}, true, 0, "", ""}, {{"--help"}, false, 0, usage, ""}, {{"--stats", "--no-dialog"}, true, 0, "", ""},
      {{"--version", "--help"}, false, 0, version, ""},  // the first answer wins
      {{"--stats=1"}, false, 2, "", "option '--stats' takes no value"},
      {{"--help", "a"}, false, 2, "", "unknown argument 'a'"}, {{""}, false, 2, "", "unknown argument ''"},
      {{"--"}, false, 2, "", "unknown argument '--'"}, {{"--no-stats"}, false, 2, "", "unknown argument '--no-stats'"},
      {{"--rack"}, false, 2, "", "option '--rack' needs a value"},
      {{"--rack", "x8"}, false, 2, "", "option '--rack': 'x8' is not a whole number from 0 to 2147483647"},
      {{"--rounds=-1"}, false, 2, "", "option '--rounds': '-1' is not a whole number from 0 to 2147483647"},
      {{"--arena", "2147483648"}, false, 2, "", "option '--arena': '2147483648' is not a whole number from 0 to 2147483647"},
      {{"--level", "5"}, false, 2, "", "option '--level': '5' is not a level (0-4 or a level's name)"},
      {{"--record=a", "--replay", "b"}, false, 2, "", "options '--record' and '--replay' do not go together"},
      {{"--record="}, false, 2, "", "option '--record' needs a file name"},
      {{"--\x1b[2J\x7f=\x1b"}, false, 2, "", "unknown argument '--\\x1b[2J\\x7f=\\x1b'"},  // shown, not sent
  };
  for (const auto& c : cases) {
    const LaunchDecision d = decideLaunch(c.args);
    EXPECT_EQ(std::tuple(d.play, d.exitCode, d.standardOutput, d.standardError),
              std::tuple(c.play, c.exitCode, c.out, c.err.empty() ? "" : "morvane: " + c.err + more)) << c.err;
  }
}

TEST(CommandLine, OptionsFillTheDialogAndComeBackForTheRematch) {
  const std::vector<std::string> args = {"--player1", "Éva", "--player2=--x", "--computer1", "--computer2", "--no-computer2",
      "--level", "the EXPERT", "--arena=2000", "--rack", "99", "--chaotic", "--rounds", "0", "--multiplier",
      "--winner-starts", "--no-random-start", "--no-dialog", "--stats", "--level=1"};
  const LaunchDecision d = decideLaunch(args);
  DialogInput expected = defaultDialogInput();
  expected.player1Name = "Éva", expected.player2Name = "--x", expected.arenaSize = "2000", expected.rack = "99";
  expected.rounds = "0", expected.player1Computer = expected.chaoticRack = expected.multiplierEnabled = true;
  expected.winnerStartsNextRound = true, expected.randomStart = false, expected.difficulty = 1;  // the later --level
  EXPECT_TRUE(d.play && d.noDialog && d.stats && d.dialog == expected);
  std::vector<std::string> rematch = args;
  std::erase(rematch, "--no-dialog");
  rematch[2] = "--player2", rematch.insert(rematch.begin() + 3, "--x"), rematch[9] = "--arena", rematch.insert(rematch.begin() + 10, "2000");
  rematch.back() = "--level", rematch.push_back("1");
  EXPECT_EQ(d.rematchArguments, rematch);
  EXPECT_EQ(decideLaunch({"--level", "Trainee", "--level", "THE CHAMPION"}).dialog.difficulty, 4);
  // The rematch starts in the data directory: its recording is named from where the first was.
  EXPECT_EQ(decideLaunch({"--record", "m.rec"}, "/home/ana/").rematchArguments, (std::vector<std::string>{"--record", "/home/ana/m.rec.2"}));
  const std::pair<std::string, std::string> names[] = {{"/a/m.rec.2", "/a/m.rec.3"}, {"/a/m.9", "/a/m.10"}, {"/a/m.02", "/a/m.02.2"},
      {"/a.5/m", "/a.5/m.2"}, {"m.2147483647", "m.2147483647.2"}, {".3", ".4"}};
  for (const auto& [path, next] : names) EXPECT_EQ(nextRecordingPath(path), next);
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
