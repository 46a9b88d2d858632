#pragma once
// The overlay's bitmap font: one glBitmap display list per Windows-1250 code 0-255, at list
// numbers fontListBase + code, rasterised once from a bold sans system font. A glyph is drawn
// at the current raster position with its baseline there and moves the position right.
#include <string_view>

namespace morvane {

constexpr unsigned fontListBase = 1000;
constexpr int fontGlyphCount = 256;
// Pixel size of the glyphs: the help lines lie 15 pixels apart and must not touch.
constexpr int fontPixelSize = 13;

// Makes the 256 glyph lists on the first call (a GL context must be current) and keeps them.
// False when no usable font was found; that is reported once on stderr and text stays unseen.
bool ensureBitmapFont();

// Draws the bytes from the current raster position, one glyph per byte; nothing if the font
// could not be made.
void drawBitmapText(std::string_view cp1250Bytes);

}  // namespace morvane
