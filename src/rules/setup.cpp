#include "rules/setup.h"

#include <cmath>

#include "rules/scoring.h"

namespace morvane {
namespace {

// Layers are 2 x 20 x 0.7071 apart along x (about 28.284), so each ball rests on four of the
// next layer; every layer is shifted by -20 in y and z, the same for all, so layers still nest.
void rackDiamond(World& world, int32_t rackSize) {
  const int32_t n = rackSize / 2;
  int slot = 0;
  for (int32_t layer = 1; layer <= rackSize - 1; ++layer) {
    const int32_t edge = layer <= n ? layer : rackSize - layer;
    for (int32_t a = 0; a < edge; ++a) {
      for (int32_t b = 0; b < edge; ++b) {
        if (slot >= ballCount) return;  // the dialog never allows a rack this large
        const Vec3 position{static_cast<float>((layer - 2) * 2 * 20 * 0.7071),
                            static_cast<float>((a - edge * 0.5) * 2 * 20),
                            static_cast<float>((b - edge * 0.5) * 2 * 20)};
        BallColour colour = colourBlue;
        if (a >= 2 && a < edge - 2 && b >= 2 && b < edge - 2) {
          colour = colourRed;
        } else if (a >= 1 && a < edge - 1 && b >= 1 && b < edge - 1) {
          colour = colourGreen;
        }
        world.balls[slot++].init(position, Vec3{}, colour);
      }
    }
  }
}

void scatterBalls(World& world, int32_t rackSize, Random& random) {
  const float h = world.arenaHalfSize - ballRadius;
  const int64_t count = static_cast<int64_t>(rackSize) * 10;
  for (int64_t slot = 0; slot < count && slot < ballCount; ++slot) {
    Vec3 position;
    position.x = randomCoordinate(random, h);
    position.y = randomCoordinate(random, h);
    position.z = randomCoordinate(random, h);
    const BallColour colour = random.next() % 3;
    world.balls[slot].init(position, Vec3{}, colour);
  }
}

void placeGridPockets(World& world) {
  const float reach = world.arenaHalfSize - pocketHalfSize;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      for (int k = 0; k < 3; ++k) {
        if (i == 1 && j == 1 && k == 1) continue;  // slot 13 stays empty
        const Vec3 centre{static_cast<float>(i - 1) * reach, static_cast<float>(j - 1) * reach,
                          static_cast<float>(k - 1) * reach};
        // A pocket blocked by a racked ball simply stays inactive for the round.
        world.pockets[9 * i + 3 * j + k].place(centre, world.balls);
      }
    }
  }
}

bool withinWalls(Vec3 p, float h) {
  return std::fabs(p.x) <= h && std::fabs(p.y) <= h && std::fabs(p.z) <= h;
}

// A pocket the balls can reach: its centre within the walls. In an arena under 80 wide the
// chaotic pocket range lies partly beyond a wall, and one narrower than a ball (under 40) turns
// every ball at once from both walls: the balls barely move and such pockets are out of reach.
bool pocketInPlay(const Pocket& pocket, float h) {
  return pocket.active != 0 && withinWalls(pocket.centre, h);
}

// The last resort after every repeat of an unplayable layout: nothing here draws a number.
void makePlayable(World& world) {
  const float h = world.arenaHalfSize;
  for (Ball& ball : world.balls) {
    if (ball.active != 0 && !withinWalls(ball.position, h)) ball.active = 0;
  }
  for (const Pocket& pocket : world.pockets) {
    if (pocketInPlay(pocket, h)) return;
  }
  Pocket& pocket = world.pockets[0];
  pocket.centre = Vec3{};
  for (Ball& ball : world.balls) {
    if (ball.active != 0 && pocket.contains(ball.position)) ball.active = 0;
  }
  pocket.active = 1;
}

}  // namespace

void rackBalls(World& world, const MatchSettings& settings, Random& random) {
  if (settings.chaoticRack != 0) {
    scatterBalls(world, settings.rackSize, random);
  } else {
    rackDiamond(world, settings.rackSize);
  }
}

void placePockets(World& world, const MatchSettings& settings, Random& random) {
  if (settings.chaoticRack != 0) {
    placeChaoticPockets(world, random);
  } else {
    placeGridPockets(world);
  }
}

void resetMatchState(const World& world, MatchState& match, const MatchSettings& settings) {
  match.targetColour = lowestColourOnTable(world);
  match.scores = {0.0f, 0.0f};
  match.multipliers = {1.0f, 1.0f};
  match.turnStartScores = {0.0f, 0.0f};
  match.pocketStreak = 0;
  match.foulCommitted = 0;
  match.breakShotPending = settings.chaoticRack != 0 ? 0 : 1;
}

void layOutRound(World& world, const MatchSettings& settings, Random& random) {
  world.arenaHalfSize = settings.arenaHalfSize;
  rackBalls(world, settings, random);
  placePockets(world, settings, random);
}

bool layoutPlayable(const World& world) {
  for (const Ball& ball : world.balls) {
    if (ball.active != 0 && !withinWalls(ball.position, world.arenaHalfSize)) return false;
  }
  for (const Pocket& pocket : world.pockets) {
    if (pocketInPlay(pocket, world.arenaHalfSize)) return true;
  }
  return false;
}

int layOutPlayableRound(World& world, const MatchSettings& settings, Random& random, int maxRepeats) {
  layOutRound(world, settings, random);
  // Only a chaotic layout changes when laid out again; a diamond that does not fit is refused
  // by the dialog, and here goes straight to the last resort.
  const int limit = settings.chaoticRack != 0 ? maxRepeats : 0;
  int repeats = 0;
  for (; repeats < limit && !layoutPlayable(world); ++repeats) layOutRound(world, settings, random);
  if (!layoutPlayable(world)) makePlayable(world);
  return repeats;
}

void layOutRound(World& world, MatchState& match, const MatchSettings& settings, Random& random,
                MatchHooks& hooks) {
  layOutPlayableRound(world, settings, random);
  hooks.loadSounds();
  resetMatchState(world, match, settings);
  hooks.buildSphereMesh();
}

}  // namespace morvane
