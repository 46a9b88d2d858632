// Whole matches played through the real game with --record, replayed without a window: every
// tick's world must come out as it was recorded, in every build type. A recording stands for
// the whole game (input dispatch, the tick's order, the referee, the computer's search and its
// cue); re-record one only with a behaviour change stated in the commit.
#include <gtest/gtest.h>

#include <filesystem>

#include "replay/recording.h"
#include "replay/headless_replay.h"

namespace morvane {
namespace {

const std::string recordings = MORVANE_SOURCE_DIR "/tests/recordings/";

TEST(Recordings, EveryCommittedMatchReplaysToItsRecordedWorlds) {
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(recordings)) {
    const ParsedRecording parsed = readRecordingFile(entry.path().string());
    ASSERT_TRUE(parsed.recording) << parsed.error;
    const ReplayVerdict verdict = replayHeadless(*parsed.recording);
    EXPECT_TRUE(verdict.matches() && verdict.ticks == parsed.recording->ticks)
        << entry.path().filename() << ": " << verdict.summary(parsed.recording->ticks);
    ++replayed;
  }
  EXPECT_GE(replayed, 1);
}

TEST(Recordings, AWorldThatDiffersIsNamedAtItsFirstTick) {
  ParsedRecording parsed = readRecordingFile(recordings + "computer_champion_multiplier_to_match_end.mvr");
  ASSERT_TRUE(parsed.recording) << parsed.error;
  int tick = 0;
  for (RecordedStep& step : parsed.recording->steps) {
    if (step.isTick && ++tick >= 40) step.worldHash ^= 1;
  }
  EXPECT_EQ(replayHeadless(*parsed.recording).firstDifferentTick, 40u);
}

TEST(Recordings, ADamagedFileIsRefusedNamingItsLine) {
  const std::string good =
      "morvane-recording 1\nsettings 44fa0000 5 0 10 0 0 0 1 0 0 1\nnames 416e6e61 -\nstart 1 7\n"
      "key down 14\nmotion 5 -3 5 1280 1024\ntick 16 ff\nbutton up 0\ntick 31 ff\nend 2\n";
  ASSERT_TRUE(parseRecording(good).recording) << parseRecording(good).error;
  const auto replaced = [&](const std::string& what, const std::string& with) {
    std::string text = good;
    return text.replace(text.find(what), what.size(), with);
  };
  const std::pair<std::string, std::string> cases[] = {
      {good.substr(0, good.size() / 2), "line 4: cut off (the recording is truncated)"},
      {good.substr(0, good.size() - 6), "line 10: no end (the recording is truncated)"},
      {replaced("morvane", "morvaNe"), "not a Morvane recording"},
      {replaced("recording 1", "recording 2"), "line 1: made by a newer Morvane (format 2, this one reads 1)"},
      {replaced("settings 44fa0000 5", "settings 44fa0000 0"), "line 2: bad settings"},
      {replaced("416e6e61", "416e6e6"), "line 3: bad names"},
      {replaced("tick 31", "tick 15"), "line 9: a tick goes back in time"},
      {replaced("key down 14", "key down 23"), "line 5: not an input or a tick"},
      {replaced("1280 1024", "1280  1024"), "line 6: not an input or a tick"},
      {replaced("end 2", "end 3"), "line 10: the end does not match the ticks"},
      {good + "tick 40 ff\n", "line 11: more after the end"},
  };
  for (const auto& [text, error] : cases) EXPECT_EQ(parseRecording(text).error, error) << text;
}

}  // namespace
}  // namespace morvane
