#include "render/bitmap_font.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "text/cp1250.h"

namespace morvane {
namespace {

enum class FontState { notMade, ready, failed };

// The lists belong to the one GL context, which lives as long as the process; this only
// remembers whether they were made, so a missing font is looked for and reported once.
FontState fontState = FontState::notMade;

struct FontFile {
  std::string path;
  int faceIndex = 0;
};

// A font must have the Hungarian double-acute letters to be worth using.
constexpr FcChar32 probeLetter = 0x0151;  // ő

// Fontconfig's best matches, most wanted first: the bold DejaVu Sans, then any bold sans, then
// any sans. Fontconfig always answers with something; the ones without ő are dropped.
std::vector<FontFile> candidateFonts() {
  std::vector<FontFile> found;
  if (FcInit() == FcFalse) return found;
  for (const char* name : {"DejaVu Sans:bold", "sans-serif:bold", "sans-serif"}) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
    if (pattern == nullptr) continue;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) continue;
    FcChar8* file = nullptr;
    FcCharSet* charset = nullptr;
    int index = 0;
    const bool hasFile = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
    const bool covers = FcPatternGetCharSet(match, FC_CHARSET, 0, &charset) != FcResultMatch ||
                        FcCharSetHasChar(charset, probeLetter) == FcTrue;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    if (hasFile && covers) found.push_back(FontFile{reinterpret_cast<const char*>(file), index});
    FcPatternDestroy(match);
  }
  return found;
}

// Is pixel (column, row) of a FreeType bitmap set? Row 0 is the top row. Grey bitmaps (fonts
// that ignore the monochrome request) are cut at half intensity.
bool pixelSet(const FT_Bitmap& bitmap, unsigned column, unsigned row) {
  const int pitch = bitmap.pitch;
  // The buffer is always the lowest address; a negative pitch means the bottom row comes first.
  const unsigned char* line = pitch >= 0 ? bitmap.buffer + static_cast<std::ptrdiff_t>(row) * pitch
                                         : bitmap.buffer + static_cast<std::ptrdiff_t>(bitmap.rows - 1 - row) * -pitch;
  if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) return (line[column / 8] & (0x80u >> (column % 8))) != 0;
  if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) return line[column] >= 128;
  return false;
}

// One glyph list: the bitmap bottom row first, rows padded to whole bytes, most significant
// bit leftmost, the baseline at the raster position and the advance to the right.
void compileGlyph(unsigned list, FT_Face face, char32_t codePoint) {
  static const GLubyte emptyBitmap[1] = {0};  // Mesa wants a pointer even for a 0 x 0 bitmap

  const bool control = codePoint < 0x20 || codePoint == 0x7F;
  const FT_UInt glyphIndex = control ? 0 : FT_Get_Char_Index(face, codePoint);
  const bool loaded =
      !control && FT_Load_Glyph(face, glyphIndex, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0;

  glNewList(list, GL_COMPILE);
  if (!loaded) {
    glBitmap(0, 0, 0.0f, 0.0f, 0.0f, 0.0f, emptyBitmap);
    glEndList();
    return;
  }
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  const auto advance = static_cast<GLfloat>(slot->advance.x) / 64.0f;  // 26.6 fixed point
  if (bitmap.width == 0 || bitmap.rows == 0) {
    glBitmap(0, 0, 0.0f, 0.0f, advance, 0.0f, emptyBitmap);
    glEndList();
    return;
  }
  const unsigned rowBytes = (bitmap.width + 7) / 8;
  std::vector<GLubyte> bits(static_cast<size_t>(rowBytes) * bitmap.rows, 0);
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    GLubyte* out = bits.data() + static_cast<size_t>(bitmap.rows - 1 - row) * rowBytes;
    for (unsigned column = 0; column < bitmap.width; ++column) {
      if (pixelSet(bitmap, column, row)) out[column / 8] |= static_cast<GLubyte>(0x80u >> (column % 8));
    }
  }
  glBitmap(static_cast<GLsizei>(bitmap.width), static_cast<GLsizei>(bitmap.rows),
           static_cast<GLfloat>(-slot->bitmap_left), static_cast<GLfloat>(static_cast<int>(bitmap.rows) - slot->bitmap_top),
           advance, 0.0f, bits.data());
  glEndList();
}

// Opens the font at the overlay's pixel size; nullptr if FreeType cannot use it.
FT_Face openFace(FT_Library library, const FontFile& font) {
  FT_Face face = nullptr;
  if (FT_New_Face(library, font.path.c_str(), font.faceIndex, &face) != 0) return nullptr;
  if (FT_Set_Pixel_Sizes(face, 0, fontPixelSize) != 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  return face;
}

bool makeFontLists() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) {
    std::fprintf(stderr, "morvane: FreeType could not be started; no overlay text\n");
    return false;
  }
  FT_Face face = nullptr;
  for (const FontFile& font : candidateFonts()) {
    face = openFace(library, font);
    if (face != nullptr) break;
  }
  if (face == nullptr) {
    std::fprintf(stderr, "morvane: no usable sans font found through Fontconfig; no overlay text\n");
    FT_Done_FreeType(library);
    return false;
  }

  // glBitmap copies the bits when the list is compiled, under the unpacking state of that
  // moment: tightly packed rows, most significant bit first.
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  for (int code = 0; code < fontGlyphCount; ++code) {
    compileGlyph(fontListBase + static_cast<unsigned>(code), face, cp1250CodePoint(static_cast<unsigned char>(code)));
  }
  glPopClientAttrib();

  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return true;
}

}  // namespace

bool ensureBitmapFont() {
  if (fontState == FontState::notMade) fontState = makeFontLists() ? FontState::ready : FontState::failed;
  return fontState == FontState::ready;
}

void drawBitmapText(std::string_view cp1250Bytes) {
  if (!ensureBitmapFont() || cp1250Bytes.empty()) return;
  glListBase(fontListBase);
  glCallLists(static_cast<GLsizei>(cp1250Bytes.size()), GL_UNSIGNED_BYTE, cp1250Bytes.data());
}

}  // namespace morvane
