#pragma once
// The one borderless window covering the desktop and its OpenGL context, which the render
// thread takes; the events, cursor and clock the main loop reads stay on the main thread.
#include <cstdint>
#include <string>

#include "game/main_loop.h"
#include "platform/tick_counter.h"

struct SDL_Window;

namespace morvane {

// The game window's title and the window class it shares with the settings dialog.
inline constexpr const char* gameWindowTitle = "Morvane";
inline constexpr const char* windowClass = "morvane";

// The modifier keys as of the last key event taken from the queue, so that a queued mouse move
// is judged by the keys held when it happened, not by the keys held now.
struct ModifierState {
  bool ctrl = false;
  bool shift = false;
};

class GameWindow final : public LoopPlatform {
 public:
  explicit GameWindow(const TickCounter& clock) : clock_(clock) {}
  ~GameWindow() override;
  GameWindow(const GameWindow&) = delete;
  GameWindow& operator=(const GameWindow&) = delete;

  // Creates the window at the desktop size and a double-buffered RGBA context with a 32-bit
  // (else 24-bit) depth buffer, current on no thread. On failure returns false with a reason.
  bool create(std::string& error);
  // Makes the context current on the calling thread (the render thread), or releases it there.
  bool takeContext(std::string& error);
  void releaseContext();
  // Presents the back buffer; on the thread that holds the context.
  void swapBuffers();
  // Match end, the render thread stopped: delete the context, hide the window, show the cursor.
  void releaseForMatchEnd();
  // Screen size taken when the window was created.
  int screenWidth() const { return screenWidth_; }
  int screenHeight() const { return screenHeight_; }

  uint32_t nowMs() override { return clock_.nowMs(); }
  bool pollEvent(InputEvent& event) override;
  void waitForEventOrNextStep() override;
  void warpCursorToCentre() override;
  int clientWidth() const override { return clientWidth_; }
  int clientHeight() const override { return clientHeight_; }

 private:
  SDL_Window* window_ = nullptr;
  void* context_ = nullptr;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  ModifierState modifiers_;
  const TickCounter& clock_;
};

// Starts the video subsystem; false with a reason when there is no display.
bool initVideo(std::string& error);

}  // namespace morvane
