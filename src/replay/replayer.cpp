#include "replay/replayer.h"


namespace morvane {
namespace {

// What an input needs of the platform: the window size it was measured against.
class RecordedClient final : public LoopPlatform {
 public:
  RecordedClient(int width, int height) : width_(width), height_(height) {}
  uint32_t nowMs() override { return 0; }
  bool pollEvent(InputEvent&) override { return false; }
  void waitForEventOrNextStep() override {}
  void warpCursorToCentre() override {}  // the warp's own motion was recorded as it came
  int clientWidth() const override { return width_; }
  int clientHeight() const override { return height_; }

 private:
  int width_, height_;
};


}  // namespace

std::string ReplayVerdict::summary(uint64_t recordedTicks) const {
  if (firstDifferentTick) {
    return "replay: the world differs from the recording from tick " + std::to_string(*firstDifferentTick) +
           " of " + std::to_string(recordedTicks) + " on";
  }
  return "replay: the world matches the recording (" + std::to_string(ticks) + " of " +
         std::to_string(recordedTicks) + " ticks)";
}

Replayer::Replayer(const Recording& recording, Game& game)
    : recording_(recording), game_(game), inner_(*game.hooks) {
  game_.hooks = this;
}

void Replayer::startMatch() {
  game_.random = Random(recording_.generatorState);
  morvane::startMatch(game_, recording_.settings, recording_.firstPlayer);
}

std::optional<uint32_t> Replayer::nextTickMs() const {
  if (done() || !recording_.steps[next_].isTick) return std::nullopt;
  return recording_.steps[next_].nowMs;
}

void Replayer::step() {
  const RecordedStep& s = recording_.steps[next_++];
  if (!s.isTick) {
    RecordedClient client(s.clientWidth, s.clientHeight);
    dispatchEvent(game_, s.event, client);
    return;
  }
  // A tick the counter does not make due (too soon after the one before) did not run when
  // it was recorded either: the recording contradicts the game, and the world check says so.
  const uint64_t ticksBefore = verdict_.ticks;
  gameTick(game_, s.nowMs);
  if (verdict_.ticks == ticksBefore) checkTick(worldHash(game_.world));
}

// The recording's last tick is the one that ended the match; the hash was taken here, before
// the live game left the tick for its message box.
void Replayer::endMatch(int winner, const std::string& messageCp1250) {
  checkTick(worldHash(game_.world));
  next_ = recording_.steps.size();
  inner_.endMatch(winner, messageCp1250);
}

void Replayer::checkTick(uint64_t worldHashAfter) {
  const RecordedStep& s = recording_.steps[next_ - 1];
  ++verdict_.ticks;
  if (!verdict_.firstDifferentTick && worldHashAfter != s.worldHash) verdict_.firstDifferentTick = verdict_.ticks;
}

}  // namespace morvane
