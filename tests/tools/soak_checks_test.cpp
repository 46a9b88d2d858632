// The soak's checks must see the faults they are there for, and pass what the rules allow: a
// silent checker would let a long soak report nothing whatever the game did.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "game/computer_player.h"
#include "rules/setup.h"
#include "soak/soak_checks.h"

namespace morvane::soak {
namespace {

// A fresh diamond of 5 in the default arena, both players computer-controlled, cue ball in hand.
std::unique_ptr<Game> freshGame() {
  auto game = std::make_unique<Game>();
  MatchSettings settings = defaultMatchSettings();
  settings.player1Computer = settings.player2Computer = 1;
  startMatch(*game, settings, 0);
  return game;
}

bool mentions(const std::optional<std::string>& fault, const std::string& words) {
  return fault && fault->find(words) != std::string::npos;
}

TEST(SoakChecks, BallsThatAreNotFiniteOrHaveLeftTheArena) {
  auto game = freshGame();
  EXPECT_EQ(checkBalls(game->world), std::nullopt);
  const float inf = std::numeric_limits<float>::infinity();
  const float edge = 500.0f + escapeMargin;
  const struct { Vec3 position, velocity; const char* fault; } cases[] = {
      {{0, 0, NAN}, {}, "not finite"}, {{}, {-inf, 0, 0}, "not finite"}, {{0, edge * 1.001f, 0}, {}, "escaped"},
      {{0, 0, -edge}, {}, nullptr},    {{520, 0, 0}, {-100, 0, 0}, nullptr}};
  for (const auto& c : cases) {
    World world = game->world;
    world.balls[7].position = c.position;
    world.balls[7].velocity = c.velocity;
    const auto fault = checkBalls(world);
    EXPECT_TRUE(c.fault ? mentions(fault, c.fault) && mentions(fault, "ball 7") : !fault) << (fault ? *fault : "");
    world.balls[7].active = 0;  // an inactive slot is never looked at
    EXPECT_EQ(checkBalls(world), std::nullopt);
  }
}

TEST(SoakChecks, ALayoutWithABallOutsideNoPocketOrTheCueBallDown) {
  auto game = freshGame();
  EXPECT_EQ(checkLayout(*game), std::nullopt);
  Game outside = *game;
  outside.world.balls[3].position.y = 500.5f;
  EXPECT_TRUE(mentions(checkLayout(outside), "outside the walls"));
  outside.world.balls[3].position.y = -500.0f;  // on the wall plane: inside
  EXPECT_EQ(checkLayout(outside), std::nullopt);
  Game noPocket = *game;
  for (Pocket& pocket : noPocket.world.pockets) pocket.active = 0;
  EXPECT_TRUE(mentions(checkLayout(noPocket), "without an active pocket"));
  noPocket.world.pockets[4].active = 1;  // the only one, beyond a wall
  noPocket.world.pockets[4].centre = Vec3{0.0f, 0.0f, 520.0f};
  EXPECT_TRUE(mentions(checkLayout(noPocket), "without an active pocket"));
  noPocket.world.pockets[4].centre.z = 500.0f;
  EXPECT_EQ(checkLayout(noPocket), std::nullopt);
  Game cueDown = *game;
  computerPlacesCueBall(cueDown.world, cueDown.match, cueDown.random);
  EXPECT_TRUE(mentions(checkLayout(cueDown), "cue ball"));
}

TEST(SoakChecks, OnlyTheRulesPutBallsBack) {
  auto game = freshGame();
  TickChecks checks;
  checks.before(*game);
  Game placed = *game;  // the cue ball put down from the hand
  computerPlacesCueBall(placed.world, placed.match, placed.random);
  EXPECT_EQ(checks.after(placed, false), std::nullopt);
  Game revived = *game;
  revived.world.balls[200].init(Vec3{}, Vec3{}, colourBlue);
  EXPECT_TRUE(mentions(checks.after(revived, false), "ball 200 came onto the table"));
  EXPECT_EQ(checks.after(revived, true), std::nullopt);  // a set-up may rack any slot

  // The last coloured ball fell with a foul: a red goes back to the centre, alone.
  Game empty = *game;
  for (int s = 0; s < cueBallSlot; ++s) empty.world.balls[s].active = 0;
  checks.before(empty);
  Game redBack = empty;
  redBack.world.balls[0].init(Vec3{}, Vec3{}, colourRed);
  EXPECT_EQ(checks.after(redBack, false), std::nullopt);
  redBack.world.balls[0].position.x = 1.0f;
  EXPECT_TRUE(mentions(checks.after(redBack, false), "ball 0 came onto the table"));
  Game withBlue = empty;
  withBlue.world.balls[0].init(Vec3{}, Vec3{}, colourBlue);
  EXPECT_TRUE(mentions(checks.after(withBlue, false), "ball 0 came onto the table"));
}

struct NullReporter final : ProgressReporter {
  void report(const std::string&, float) override {}
};

TEST(SoakChecks, TheComputersTurnMayOnlyPlaceTheCueBallAndAim) {
  auto game = freshGame();
  TurnCheck check;
  Game turn = *game;
  check.before(turn);
  NullReporter progress;
  TrialWorkers workers(1);
  playComputerTurn(turn, progress, workers);
  EXPECT_EQ(check.after(turn), std::nullopt);

  Game moved = turn;  // as if a trial had left a ball where it rolled
  moved.world.balls[10].position.x += 0.5f;
  EXPECT_TRUE(mentions(check.after(moved), "changed the world"));
  Game scored = turn;
  scored.match.scores[0] = 1.0f;
  EXPECT_TRUE(mentions(check.after(scored), "changed the match state"));
  Game badAim = turn;
  badAim.cue.cueDirection = Vec3{};
  EXPECT_TRUE(mentions(check.after(badAim), "aimed"));
  Game onABall = turn;  // the placement itself is the one change allowed, if it is legal
  onABall.world.balls[cueBallSlot].position = onABall.world.balls[4].position;
  EXPECT_TRUE(mentions(check.after(onABall), "may not stand"));
  Game atTheCentre = turn;  // the last resort, while legal spots exist
  atTheCentre.world.balls[cueBallSlot].position = Vec3{};
  EXPECT_TRUE(mentions(check.after(atTheCentre), "may not stand"));

  // An arena with no legal spot at all: the centre, overlapping the ball there, is the rule.
  Game crowded = *game;
  crowded.world.arenaHalfSize = crowded.settings.arenaHalfSize = 20.0f;
  for (int s = 1; s < cueBallSlot; ++s) crowded.world.balls[s].active = 0;
  crowded.world.balls[0].init(Vec3{}, Vec3{}, colourBlue);
  check.before(crowded);
  playComputerTurn(crowded, progress, workers);
  EXPECT_EQ(crowded.world.balls[cueBallSlot].position, Vec3{});
  EXPECT_EQ(check.after(crowded), std::nullopt);
}

}  // namespace
}  // namespace morvane::soak
