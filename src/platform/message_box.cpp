#include "platform/message_box.h"

#include <SDL.h>

#include <cstdio>

namespace morvane {

bool showMessageBox(const std::string& textUtf8, const std::string& captionUtf8, MessageIcon icon) {
  Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
  if (icon == MessageIcon::stop) flags = SDL_MESSAGEBOX_ERROR;
  if (SDL_ShowSimpleMessageBox(flags, captionUtf8.c_str(), textUtf8.c_str(), nullptr) == 0) return true;
  std::fprintf(stderr, "%s%s%s\n", captionUtf8.c_str(), captionUtf8.empty() ? "" : ": ", textUtf8.c_str());
  return false;
}

}  // namespace morvane
