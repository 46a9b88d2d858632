#include "render/texture.h"

#include <GL/gl.h>

#include <cstring>

#include "graphics/bmp_image.h"

#ifndef GL_GENERATE_MIPMAP
#define GL_GENERATE_MIPMAP 0x8191
#endif
#ifndef GL_TEXTURE_MAX_ANISOTROPY_EXT
#define GL_TEXTURE_MAX_ANISOTROPY_EXT 0x84FE
#endif

namespace morvane {
namespace {

bool hasExtension(const char* name) {
  const auto* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (all == nullptr) return false;
  const size_t n = std::strlen(name);
  for (const char* p = std::strstr(all, name); p != nullptr; p = std::strstr(p + 1, name)) {
    const bool startsWord = p == all || p[-1] == ' ';
    const bool endsWord = p[n] == ' ' || p[n] == '\0';
    if (startsWord && endsWord) return true;
  }
  return false;
}

bool supportsMipmapGeneration() {
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  const bool glAtLeast14 = version != nullptr && (version[0] > '1' || (version[0] == '1' && version[2] >= '4'));
  return glAtLeast14 || hasExtension("GL_SGIS_generate_mipmap");
}

}  // namespace

void TextureBinder::bind(unsigned name) {
  if (name == boundTexture_) return;
  glBindTexture(GL_TEXTURE_2D, name);
  boundTexture_ = name;
}

bool loadTexture(const std::string& fileName, unsigned textureName, int filter, int wrap, std::string& error) {
  BmpResult result = readBmpFile(fileName);
  if (!result.ok) {
    error = result.errorUtf8;
    return false;
  }
  while (glGetError() != GL_NO_ERROR) {
  }
  glBindTexture(GL_TEXTURE_2D, textureName);
  if (supportsMipmapGeneration()) glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, 1);
  if (hasExtension("GL_EXT_texture_filter_anisotropic")) {
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  glTexImage2D(GL_TEXTURE_2D, 0, 4, result.image.width, result.image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               result.image.pixels.data());
  const GLenum status = glGetError();
  // The upload leaves the name bound; the frame's bind cache starts from name 0 and so rebinds.
  glBindTexture(GL_TEXTURE_2D, 0);
  if (status != GL_NO_ERROR) {
    error = fileName + ": a textúra nem tölthető be (OpenGL-hiba " + std::to_string(status) +
            "; az oldalak kettő hatványai legyenek).";
    return false;
  }
  return true;
}

}  // namespace morvane
