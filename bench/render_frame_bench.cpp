// Frame time of the 3-D scene and the overlay with 86, 345 and 1000 balls, the balls drawn from
// a display list and, side by side, vertex by vertex in immediate mode. Needs an X display
// (run under xvfb-run); the picture goes to a hidden window of 1280 x 1024.
#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>

#include "game/game.h"
#include "render/gl_state.h"
#include "render/hud.h"
#include "render/scene.h"
#include "render/sphere_mesh.h"
#include "rules/setup.h"

using namespace morvane;

namespace {

struct GlContext {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  GlContext() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    window = SDL_CreateWindow("", 0, 0, 1280, 1024, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window != nullptr) context = SDL_GL_CreateContext(window);
    if (context != nullptr) setFixedGlState();
  }
};

GlContext& gl() {
  static GlContext instance;
  return instance;
}

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

void frame(benchmark::State& state, bool immediate) {
  if (gl().context == nullptr) {
    state.SkipWithError("no OpenGL context (run under xvfb-run)");
    return;
  }
  const Game game = makeGame(static_cast<int>(state.range(0)));
  SceneRenderer scene;
  scene.setSphereMesh(buildSphereMesh());
  scene.setImmediateBalls(immediate);
  for (auto _ : state) {
    scene.drawScene(game, 1280, 1024);
    drawHud(game, 1280, 1024);
    glFinish();  // the frame's cost includes the rasteriser's work, not just the submission
  }
}

void displayListBalls(benchmark::State& state) { frame(state, false); }
void immediateBalls(benchmark::State& state) { frame(state, true); }

}  // namespace

BENCHMARK(displayListBalls)->Arg(86)->Arg(345)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(immediateBalls)->Arg(86)->Arg(345)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
