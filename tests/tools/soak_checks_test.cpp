// The soak's checks must see the faults they are there for, and pass what the rules allow: a
// silent checker would let a long soak report nothing whatever the game did.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "ai/computer_turn.h"
#include "soak/soak_checks.h"

namespace morvane::soak {
namespace {

// Each row changes a game the check has seen before: a fresh diamond of 5 in the default arena
// (the cue ball in hand) for a tick or a set-up, or, for a computer's turn, that game after a
// turn as the rules allow it; it names the words of the fault to report, or nullptr.
TEST(SoakChecks, EachCheckReportsItsFaultAndPassesWhatTheRulesAllow) {
  enum Check { tick, setUp, turn };
  const struct { Check check; void (*change)(Game&); const char* fault; } rows[] = {
      {tick, [](Game& g) { g.world.balls[7].position.z = NAN; }, "ball 7 is not finite"},
      {tick, [](Game& g) { g.world.balls[7].velocity.x = -INFINITY; }, "ball 7 is not finite"},
      {tick, [](Game& g) { g.world.balls[7].position.y = (500.0f + escapeMargin) * 1.001f; }, "ball 7 escaped"},
      {tick, [](Game& g) { g.world.balls[200].init(Vec3{}, Vec3{}, colourBlue); }, "ball 200 came onto the table"},
      {tick, [](Game& g) { computerPlacesCueBall(g.world, g.match, g.random); }, nullptr},
      {setUp, [](Game& g) { g.world.balls[3].position.y = 500.5f; }, "outside the walls"},
      {setUp, [](Game& g) { computerPlacesCueBall(g.world, g.match, g.random); }, "the cue ball is on the table"},
      {setUp, [](Game& g) { for (Pocket& p : g.world.pockets) p.centre.z = 520.0f; }, "without an active pocket"},
      {turn, [](Game&) {}, nullptr},
      {turn, [](Game& g) { g.world.balls[10].position.x += 0.5f; }, "changed the world"},
      {turn, [](Game& g) { g.match.scores[0] = 1.0f; }, "changed the match state"},
      {turn, [](Game& g) { g.cue.cueDirection = Vec3{}; }, "aimed"},
      {turn, [](Game& g) { g.world.balls[cueBallSlot].position = g.world.balls[4].position; }, "may not stand"},
      {turn, [](Game& g) { g.world.balls[cueBallSlot].position = Vec3{}; }, "may not stand"},
      {turn, [](Game& g) { g.progress.progressVisible = 1; }, "progress bar"},
  };
  auto fresh = std::make_unique<Game>();
  startMatch(*fresh, defaultMatchSettings(), 0);
  auto turned = std::make_unique<Game>(*fresh);  // a turn as the rules allow: the cue ball placed, the shot armed
  computerPlacesCueBall(turned->world, turned->match, turned->random);
  turned->match.computerShotPending = 1;
  TickChecks ticks;
  ticks.before(*fresh);
  TurnCheck turns;
  for (const auto& row : rows) {
    auto game = std::make_unique<Game>(row.check == turn ? *turned : *fresh);
    row.change(*game);
    turns.before(*fresh);
    const auto fault = row.check == turn ? turns.after(*game) : ticks.after(*game, row.check == setUp);
    EXPECT_TRUE(row.fault ? fault && fault->find(row.fault) != std::string::npos : !fault) << fault.value_or("");
  }
}

}  // namespace
}  // namespace morvane::soak
