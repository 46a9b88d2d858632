// Frame time of the 3-D scene and the overlay with 86, 345 and 1000 balls, drawn the game's way
// (walls and balls as meshes with shared corners) and, side by side, the earlier way (every quad
// corner sent on its own, compiled into display lists). Needs an X display (run under xvfb-run);
// the picture goes to a hidden window of 1280 x 1024, with the game's wall texture. Time is the
// frame's wall-clock time; CPU is the whole process's, the software rasteriser's threads
// included. The sharedCorners rows also count the pixels in which one frame drawn each way
// differs (0: the same picture).
#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/game.h"
#include "render/gl_state.h"
#include "render/hud.h"
#include "render/scene.h"
#include "graphics/sphere_mesh.h"
#include "render/texture.h"
#include "rules/setup.h"

using namespace morvane;

namespace {

constexpr int width = 1280;
constexpr int height = 1024;

struct GlContext {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  unsigned wallTexture = 0;
  GlContext() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    window = SDL_CreateWindow("", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window != nullptr) context = SDL_GL_CreateContext(window);
    if (context == nullptr) return;
    setFixedGlState();
    glGenTextures(1, &wallTexture);
    std::string error;
    if (!loadTexture(MORVANE_ASSETS_DIR "/walltex.bmp", wallTexture, GL_LINEAR, GL_REPEAT, error)) wallTexture = 0;
  }
};

GlContext& gl() {
  static GlContext instance;
  return instance;
}

// The earlier drawing of the walls and balls: each quad corner with its own normal, texture
// coordinate and vertex call, the walls and the unit ball compiled once into display lists.
class DisplayListScene {
 public:
  void draw(SceneRenderer& scene, const FrameSnapshot& frame, const SphereMesh& sphere, unsigned wallTexture) {
    scene.beginScene(frame);
    drawArena(frame.world.arenaHalfSize, wallTexture);
    drawAllBalls(frame.world, sphere);
    scene.drawLineObjects(frame);
  }

 private:
  static void drawWall(const Vec3 (&p)[4], float arenaHalfSize) {
    Vec3 normal = cross(p[1] - p[0], p[2] - p[0]);
    normal = normal / length(normal);
    const Vec3 u = p[1] - p[0];
    const Vec3 v = p[3] - p[0];
    const long double tile = static_cast<long double>(0.05f) * arenaHalfSize;
    const float nU = static_cast<float>(length(u) / tile);
    const float nV = static_cast<float>(length(v) / tile);
    glBegin(GL_QUADS);
    glNormal3f(normal.x, normal.y, normal.z);
    auto corner = [&](int a, int b) {
      const float fa = static_cast<float>(a) / nU;
      const float fb = static_cast<float>(b) / nV;
      glTexCoord2f(fa * 1.0f, fb * 1.0f);
      const Vec3 q = p[0] + u * fa + v * fb;
      glVertex3f(q.x, q.y, q.z);
    };
    for (int i = 0; static_cast<float>(i) < nU; ++i) {
      for (int j = 0; static_cast<float>(j) < nV; ++j) {
        corner(i, j);
        corner(i + 1, j);
        corner(i + 1, j + 1);
        corner(i, j + 1);
      }
    }
    glEnd();
  }

  void drawArena(float h, unsigned wallTexture) {
    textures_.bind(wallTexture);
    glColor3f(1.0f, 1.0f, 1.0f);
    if (arenaList_ == 0) {
      arenaList_ = glGenLists(1);
      const Vec3 walls[6][4] = {
          {{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h}},
          {{-h, h, h}, {h, h, h}, {h, -h, h}, {-h, -h, h}},
          {{h, -h, h}, {h, h, h}, {h, h, -h}, {h, -h, -h}},
          {{-h, -h, -h}, {-h, h, -h}, {-h, h, h}, {-h, -h, h}},
          {{-h, h, -h}, {h, h, -h}, {h, h, h}, {-h, h, h}},
          {{-h, -h, h}, {h, -h, h}, {h, -h, -h}, {-h, -h, -h}},
      };
      glNewList(arenaList_, GL_COMPILE);
      for (const auto& wall : walls) drawWall(wall, h);
      glEndList();
    }
    glCallList(arenaList_);
    textures_.bind(0);
  }

  void drawAllBalls(const World& world, const SphereMesh& mesh) {
    if (ballList_ == 0) {
      ballList_ = glGenLists(1);
      glNewList(ballList_, GL_COMPILE);
      glBegin(GL_QUADS);
      auto vertex = [&](int i, int j) {
        const Vec3& n = mesh[i][j];
        glNormal3f(n.x, n.y, n.z);
        glVertex3f(n.x * ballRadius + 0.0f, n.y * ballRadius + 0.0f, n.z * ballRadius + 0.0f);
      };
      for (int i = 0; i < sphereRings - 1; ++i) {
        for (int j = 0; j < sphereSegments - 1; ++j) {
          vertex(i, j + 1);
          vertex(i + 1, j + 1);
          vertex(i + 1, j);
          vertex(i, j);
        }
      }
      glEnd();
      glEndList();
    }
    for (const Ball& ball : world.balls) {
      if (ball.active == 0) continue;
      setBallColour(ball.colour);
      glPushMatrix();
      glTranslatef(ball.position.x, ball.position.y, ball.position.z);
      glCallList(ballList_);
      glPopMatrix();
    }
  }

  unsigned arenaList_ = 0;
  unsigned ballList_ = 0;
  TextureBinder textures_;
};

// The camera backed off along +z so that the whole rack is in view.
Game makeGame(int balls) {
  Game game;
  MatchSettings settings = defaultMatchSettings();
  if (balls == 1000) {
    settings.chaoticRack = 1;
    settings.rackSize = 100;
  } else {
    settings.rackSize = balls == 345 ? 16 : 10;
  }
  game.random = Random(7);
  startMatch(game, settings, 0);
  game.world.balls[cueBallSlot].init(Vec3{0, 0, 300}, Vec3{}, colourCueBall);
  game.match.ballInHand = 0;
  game.camera.eye = Vec3{0, 0, 450};
  return game;
}

std::vector<uint8_t> readPixels() {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

int64_t differentPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  int64_t count = 0;
  for (size_t i = 0; i < a.size(); i += 3) {
    if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ++count;
  }
  return count;
}

void frame(benchmark::State& state, bool sharedCorners) {
  if (gl().context == nullptr) {
    state.SkipWithError("no OpenGL context (run under xvfb-run)");
    return;
  }
  const Game game = makeGame(static_cast<int>(state.range(0)));
  const FrameSnapshot frame = takeFrameSnapshot(game, FrameSize{width, height, width, height}, 0);
  const SphereMesh sphere = buildSphereMesh();
  SceneRenderer scene;
  scene.setSphereMesh(sphere);
  scene.setWallTexture(gl().wallTexture);
  DisplayListScene earlier;
  auto draw = [&](bool shared) {
    if (shared) {
      scene.drawScene(frame);
    } else {
      earlier.draw(scene, frame, sphere, gl().wallTexture);
    }
    drawHud(frame);
    glFinish();  // the frame's cost includes the rasteriser's work, not just the submission
  };
  if (sharedCorners) {
    draw(false);
    const std::vector<uint8_t> before = readPixels();
    draw(true);
    state.counters["differentPixels"] = static_cast<double>(differentPixels(before, readPixels()));
  }
  for (auto _ : state) draw(sharedCorners);
}

void sharedCorners(benchmark::State& state) { frame(state, true); }
void displayLists(benchmark::State& state) { frame(state, false); }

}  // namespace

BENCHMARK(sharedCorners)->Arg(86)->Arg(345)->Arg(1000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(displayLists)->Arg(86)->Arg(345)->Arg(1000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
