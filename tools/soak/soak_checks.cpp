#include "soak/soak_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ai/computer_turn.h"
#include "rules/referee.h"

namespace morvane::soak {
namespace {

std::string describe(Vec3 v) {
  char text[96];
  std::snprintf(text, sizeof text, "(%.9g, %.9g, %.9g)", static_cast<double>(v.x), static_cast<double>(v.y),
                static_cast<double>(v.z));
  return text;
}

bool finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool within(Vec3 p, float limit) {
  return std::fabs(p.x) <= limit && std::fabs(p.y) <= limit && std::fabs(p.z) <= limit;
}

int objectBallsOnTable(const World& world) {
  int count = 0;
  for (int s = 0; s < cueBallSlot; ++s) count += world.balls[s].active != 0 ? 1 : 0;
  return count;
}

// The one ball the rules put back outside a set-up: when a foul took the last coloured ball, a
// red at rest at the centre in slot 0, alone on the table.
bool redPutBack(const World& world, int slot) {
  const Ball& ball = world.balls[slot];
  return slot == 0 && ball.colour == colourRed && ball.position == Vec3{} && ball.velocity == Vec3{} &&
         objectBallsOnTable(world) == 1;
}

// The points of the scan the computer falls back on when random spots keep being refused (in
// steps of 10, or wider so that an axis has at most 201 points): true if any is legal.
bool anyScannedSpot(const World& world) {
  const float h = world.arenaHalfSize;
  const float step = std::max(placementScanStep, 2.0f * h / (maxPlacementScanPoints - 1));
  const int points = static_cast<int>(2.0f * h / step) + 1;
  for (int i = 0; i < points; ++i) {
    for (int j = 0; j < points; ++j) {
      for (int k = 0; k < points; ++k) {
        const Vec3 spot{-h + step * static_cast<float>(i), -h + step * static_cast<float>(j),
                        -h + step * static_cast<float>(k)};
        if (cueBallPlacementOk(world, spot)) return true;
      }
    }
  }
  return false;
}

}  // namespace

std::optional<std::string> checkBalls(const World& world) {
  const float limit = world.arenaHalfSize + escapeMargin;
  for (int s = 0; s < ballCount; ++s) {
    const Ball& ball = world.balls[s];
    if (ball.active == 0) continue;
    if (!finite(ball.position) || !finite(ball.velocity)) {
      return "ball " + std::to_string(s) + " is not finite: position " + describe(ball.position) + ", velocity " +
             describe(ball.velocity);
    }
    if (!within(ball.position, limit)) {
      return "ball " + std::to_string(s) + " escaped the arena: " + describe(ball.position);
    }
  }
  return std::nullopt;
}

std::optional<std::string> checkLayout(const Game& game) {
  const World& world = game.world;
  for (int s = 0; s < ballCount; ++s) {
    const Ball& ball = world.balls[s];
    if (ball.active != 0 && !within(ball.position, world.arenaHalfSize)) {
      return "ball " + std::to_string(s) + " was racked outside the walls: " + describe(ball.position);
    }
  }
  bool pocket = false;
  for (const Pocket& p : world.pockets) {
    pocket = pocket || (p.active != 0 && within(p.centre, world.arenaHalfSize));
  }
  if (!pocket) return std::string("a round was laid out without an active pocket within the walls");
  const Ball& cueSlot = world.balls[cueBallSlot];
  if (game.match.ballInHand == 0 || (cueSlot.active != 0 && cueSlot.colour == colourCueBall)) {
    return std::string("the cue ball is on the table after a set-up");
  }
  return std::nullopt;
}

void TickChecks::before(const Game& game) {
  for (int s = 0; s < ballCount; ++s) active_[s] = game.world.balls[s].active != 0 ? 1 : 0;
  ballInHand_ = game.match.ballInHand != 0;
}

std::optional<std::string> TickChecks::after(const Game& game, bool setUp) const {
  if (auto fault = checkBalls(game.world)) return fault;
  if (setUp) return checkLayout(game);
  const World& world = game.world;
  for (int s = 0; s < ballCount; ++s) {
    if (world.balls[s].active == 0 || active_[s] != 0) continue;
    const bool placed = s == cueBallSlot && world.balls[s].colour == colourCueBall && ballInHand_ &&
                        game.match.ballInHand == 0;
    if (placed || redPutBack(world, s)) continue;
    return "ball " + std::to_string(s) + " came onto the table outside a set-up: " +
           describe(world.balls[s].position);
  }
  return std::nullopt;
}

TurnCheck::TurnCheck() : world_(std::make_unique<World>()) {}
TurnCheck::~TurnCheck() = default;

void TurnCheck::before(const Game& game) {
  *world_ = game.world;
  match_ = game.match;
  hash_ = worldHash(game.world);
}

std::optional<std::string> TurnCheck::after(const Game& game) {
  const bool placing = match_.ballInHand != 0;
  // The world as the turn left it, with the cue ball's slot as it was before: the placement is
  // the one change the turn may make.
  World& seen = *world_;
  const Ball before = seen.balls[cueBallSlot];
  seen = game.world;
  if (placing) seen.balls[cueBallSlot] = before;
  if (worldHash(seen) != hash_) return std::string("the computer's search changed the world");

  MatchState expected = match_;
  expected.pocketStreak = game.match.pocketStreak;
  expected.computerShotPending = 1;
  expected.ballInHand = 0;
  if (!(game.match == expected)) return std::string("the computer's turn changed the match state");

  const Ball& cueBall = game.world.balls[cueBallSlot];
  if (placing) {
    World without = game.world;
    without.balls[cueBallSlot].active = 0;
    const bool legal = cueBallPlacementOk(without, cueBall.position);
    // The last resort of an arena too crowded for it: the centre, when the scan finds no spot.
    const bool lastResort = !legal && cueBall.position == Vec3{} && !anyScannedSpot(without);
    if (cueBall.active == 0 || cueBall.colour != colourCueBall || !(cueBall.velocity == Vec3{}) ||
        !(legal || lastResort)) {
      return "the computer put the cue ball down where it may not stand: " + describe(cueBall.position);
    }
  }
  const Vec3 d = game.cue.cueDirection;
  if (!finite(d) || !(length(d) > 0.0f)) return "the computer aimed along " + describe(d);
  const float strength = game.cue.shotStrength;
  if (!std::isfinite(strength) || strength < 0.0f || strength > 400.0f) {
    return "the computer chose the strength " + std::to_string(strength);
  }
  if (game.progress.progressVisible != 0) return std::string("the progress bar stayed on after the turn");
  return std::nullopt;
}

}  // namespace morvane::soak
