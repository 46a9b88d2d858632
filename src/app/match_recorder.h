#pragma once
// Writes the match as it is played: the header when it starts, every input the loop hands to
// the controls, every tick with the world's hash after it, and the end line when the window
// closes or the match ends (the tick that ends it is written from there, as the loop never
// finishes that pass).
#include <cstdint>
#include <vector>

#include "game/game.h"
#include "game/main_loop.h"
#include "platform/recording_file.h"
#include "replay/recording.h"

namespace morvane {

class MatchRecorder final : public PassObserver {
 public:
  MatchRecorder(const Game& game, RecordingFile& file) : game_(game), file_(file) {}

  // Before startMatch: the settings, the first player, the generator as the match gets it.
  void begin(const MatchSettings& settings, int32_t firstPlayer, uint32_t generatorState) {
    file_.append(recordingHeader(settings, firstPlayer, generatorState));
  }
  void dispatched(const InputEvent& event, int clientWidth, int clientHeight) override {
    file_.append(recordedEventLine(event, clientWidth, clientHeight));
  }
  void afterPass(uint32_t, bool ticked) override {
    if (ticked) tick();
  }
  // Inside the tick that ends the match: that tick, then the end.
  void matchEnded() {
    tick();
    finish();
  }
  // The end line; true when the whole recording reached the disk.
  bool finish() {
    if (!file_.isOpen()) return !file_.failed();
    file_.append(recordingEndLine(ticks_));
    return file_.close();
  }

 private:
  void tick() {
    file_.append(recordedTickLine(game_.tickTimer.startTicks, worldHash(game_.world)));
    ++ticks_;
  }

  const Game& game_;
  RecordingFile& file_;
  uint64_t ticks_ = 0;
};

// Tells each of its observers in turn.
class PassObservers final : public PassObserver {
 public:
  void add(PassObserver& observer) { observers_.push_back(&observer); }
  bool empty() const { return observers_.empty(); }
  void dispatched(const InputEvent& event, int clientWidth, int clientHeight) override {
    for (PassObserver* o : observers_) o->dispatched(event, clientWidth, clientHeight);
  }
  void afterPass(uint32_t nowMs, bool ticked) override {
    for (PassObserver* o : observers_) o->afterPass(nowMs, ticked);
  }

 private:
  std::vector<PassObserver*> observers_;
};

}  // namespace morvane
