// Morvane: start-up in a fixed order, then the main loop until the window is closed.
#include <SDL.h>
#include <malloc.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "app/live_match_hooks.h"
#include "game/game.h"
#include "launch/command_line.h"
#include "platform/audio_device.h"
#include "platform/game_window.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "app/frame_drawers.h"
#include "app/stats_line.h"
#include "render/scene.h"
#include "dialog/settings_dialog.h"
#include "sound/mixer.h"
#include "sound/mixer_sink.h"

using namespace morvane;

namespace {

[[noreturn]] void failStartUp(const std::string& what) {
  std::fprintf(stderr, "morvane: %s\n", what.c_str());
  showMessageBox(what, "Morvane", MessageIcon::stop);
  SDL_Quit();
  std::exit(EXIT_FAILURE);
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before anything opens a display, a window or a sound device.
  // (argc may be 0 when started through exec with an empty argument list.)
  const std::vector<std::string> arguments = argc > 1 ? std::vector<std::string>(argv + 1, argv + argc)
                                                      : std::vector<std::string>{};
  const LaunchDecision launch = decideLaunch(arguments);
  if (!launch.play) {
    std::fputs(launch.standardError.c_str(), stderr);
    // The help asked for but not written (a full disk, a closed pipe) is a failure.
    if (std::fputs(launch.standardOutput.c_str(), stdout) < 0 || std::fflush(stdout) != 0) return EXIT_FAILURE;
    return launch.exitCode;
  }
  auto game = std::make_unique<Game>();
  game->random = Random(static_cast<uint32_t>(std::time(nullptr)));
  MatchSettings settings;
  int32_t firstPlayer = 0;
  // Without the dialog, its OK processing judges the options, still before anything opens.
  if (launch.noDialog) {
    const OkOutcome ok = processOk(launch.dialog, game->random);
    if (!ok.accepted()) {
      std::fprintf(stderr, "morvane: %s\n", ok.refusal->messageUtf8.c_str());
      return 2;
    }
    settings = ok.settings;
    firstPlayer = ok.currentPlayer;
  }
  // The software rasteriser allocates and frees a frame-sized buffer at every swap. On the
  // render thread that memory comes from a thread arena, which handed it back to the kernel at
  // every free, so each frame faulted it in afresh and drawing cost twice the CPU. Freed memory
  // up to this much stays with the process instead.
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
  // Every file is opened by its bare name from here on, including by the restarted copy.
  enterDataDirectory();

  if (!launch.noDialog) {
    switch (runSettingsDialog(game->random, launch.dialog, settings, firstPlayer)) {
      case DialogExit::quit: return EXIT_SUCCESS;
      case DialogExit::noDisplay: return EXIT_FAILURE;
      case DialogExit::ok: break;
    }
  }

  TickCounter clock;
  Mixer mixer;
  SdlAudioOutput audio(mixer);
  SoundBank soundBank(mixer, audio);
  MixerSink sink(mixer, [&clock] { return clock.nowMs(); });
  GameWindow window(clock);
  SceneRenderer scene;
  WindowSnapshotDrawer windowDrawer(window, scene);
  // Declared after the window, so that it is stopped before the window and its context go.
  RenderThread render(windowDrawer);
  SnapshotFrameDrawer drawer(render, window);
  // The computer's trials run on these beside the main thread; they sleep between its turns.
  TrialWorkers trialWorkers(defaultTrialWorkerCount());
  LiveMatchHooks hooks(*game, soundBank, clock, window, render, drawer, trialWorkers, launch.rematchArguments);
  game->sounds = &sink;
  game->hooks = &hooks;

  startMatch(*game, settings, firstPlayer);

  std::string error;
  if (!window.create(error)) failStartUp("Nem sikerült megnyitni a játék ablakát: " + error);
  // The render thread takes the context and loads the wall texture; a failure ends the game
  // before the first frame, as a failed load always did.
  if (!render.start(error)) {
    std::fprintf(stderr, "morvane: %s\n", error.c_str());
    window.releaseForMatchEnd();
    showMessageBox(error, "", MessageIcon::none);
    SDL_Quit();
    return EXIT_FAILURE;
  }
  SDL_ShowCursor(SDL_DISABLE);

  StatsLine stats(render);
  runMainLoop(*game, window, drawer, launch.stats ? &stats : nullptr);
  render.stop();
  SDL_Quit();
  return EXIT_SUCCESS;
}
