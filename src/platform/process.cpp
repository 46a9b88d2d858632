#include "platform/process.h"

#include <SDL.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "launch/data_directory.h"
#include "morvane/build_info.h"

namespace morvane {
namespace {

// The build tree as the kernel spells paths, so that a build directory reached through a
// symbolic link still contains the executable's real path.
std::string realPathOf(const char* path) {
  char resolved[PATH_MAX];
  if (realpath(path, resolved) == nullptr) return path;
  return resolved;
}

}  // namespace

std::string runningExecutablePath() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  path[n] = '\0';
  return path;
}

void enterDataDirectory() {
  const DataSearch search{runningExecutablePath(), installedDataFromExecutable,
                          realPathOf(buildTreeDirectory), sourceAssetsDirectory};
  const auto readable = [](const std::string& path) { return access(path.c_str(), R_OK) == 0; };
  const auto chosen = chooseDataDirectory(search, readable);
  if (chosen && chdir(chosen->c_str()) != 0) {
    std::fprintf(stderr, "morvane: cannot enter the data directory %s: %s\n", chosen->c_str(),
                 std::strerror(errno));
  }
}

void restartSelf(const std::vector<std::string>& arguments) {
  std::string path = runningExecutablePath();
  if (path.empty()) {
    std::fprintf(stderr, "morvane: cannot find the running executable to restart: %s\n", std::strerror(errno));
    return;
  }
  // Hand back the display, the audio device and the window before the new copy opens its own.
  SDL_Quit();
  std::vector<char*> argv{path.data()};
  std::vector<std::string> copies = arguments;
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);
  execv(path.c_str(), argv.data());
  std::fprintf(stderr, "morvane: cannot restart %s: %s\n", path.c_str(), std::strerror(errno));
}

}  // namespace morvane
