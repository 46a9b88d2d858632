// What the player sees, as plain computation: the wall texture's decoding, the wall mesh, the
// projection, which balls may show through it, and the overlay's text.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "graphics/bmp_image.h"
#include "graphics/hud_lines.h"
#include "graphics/projection.h"
#include "graphics/quad_mesh.h"
#include "graphics/view_volume.h"
#include "text/cp1250.h"

namespace morvane {
namespace {

using Bytes = std::vector<uint8_t>;

void put(Bytes& bytes, size_t at, uint32_t value, int size = 4) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The 54-byte header, the palette (blue, green, red, reserved per entry; its entry count
// recorded), `gap` filler bytes, then the pixel bytes as given.
Bytes makeBmp(int32_t width, int32_t height, uint16_t bits, const Bytes& palette, const Bytes& pixels, uint32_t gap = 0) {
  Bytes bytes(54, 0);
  bytes[0] = 'B', bytes[1] = 'M';
  const auto offset = static_cast<uint32_t>(54 + palette.size() + gap);
  put(bytes, 10, offset);
  put(bytes, 14, 40), put(bytes, 18, uint32_t(width)), put(bytes, 22, uint32_t(height));
  put(bytes, 26, 1, 2), put(bytes, 28, bits, 2);  // planes, bits per pixel
  put(bytes, 46, uint32_t(palette.size() / 4));
  bytes.insert(bytes.end(), palette.begin(), palette.end());
  bytes.insert(bytes.end(), gap, 0xAB);
  bytes.insert(bytes.end(), pixels.begin(), pixels.end());
  return bytes;
}

// Palette: 0 black, 1 near-black (1, 1, 1), 2 blue 10 / green 20 / red 30, 3 white.
const Bytes fourColours = {0, 0, 0, 0, 1, 1, 1, 0, 10, 20, 30, 0, 255, 255, 255, 0};

TEST(BmpDecode, PixelsComeOutRgbaBottomRowFirstWithOnlyBlackTransparent) {
  // RGBA; black, and only black, is see-through.
  const Bytes expected8 = {0, 0, 0, 0, 1, 1, 1, 255, 30, 20, 10, 255, 255, 255, 255, 255,
                           255, 255, 255, 255, 30, 20, 10, 255, 1, 1, 1, 255, 0, 0, 0, 0};
  // 24 bits, width 3: 9 bytes a row plus 3 of padding, junk that must not show.
  const Bytes padded24 = {1, 2, 3, 0, 0, 0, 7, 8, 9, 0xEE, 0xEE, 0xEE, 11, 12, 13, 14, 15, 16, 1, 0, 0, 0xEE, 0xEE, 0xEE};
  const Bytes expected24 = {3, 2, 1, 255, 0, 0, 0, 0, 9, 8, 7, 255, 13, 12, 11, 255, 16, 15, 14, 255, 0, 0, 1, 255};
  Bytes v5 = makeBmp(4, 1, 8, fourColours, {2, 2, 2, 2});  // a 124-byte header moves the palette
  v5.insert(v5.begin() + 54, 84, 0);
  put(v5, 10, 54 + 84 + 16), put(v5, 14, 124);
  const struct { const char* what; Bytes file, expected; } cases[] = {
      {"8 bits", makeBmp(4, 2, 8, fourColours, {0, 1, 2, 3, 3, 2, 1, 0}), expected8},
      {"8 bits, top-down", makeBmp(4, -2, 8, fourColours, {3, 2, 1, 0, 0, 1, 2, 3}), expected8},
      {"24 bits, padded", makeBmp(3, 2, 24, {}, padded24), expected24},
      // Some writers leave out the last row's padding; the pixels are all there, so it reads.
      {"24 bits, last padding missing", makeBmp(3, 2, 24, {}, Bytes(padded24.begin(), padded24.end() - 3)), expected24},
      {"two-colour palette, gap before the pixels", makeBmp(4, 1, 8, {50, 60, 70, 0, 0, 0, 0, 0}, {0, 1, 0, 1}, 6),
       {70, 60, 50, 255, 0, 0, 0, 0, 70, 60, 50, 255, 0, 0, 0, 0}},
      {"version 5 header", v5, {30, 20, 10, 255, 30, 20, 10, 255, 30, 20, 10, 255, 30, 20, 10, 255}},
  };
  for (const auto& c : cases) {
    const BmpResult result = decodeBmp(c.file, "fal.bmp");
    EXPECT_EQ(std::pair(result.image.width * result.image.height * 4, result.image.pixels), std::pair(int(c.expected.size()), c.expected))
        << c.what << ": " << result.errorUtf8;
  }
}

using Spoil = std::function<void(Bytes&)>;
Spoil set(size_t at, uint32_t value, int size = 4) { return [=](Bytes& b) { put(b, at, value, size); }; }
Spoil sides(uint32_t width, uint32_t height) { return [=](Bytes& b) { put(b, 18, width), put(b, 22, height); }; }
Spoil cut(size_t size) { return [=](Bytes& b) { b.resize(size); }; }

TEST(BmpDecode, EveryBadOrMissingFileIsRefusedWithAMessageNamingTheFile) {
  const Bytes good24 = makeBmp(4, 2, 24, {}, Bytes(24, 7));
  const Bytes good8 = makeBmp(4, 2, 8, fourColours, {0, 1, 2, 3, 3, 2, 1, 0});
  const struct { const Bytes& good; Spoil spoil; const char* reasonPart; } cases[] = {
      {good24, cut(53), "csonka fejléc"}, {good24, set(0, 'X', 1), "BM"}, {good24, set(14, 12), "fejléctípus"},
      {good24, set(14, 4000), "csonka fejléc"}, {good24, cut(54 + 23), "csonka képadat"}, {good24, sides(-4u, 2), "képméret"},
      {good24, sides(4, 0x80000000u), "túl nagy"}, {good24, sides(2000, 2000), "túl nagy"},
      {good24, sides(2'500'000, 1), "csonka képadat"}, {good24, set(28, 32, 2), "színmélység"},
      {good8, set(30, 1), "tömörített"}, {good24, set(10, 1000), "kezdete"}, {good8, set(10, 60), "kezdete"},  // in the palette
      {good8, set(54 + 16 + 5, 4, 1), "színindex"}, {good8, set(46, 300), "palettaméret"},
      {good8, set(46, 0), "csonka paletta"},  // 0 recorded: 256 entries, running past the end
  };
  ASSERT_TRUE(decodeBmp(good24, "x").ok && decodeBmp(good8, "x").ok);
  for (size_t i = 0; i < std::size(cases); ++i) {
    Bytes bytes = cases[i].good;
    cases[i].spoil(bytes);
    const BmpResult result = decodeBmp(bytes, "kép/fal.bmp");
    EXPECT_EQ(result.errorUtf8.rfind("kép/fal.bmp: hibás vagy nem támogatott BMP-fájl (", 0), 0u) << i << result.errorUtf8;
    EXPECT_NE(result.errorUtf8.find(cases[i].reasonPart), std::string::npos) << i << ": " << result.errorUtf8;
  }
  EXPECT_EQ(readBmpFile("/nincs/fal.bmp").errorUtf8, "/nincs/fal.bmp nem található!");
}

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
