// Morvane: start-up in a fixed order, then the main loop until the window is closed.
#include <SDL.h>
#include <malloc.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "app/live_match_hooks.h"
#include "app/match_recorder.h"
#include "game/game.h"
#include "launch/command_line.h"
#include "platform/audio_device.h"
#include "platform/game_window.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/recording_file.h"
#include "replay/recording.h"
#include "replay/replay_loop.h"
#include "replay/replayer.h"
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
  std::error_code noDirectory;
  const LaunchDecision launch = decideLaunch(arguments, std::filesystem::current_path(noDirectory).string());
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
  // A recording to replay is read, or one to write is created, before anything opens too.
  std::optional<Recording> replay;
  if (!launch.replayPath.empty()) {
    ParsedRecording parsed = readRecordingFile(launch.replayPath);
    if (!parsed.recording) {
      std::fprintf(stderr, "morvane: %s\n", parsed.error.c_str());
      return 2;
    }
    replay = std::move(parsed.recording);
  }
  RecordingFile recordingFile;
  if (!launch.recordPath.empty()) {
    std::string error;
    if (!recordingFile.create(launch.recordPath, error)) {
      std::fprintf(stderr, "morvane: %s\n", error.c_str());
      return 2;
    }
  }
  // Without the dialog, its OK processing judges the options, still before anything opens.
  if (launch.noDialog && !replay) {
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

  if (!launch.noDialog && !replay) {
    switch (runSettingsDialog(game->random, launch.dialog, settings, firstPlayer)) {
      case DialogExit::quit: return recordingFile.discard(), EXIT_SUCCESS;
      case DialogExit::noDisplay: return recordingFile.discard(), EXIT_FAILURE;
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

  MatchRecorder recorder(*game, recordingFile);
  std::unique_ptr<Replayer> replayer;
  // A replay tells at the match's end whether the world came out as recorded and ends there.
  const auto tellVerdict = [&replayer] {
    std::printf("%s\n", replayer->verdict().summary(replayer->recordedTicks()).c_str());
    std::fflush(stdout);
    return replayer->verdict().firstDifferentTick ? EXIT_FAILURE : EXIT_SUCCESS;
  };
  if (replay) {
    replayer = std::make_unique<Replayer>(*replay, *game);
    hooks.onMatchEnd([&] { return std::optional<int>(tellVerdict()); });
    replayer->startMatch();
  } else {
    if (recordingFile.isOpen()) {
      recorder.begin(settings, firstPlayer, game->random.state());
      hooks.onMatchEnd([&recorder] {
        recorder.matchEnded();
        return std::optional<int>();
      });
    }
    startMatch(*game, settings, firstPlayer);
  }

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
  PassObservers observers;
  if (launch.stats) observers.add(stats);
  if (recordingFile.isOpen()) observers.add(recorder);
  int exitCode = EXIT_SUCCESS;
  if (replayer) {
    // Closed early, it tells how far the world matched.
    runReplayLoop(*game, *replayer, window, drawer);
    exitCode = tellVerdict();
  } else {
    runMainLoop(*game, window, drawer, observers.empty() ? nullptr : &observers);
    if (!recorder.finish()) exitCode = EXIT_FAILURE;
  }
  render.stop();
  SDL_Quit();
  return exitCode;
}
