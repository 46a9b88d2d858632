#include "platform/game_window.h"

#include <SDL.h>
#include <stdlib.h>

namespace morvane {
namespace {

GameKey keyFromScancode(SDL_Scancode code) {
  // Keypad keys act by their label whether NumLock is on or off; the cursor block and the
  // main Enter act as their keypad twins.
  switch (code) {
    case SDL_SCANCODE_KP_0: case SDL_SCANCODE_INSERT: return GameKey::keypad0;
    case SDL_SCANCODE_KP_1: case SDL_SCANCODE_END: return GameKey::keypad1;
    case SDL_SCANCODE_KP_2: case SDL_SCANCODE_DOWN: return GameKey::keypad2;
    case SDL_SCANCODE_KP_3: case SDL_SCANCODE_PAGEDOWN: return GameKey::keypad3;
    case SDL_SCANCODE_KP_4: case SDL_SCANCODE_LEFT: return GameKey::keypad4;
    case SDL_SCANCODE_KP_5: case SDL_SCANCODE_CLEAR: return GameKey::keypad5;
    case SDL_SCANCODE_KP_6: case SDL_SCANCODE_RIGHT: return GameKey::keypad6;
    case SDL_SCANCODE_KP_7: case SDL_SCANCODE_HOME: return GameKey::keypad7;
    case SDL_SCANCODE_KP_8: case SDL_SCANCODE_UP: return GameKey::keypad8;
    case SDL_SCANCODE_KP_9: case SDL_SCANCODE_PAGEUP: return GameKey::keypad9;
    case SDL_SCANCODE_KP_PERIOD: case SDL_SCANCODE_DELETE: return GameKey::keypadPoint;
    case SDL_SCANCODE_KP_PLUS: return GameKey::keypadPlus;
    case SDL_SCANCODE_KP_ENTER: case SDL_SCANCODE_RETURN: return GameKey::enter;
    case SDL_SCANCODE_SPACE: return GameKey::space;
    case SDL_SCANCODE_R: return GameKey::r;
    case SDL_SCANCODE_F1: return GameKey::f1;
    case SDL_SCANCODE_W: return GameKey::w;
    case SDL_SCANCODE_A: return GameKey::a;
    case SDL_SCANCODE_S: return GameKey::s;
    case SDL_SCANCODE_D: return GameKey::d;
    case SDL_SCANCODE_Q: return GameKey::q;
    case SDL_SCANCODE_E: return GameKey::e;
    default: return GameKey::other;
  }
}

MouseButton buttonFromSdl(Uint8 button) {
  if (button == SDL_BUTTON_LEFT) return MouseButton::left;
  if (button == SDL_BUTTON_RIGHT) return MouseButton::right;
  return MouseButton::other;
}

bool translate(const SDL_Event& sdl, InputEvent& event, ModifierState& modifiers) {
  switch (sdl.type) {
    case SDL_QUIT:
      event.kind = EventKind::quit;
      return true;
    case SDL_WINDOWEVENT:
      if (sdl.window.event == SDL_WINDOWEVENT_CLOSE) {
        event.kind = EventKind::quit;
        return true;
      }
      return false;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      event.kind = sdl.type == SDL_KEYDOWN ? EventKind::keyDown : EventKind::keyUp;
      event.key = keyFromScancode(sdl.key.keysym.scancode);
      modifiers.ctrl = (sdl.key.keysym.mod & KMOD_CTRL) != 0;
      modifiers.shift = (sdl.key.keysym.mod & KMOD_SHIFT) != 0;
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      event.kind = sdl.type == SDL_MOUSEBUTTONDOWN ? EventKind::buttonDown : EventKind::buttonUp;
      event.button = buttonFromSdl(sdl.button.button);
      return true;
    case SDL_MOUSEMOTION: {
      event.kind = EventKind::motion;
      event.motion.x = sdl.motion.x;
      event.motion.y = sdl.motion.y;
      event.motion.ctrl = modifiers.ctrl;
      event.motion.shift = modifiers.shift;
      event.motion.anyButton = sdl.motion.state != 0;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

bool initVideo(std::string& error) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
  // The window class groups the game window with the settings dialog and the desktop entry
  // (StartupWMClass). SDL 2.26 takes it only from its environment, read when video starts;
  // without it the class would follow the executable's file name.
  setenv("SDL_VIDEO_X11_WMCLASS", windowClass, 1);
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", windowClass, 1);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = SDL_GetError();
    return false;
  }
  return true;
}

GameWindow::~GameWindow() {
  if (context_ != nullptr) SDL_GL_DeleteContext(context_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
}

bool GameWindow::create(std::string& error) {
  if (!initVideo(error)) return false;
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
    error = SDL_GetError();
    return false;
  }
  screenWidth_ = desktop.w;
  screenHeight_ = desktop.h;

  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

  const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SHOWN;
  for (int depthBits : {32, 24}) {
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    window_ = SDL_CreateWindow(gameWindowTitle, 0, 0, screenWidth_, screenHeight_, flags);
    if (window_ == nullptr) continue;
    context_ = SDL_GL_CreateContext(window_);
    if (context_ != nullptr) break;
    SDL_DestroyWindow(window_);
    window_ = nullptr;
  }
  if (window_ == nullptr || context_ == nullptr) {
    error = SDL_GetError();
    return false;
  }
  if (SDL_GL_MakeCurrent(window_, context_) != 0) {
    error = SDL_GetError();
    return false;
  }
  SDL_GL_GetDrawableSize(window_, &clientWidth_, &clientHeight_);
  releaseContext();
  return true;
}

bool GameWindow::takeContext(std::string& error) {
  if (context_ != nullptr && SDL_GL_MakeCurrent(window_, context_) == 0) return true;
  error = context_ == nullptr ? "no OpenGL context" : SDL_GetError();
  return false;
}

void GameWindow::releaseContext() {
  if (window_ != nullptr) SDL_GL_MakeCurrent(window_, nullptr);
}

void GameWindow::swapBuffers() {
  if (window_ != nullptr && context_ != nullptr) SDL_GL_SwapWindow(window_);
}

void GameWindow::releaseForMatchEnd() {
  if (context_ != nullptr) {
    SDL_GL_DeleteContext(context_);
    context_ = nullptr;
  }
  if (window_ != nullptr) SDL_HideWindow(window_);
  SDL_ShowCursor(SDL_ENABLE);
}

bool GameWindow::pollEvent(InputEvent& event) {
  SDL_Event sdl;
  // At most one event per pass; events without a meaning for the game still use up the pass.
  if (SDL_PollEvent(&sdl) == 0) return false;
  event = InputEvent{};
  if (!translate(sdl, event, modifiers_)) event.kind = EventKind::other;
  if (sdl.type == SDL_WINDOWEVENT && sdl.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
    SDL_GL_GetDrawableSize(window_, &clientWidth_, &clientHeight_);
  }
  return true;
}

void GameWindow::waitForEventOrNextStep() {
  SDL_WaitEventTimeout(nullptr, static_cast<int>(clock_.msUntilNextStep()));
}

void GameWindow::warpCursorToCentre() {
  if (window_ != nullptr) SDL_WarpMouseInWindow(window_, clientWidth_ / 2, clientHeight_ / 2);
}

}  // namespace morvane
