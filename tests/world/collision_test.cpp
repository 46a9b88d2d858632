// Both collision passes, the engine and the all-pairs reference, case by case.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "reference/world_passes.h"
#include "support/recording_sink.h"
#include "world/collision_engine.h"

namespace morvane {
namespace {

// The contact test compares the sum of squares with a limit instead of taking its root: every
// float sum around 40 squared must be judged as length() judges it.
TEST(ContactTest, TheSquaredLimitJudgesEverySumAsTheRootWould) {
  for (float s = 1500.0f; s < 1700.0f; s = std::nextafter(s, 2000.0f)) {
    ASSERT_EQ(static_cast<float>(std::sqrt(static_cast<double>(s))) < contactDistance, s < contactSquareLimit) << s;
  }
}

using CollisionPass = void (*)(World&, FirstTouch, SoundSink&);
void engineCollisions(World& world, FirstTouch touch, SoundSink& sounds) {
  CollisionEngine engine;
  collideBalls(world, engine, touch, sounds);
}
const std::pair<const char*, CollisionPass> bothPasses[] = {{"engine", &engineCollisions},
                                                             {"all pairs", &collideBallsAllPairs}};

struct Placed { int slot; Vec3 position, velocity; BallColour colour; bool active = true; };

struct Case {
  std::string name;
  std::vector<Placed> balls;
  std::vector<Vec3> velocitiesAfter;  // one per placed ball
  int32_t touched, foul;              // the first-touch flags after the pass
  std::vector<SoundId> sounds;
  float tolerance = 0.0f;  // on x, the line of centres; other components are exact
  BallColour target = colourBlue;
  int32_t touchedBefore = 0, foulBefore = 0;
};

constexpr int cue = cueBallSlot;
constexpr BallColour blue = colourBlue, green = colourGreen, red = colourRed, white = colourCueBall;
const Vec3 still{}, fast{1000.0f, 0.0f, 0.0f}, back{-1000.0f, 0.0f, 0.0f};
const std::vector<SoundId> soft{SoundId::softClick}, hard{SoundId::hardClick};

std::vector<Case> collisionCases() {
  const Placed cueAt40{cue, {40, 0, 0}, still, white}, cueNear40{cue, {39.99f, 0, 0}, still, white};
  std::vector<Case> cases = {
      {"dead centre, an inactive cue ball between them taking no part",
       {{0, {}, fast, blue}, {1, {32, 0, 0}, still, green}, {cue, {16, 10, 0}, still, white, false}},
       {still, fast, still}, 0, 0, soft},
      {"glancing", {{0, {}, {1000, 500, -250}, blue}, {1, {32, 0, 0}, {0, -300, 0}, blue}},
       {{0, 500, -250}, {1000, -300, 0}}, 0, 0, soft, 0.05f},
      {"exactly 40 apart", {{0, {}, fast, blue}, cueAt40}, {fast, still}, 0, 0, {}},
      {"39.99 apart", {{0, {}, fast, blue}, cueNear40}, {still, fast}, 1, 0, soft, 0.01f},
      {"same position", {{2, {5, 6, 7}, {1000, -200, 0}, red}, {cue, {5, 6, 7}, {-300, 0, 50}, white}},
       {{1000, -200, 0}, {-300, 0, 50}}, 1, 1, {}},
      {"lower slot green decides",
       {{3, {30, 0, 0}, still, green}, {7, {-30, 0, 0}, still, blue}, {cue, {}, {0, 0, 500}, white}},
       {still, still, {0, 0, 500}}, 1, 1, {}},
      {"moving apart", {{4, {30, 0, 0}, {200, 0, 0}, green}, {cue, {}, back, white}}, {{200, 0, 0}, back},
       1, 0, {}, 0.0f, green},
      {"resting contact", {{0, {0, 39, 0}, still, red}, {cue, {}, still, white}}, {still, still}, 1, 1, {}},
      {"touched earlier in the shot", {{0, {32, 0, 0}, still, red}, {cue, {}, fast, white}},
       {fast, still}, 1, 0, soft, 0.0f, blue, 1, 0},
      {"an earlier foul stays", {{0, {32, 0, 0}, still, blue}, {cue, {}, fast, white}}, {fast, still},
       1, 1, soft, 0.0f, blue, 0, 1},
      {"later pairs see earlier exchanges",
       {{0, {}, fast, blue}, {1, {32, 0, 0}, still, blue}, {2, {64, 0, 0}, still, blue}},
       {still, still, fast}, 0, 0, {SoundId::softClick, SoundId::softClick}},
  };
  // Head-on against a resting ball the impact speed is the closing speed; even a silent hit exchanges.
  for (const auto& [speed, sounds] : {std::pair{50.0f, std::vector<SoundId>{}}, {50.0625f, soft}, {1000.5f, hard}}) {
    cases.push_back({"head-on at " + std::to_string(speed),
                     {{0, {}, {speed, 0, 0}, blue}, {1, {32, 0, 0}, still, blue}}, {still, {speed, 0, 0}},
                     0, 0, sounds});
  }
  return cases;
}

TEST(BallCollision, EveryCaseThroughBothPasses) {
  for (const Case& c : collisionCases()) {
    for (const auto& [passName, pass] : bothPasses) {
      SCOPED_TRACE(c.name + " / " + passName);
      World world;
      world.arenaHalfSize = 500.0f;
      for (const Placed& b : c.balls) {
        world.balls[b.slot].init(b.position, b.velocity, b.colour);
        world.balls[b.slot].active = b.active ? 1 : 0;
      }
      int32_t touched = c.touchedBefore, foul = c.foulBefore;
      RecordingSink sink;
      pass(world, FirstTouch{touched, foul, c.target}, sink);
      for (size_t k = 0; k < c.balls.size(); ++k) {
        const Ball& ball = world.balls[c.balls[k].slot];
        const Vec3 want = c.velocitiesAfter[k];
        EXPECT_EQ(ball.position, c.balls[k].position);  // never moved, not even to separate
        EXPECT_NEAR(ball.velocity.x, want.x, c.tolerance) << "slot " << c.balls[k].slot;
        EXPECT_EQ(std::pair(ball.velocity.y, ball.velocity.z), std::pair(want.y, want.z)) << "slot " << c.balls[k].slot;
      }
      EXPECT_EQ(std::pair(touched, foul), std::pair(c.touched, c.foul));
      EXPECT_EQ(sink.played, c.sounds);
    }
  }
}

}  // namespace
}  // namespace morvane
