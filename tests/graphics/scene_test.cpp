// What the player sees, as plain computation: the wall and ball meshes, the projection, which
// balls may show through it, and the overlay's text.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/hud_lines.h"
#include "graphics/projection.h"
#include "graphics/quad_mesh.h"
#include "graphics/view_volume.h"
#include "text/cp1250.h"

namespace morvane {
namespace {

Vec3 at(const std::vector<float>& v, size_t k) { return Vec3{v[3 * k], v[3 * k + 1], v[3 * k + 2]}; }

TEST(QuadMesh, EachWallIs40By40SharedCornerTilesFacingInWithTheTextureOnce) {
  for (float h : {500.0f, 137.5f, 4999.9f}) {
    const QuadMesh mesh = buildArenaMesh(h);
    // Each corner stored once, shared by the tiles that meet there.
    ASSERT_EQ(std::tuple(mesh.cornerCount(), mesh.indices.size(), mesh.texCoords.size()),
              std::tuple(6u * 41 * 41, 6u * 40 * 40 * 4, 2u * 6 * 41 * 41));
    for (size_t q = 0; q < mesh.indices.size() / 4; ++q) {
      const uint16_t* k = &mesh.indices[4 * q];
      const Vec3 a = at(mesh.positions, k[0]), b = at(mesh.positions, k[1]), c = at(mesh.positions, k[2]);
      const Vec3 d = at(mesh.positions, k[3]), n = at(mesh.normals, k[0]);
      // A square tile, counter-clockwise seen from the side the normal points to, which is inside.
      ASSERT_TRUE(std::abs(length(b - a) - h / 20) < h * 1e-5f && std::abs(length(d - a) - h / 20) < h * 1e-5f &&
                  length(c - (b + d - a)) < h * 1e-5f && dot(cross(b - a, c - a), n) > 0 && dot(n, Vec3{} - a) > 0 &&
                  n == at(mesh.normals, k[2])) << h << ", quad " << q;
    }
    // Each wall's texture: (0, 0) at its first corner, a corner of the cube; (1, 1) at its last.
    for (size_t first = 0, last = 41 * 41 - 1; first < 6 * 41 * 41; first += 41 * 41, last += 41 * 41) {
      EXPECT_EQ(std::tuple(length(at(mesh.positions, first)), mesh.texCoords[2 * first], mesh.texCoords[2 * first + 1],
                           mesh.texCoords[2 * last], mesh.texCoords[2 * last + 1]),
                std::tuple(length(Vec3{h, h, h}), 0.0f, 0.0f, 1.0f, 1.0f));
    }
  }
}

TEST(Projection, SixtyDegreesHighRoundBallsOnAnyDrawableAndTheOldViewAtFourToThree) {
  // The old view asked GLU for aspect 1.3333333333333333 on every screen: a 4:3 drawable, and one
  // without a usable size, gives that very matrix.
  const Matrix4 old = perspectiveMatrix(60.0, 1.3333333333333333, 1.0, 1000000.0);
  EXPECT_NEAR(old[14] * 999999.0, -2000000.0, 1e-9);  // near 1, far 1,000,000
  for (const auto& [w, h] : {std::pair{1024, 768}, {0, 0}, {1920, 0}, {0, 1080}}) EXPECT_EQ(sceneProjection(w, h), old) << w;
  // 60 degrees high whatever the width (cot 30 degrees), and a unit of x and of y at the same
  // depth cover the same number of pixels.
  for (const auto& [w, h] : {std::pair{1920, 1080}, {1080, 1920}}) {
    const Matrix4 m = sceneProjection(w, h);
    EXPECT_TRUE(std::abs(m[5] - std::sqrt(3.0)) < 1e-15 && std::abs(m[0] * w - m[5] * h) < 1e-9 * w) << w;
  }
}

TEST(ViewVolume, HidesOnlyBallsWhollyOutsideTheViewWithAnyCameraFrame) {
  constexpr float radius = 20.0f;
  const float t = static_cast<float>(500 * std::tan(30.0 * 3.14159265358979323846 / 180));  // half height at 500
  const float r = radius / std::cos(0.5236f);  // a radius measured across the top edge
  Camera start;  // at the origin looking along -z, 60 degrees high, aspect 1.25
  Camera turned{.eye = {100, 50, 0}, .forward = {3, 0, 0}, .up = {0, 0, 0.5f}};  // along +x, +z up, any lengths
  const struct { Camera camera; Vec3 centre; bool mayShow; } cases[] = {
      {start, {0, 0, -500}, true},           {start, {0, 0, 30}, false},  // behind the eye
      {start, {0, 0, 15}, true},              // straddles the eye
      {start, {0, t + r, -500}, true},        {start, {0, t + 2 * r, -500}, false},  // over the top edge
      {start, {-1.25f * t + radius, 0, -500}, true}, {start, {-1.25f * t - 3 * radius, 0, -500}, false},
      {turned, {600, 50, t + r}, true},       {turned, {600, 50, t + 2 * r}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(sphereMayShow(viewVolume(c.camera, 60.0, 1.25, 1.0), c.centre, radius), c.mayShow) << c.centre.x << "," << c.centre.z;
  const Camera lost{.up = {0, 0, 5}};  // a frame that gluLookAt cannot make sense of hides nothing
  EXPECT_TRUE(sphereMayShow(viewVolume(lost, 60.0, 1.25, 1.0), Vec3{0, 0, 900}, radius));
}

std::string texts(const Game& game) {
  std::string all;
  for (const HudText& line : hudStatusLines(game, 1280, 1024)) all += cp1250ToUtf8(line.bytes) + "|";
  return all;
}

TEST(HudStatusLines, SayTheStrengthRoundsPointsScoresTargetAndWhatTheNextBallWins) {
  Game game;
  game.settings = defaultMatchSettings();
  for (int slot : {0, 1, 2}) game.world.balls[slot].init(Vec3{slot * 50.0f, 0, 0}, Vec3{}, slot < 2 ? colourBlue : colourRed);
  game.match.targetColour = colourBlue;
  game.match.ballInHand = 0;
  game.match.roundsWon = {1, 2};
  game.cue.shotStrength = 149.6f;
  EXPECT_EQ(texts(game), "Erősség: 150|[1 (5) 2]|7 pont maradt|<Játékos1>: 0|<Játékos2>: 0|KÉK|");
  game.world.balls[0].active = game.world.balls[1].active = 0;  // 10 with one red (5) left passes the winning 7
  game.match.targetColour = colourRed;
  game.match.scores = {0.0f, 10.0f};
  game.match.currentPlayer = 1;
  EXPECT_EQ(texts(game), "Erősség: 150|[1 (5) 2]|5 pont maradt|KÖVETKEZŐRE NYERED A MECCSET!|<Játékos1>: 0|<Játékos2>: 10|PIROS|");
  game.match.roundsWon = {2, 0};
  EXPECT_EQ(texts(game), "Erősség: 150|[2 (5) 0]|5 pont maradt|Következőre nyersz!|<Játékos1>: 0|<Játékos2>: 10|PIROS|");
  const auto lines = hudStatusLines(game, 1280, 1024);  // the mover's line yellow, the other grey
  EXPECT_EQ(std::tuple(lines[4].b, lines[5].r, lines[5].g, lines[5].b), std::tuple(.3f, 1.0f, 1.0f, 0.0f));
  // With multipliers the point lines give way to each player's multiplier.
  game.settings.multiplierEnabled = 1;
  game.match.multipliers = {1.0f, 1.5f};
  game.match.scores = {12.6f, 40.0f};
  EXPECT_EQ(texts(game), "Erősség: 150|[2 (5) 0]|<Játékos1>: 13 [1X]|<Játékos2>: 40 [1.5X]|PIROS|");
  // After a foul the ball in hand is announced once every ball is still; the cue ball needs no word.
  game.match.foulCommitted = game.match.ballInHand = 1;
  game.match.targetColour = colourCueBall;
  game.settings.multiplierEnabled = 0;
  game.world.balls[2].velocity = Vec3{5.0f, 0, 0};
  EXPECT_EQ(texts(game), "Erősség: 150|[2 (5) 0]|5 pont maradt|Következőre nyersz!|<Játékos1>: 13|<Játékos2>: 40|HIBÁZOTT!|");
  game.world.balls[2].velocity = Vec3{};
  EXPECT_EQ(texts(game).substr(texts(game).find("HIBÁZOTT!")), "HIBÁZOTT!|Golyó a \"kézben\", állj arra a helyre, ahobá ki "
                                                                  "szeretnéd tenni, majd kattints az egérrel.|");
}

TEST(HudStatusLines, TheHelpScreenAndTheProgressBar) {
  const auto& help = helpScreenLines();  // top to bottom, every letter with a glyph
  ASSERT_EQ(help.size(), 28u);
  EXPECT_EQ(cp1250ToUtf8(help[0].bytes), "Morvane v1.2 menetközbeni súgó");
  for (size_t i = 1; i < help.size(); ++i) EXPECT_TRUE(help[i].y > help[i - 1].y && help[i].bytes.find('?') == std::string::npos) << i;
  Game game;
  game.progress.progressCaption = "100% %d";  // shown as stored, never a format
  game.progress.progressFraction = 0.25f;
  EXPECT_FALSE(progressBarShape(game, 1280, 1024).has_value());  // only while a search runs
  game.progress.progressVisible = 1;
  const auto bar = progressBarShape(game, 1279, 1024);  // 100 pixels wide, centred, a quarter filled
  EXPECT_EQ(std::tuple(bar->left, bar->fillRight, bar->outlineRight, bar->caption.bytes), std::tuple(589.0f, 614.0f, 689.0f, "100% %d"));
}

}  // namespace
}  // namespace morvane
