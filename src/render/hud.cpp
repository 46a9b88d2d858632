#include "render/hud.h"

#include <GL/gl.h>

#include "render/bitmap_font.h"
#include "graphics/hud_lines.h"

namespace morvane {
namespace {

// The colour goes before the raster position: glRasterPos latches the current colour, and with
// lighting or texturing on it would be lit or tinted instead.
void writeText(const HudText& text) {
  glColor3f(text.r, text.g, text.b);
  glRasterPos2i(text.x, text.y);
  drawBitmapText(text.bytes);
}

void drawProgressBar(const std::optional<ProgressBarShape>& shape) {
  if (!shape) return;
  // Counter-clockwise on screen once y is flipped, so face culling keeps it.
  glColor3f(0.0f, 1.0f, 0.0f);
  glBegin(GL_QUADS);
  glVertex2f(shape->left, shape->bottom);
  glVertex2f(shape->fillRight, shape->bottom);
  glVertex2f(shape->fillRight, shape->top);
  glVertex2f(shape->left, shape->top);
  glEnd();

  writeText(shape->caption);

  glColor3f(0.3f, 0.3f, 0.3f);
  glBegin(GL_LINE_STRIP);
  glVertex2f(shape->left, shape->top);
  glVertex2f(shape->outlineRight, shape->top);
  glVertex2f(shape->outlineRight, shape->bottom);
  glVertex2f(shape->left, shape->bottom);
  glVertex2f(shape->left, shape->top);
  glEnd();
}

void drawCrossHair(int screenWidth, int screenHeight) {
  const int cx = screenWidth / 2;
  const int cy = screenHeight / 2;
  glColor3f(0.0f, 1.0f, 0.0f);
  glBegin(GL_LINES);
  glVertex2i(cx - 10, cy - 10);
  glVertex2i(cx + 10, cy + 10);
  glVertex2i(cx + 10, cy - 10);
  glVertex2i(cx - 10, cy + 10);
  glEnd();
}

}  // namespace

void drawHud(const FrameSnapshot& frame) {
  const int screenWidth = frame.size.screenWidth, screenHeight = frame.size.screenHeight;
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);

  // Pixel coordinates with y growing downward; glBitmap still draws upward in window space,
  // so the glyphs stand upright with their baseline at the raster position.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, screenWidth, screenHeight, 0.0, 0.0, 10000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  for (const HudText& line : frame.statusLines) writeText(line);
  if (frame.helpVisible) {
    for (const HudText& line : helpScreenLines()) writeText(line);
  }
  drawProgressBar(frame.progressBar);
  drawCrossHair(screenWidth, screenHeight);

  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
}

}  // namespace morvane
