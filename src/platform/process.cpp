#include "platform/process.h"

#include <SDL.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace morvane {

void restartSelf() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) {
    std::fprintf(stderr, "morvane: cannot find the running executable to restart: %s\n", std::strerror(errno));
    return;
  }
  path[n] = '\0';
  // Hand back the display, the audio device and the window before the new copy opens its own.
  SDL_Quit();
  char* const argv[] = {path, nullptr};
  execv(path, argv);
  std::fprintf(stderr, "morvane: cannot restart %s: %s\n", path, std::strerror(errno));
}

}  // namespace morvane
