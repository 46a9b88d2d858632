#pragma once
// Texture names, the wall texture upload and the last-bound cache.
#include <string>

namespace morvane {

// Binds a texture name unless it is the one bound last through this cache.
class TextureBinder {
 public:
  void bind(unsigned name);

 private:
  unsigned boundTexture_ = 0;
};

// Reads a BMP (black transparent) and uploads it into textureName with the given filter for
// minification and magnification and the given wrap mode on both axes. Mipmap generation and
// anisotropy are asked for only where the GL supports them. False with a message naming the
// file (Hungarian, UTF-8) when the file cannot be read or the GL refuses the upload.
bool loadTexture(const std::string& fileName, unsigned textureName, int filter, int wrap, std::string& error);

}  // namespace morvane
