#include "render/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "render/projection.h"

namespace morvane {
namespace {

constexpr float tileScale = 0.05f;  // a tile's edge as a fraction of the half-size: 40 per wall

// One wall, P0..P3 around it, cut into tiles so the point light at the eye shades it smoothly
// (GL lights per vertex). The texture covers the wall once.
void drawWall(const Vec3 (&p)[4], float sScale, float tScale, float arenaHalfSize) {
  Vec3 normal = cross(p[1] - p[0], p[2] - p[0]);
  normal = normal / length(normal);
  const Vec3 u = p[1] - p[0];
  const Vec3 v = p[3] - p[0];
  const long double tile = static_cast<long double>(tileScale) * arenaHalfSize;
  const float nU = static_cast<float>(length(u) / tile);
  const float nV = static_cast<float>(length(v) / tile);

  glBegin(GL_QUADS);
  glNormal3f(normal.x, normal.y, normal.z);
  auto corner = [&](int a, int b) {
    const float fa = static_cast<float>(a) / nU;
    const float fb = static_cast<float>(b) / nV;
    glTexCoord2f(fa * sScale, fb * tScale);
    const Vec3 q = p[0] + u * fa + v * fb;
    glVertex3f(q.x, q.y, q.z);
  };
  for (int i = 0; static_cast<float>(i) < nU; ++i) {
    for (int j = 0; static_cast<float>(j) < nV; ++j) {
      corner(i, j);
      corner(i + 1, j);
      corner(i + 1, j + 1);
      corner(i, j + 1);
    }
  }
  glEnd();
}

void setBallColour(BallColour colour) {
  switch (colour) {
    case colourBlue: glColor3f(0.0f, 0.0f, 1.0f); break;
    case colourGreen: glColor3f(0.0f, 1.0f, 0.0f); break;
    case colourRed: glColor3f(1.0f, 0.0f, 0.0f); break;
    case colourCueBall: glColor3f(1.0f, 1.0f, 1.0f); break;
    default: break;  // an unknown code keeps whatever colour is current
  }
}

void drawPocket(const Pocket& pocket) {
  if (pocket.active == 0) return;
  const Vec3 m = pocket.centre;
  const float h = pocketHalfSize;
  glDisable(GL_LIGHTING);
  glColor3f(0.2f, 0.2f, 1.0f);
  glBegin(GL_LINE_STRIP);
  glVertex3f(m.x - h, m.y - h, m.z - h);
  glVertex3f(m.x + h, m.y - h, m.z - h);
  glVertex3f(m.x + h, m.y + h, m.z - h);
  glVertex3f(m.x - h, m.y + h, m.z - h);
  glVertex3f(m.x - h, m.y - h, m.z - h);
  glVertex3f(m.x - h, m.y - h, m.z + h);
  glVertex3f(m.x + h, m.y - h, m.z + h);
  glVertex3f(m.x + h, m.y + h, m.z + h);
  glVertex3f(m.x - h, m.y + h, m.z + h);
  glVertex3f(m.x - h, m.y - h, m.z + h);
  glEnd();
  glBegin(GL_LINES);
  glVertex3f(m.x + h, m.y - h, m.z - h);
  glVertex3f(m.x + h, m.y - h, m.z + h);
  glVertex3f(m.x + h, m.y + h, m.z - h);
  glVertex3f(m.x + h, m.y + h, m.z + h);
  glVertex3f(m.x - h, m.y + h, m.z - h);
  glVertex3f(m.x - h, m.y + h, m.z + h);
  glEnd();
  glEnable(GL_LIGHTING);
}

}  // namespace

void SceneRenderer::setSphereMesh(const SphereMesh& mesh) {
  mesh_ = mesh;
  ++meshGeneration_;
}

void SceneRenderer::drawScene(const Game& game, int viewportWidth, int viewportHeight) {
  glViewport(0, 0, viewportWidth, viewportHeight);
  glMatrixMode(GL_PROJECTION);
  // The drawable's own aspect keeps balls round on any screen; on 4:3 this is the matrix
  // gluPerspective(60, 4/3, 1, 1e6) gave.
  glLoadMatrixd(sceneProjection(viewportWidth, viewportHeight).data());
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const Camera& c = game.camera;
  const Vec3 target = c.eye + c.forward;
  gluLookAt(c.eye.x, c.eye.y, c.eye.z, target.x, target.y, target.z, c.up.x, c.up.y, c.up.z);

  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor3f(1.0f, 1.0f, 1.0f);

  // A point light at the eye, given after the view so it lands there; half the light at 1000.
  const GLfloat lightPosition[4] = {c.eye.x, c.eye.y, c.eye.z, 1.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
  glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0.000001f);

  drawArena(game.world.arenaHalfSize);
  drawAllBalls(game.world);
  drawAimGuide(game);
  drawAllPockets(game.world);
}

void SceneRenderer::drawArena(float h) {
  textures_.bind(wallTexture_);
  glColor3f(1.0f, 1.0f, 1.0f);
  // The walls only change with the arena size, so they are compiled once into a display list.
  if (arenaList_ == 0 || arenaListSize_ != h) {
    if (arenaList_ == 0) arenaList_ = glGenLists(1);
    arenaListSize_ = h;
    const Vec3 walls[6][4] = {
        {{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h}},
        {{-h, h, h}, {h, h, h}, {h, -h, h}, {-h, -h, h}},
        {{h, -h, h}, {h, h, h}, {h, h, -h}, {h, -h, -h}},
        {{-h, -h, -h}, {-h, h, -h}, {-h, h, h}, {-h, -h, h}},
        {{-h, h, -h}, {h, h, -h}, {h, h, h}, {-h, h, h}},
        {{-h, -h, h}, {h, -h, h}, {h, -h, -h}, {-h, -h, -h}},
    };
    glNewList(arenaList_, GL_COMPILE);
    for (const auto& wall : walls) drawWall(wall, 1.0f, 1.0f, h);
    glEndList();
  }
  glCallList(arenaList_);
  // Name 0 has no image: everything after the arena is drawn untextured.
  textures_.bind(0);
}

namespace {

// One sphere vertex by vertex: each corner is the table point scaled by the radius and moved
// to the centre, its normal the unscaled table point.
void drawSphere(const SphereMesh& mesh, const Vec3& centre, float radius) {
  glBegin(GL_QUADS);
  auto vertex = [&](int i, int j) {
    const Vec3& n = mesh[i][j];
    glNormal3f(n.x, n.y, n.z);
    glVertex3f(n.x * radius + centre.x, n.y * radius + centre.y, n.z * radius + centre.z);
  };
  for (int i = 0; i < sphereRings - 1; ++i) {
    for (int j = 0; j < sphereSegments - 1; ++j) {
      vertex(i, j + 1);
      vertex(i + 1, j + 1);
      vertex(i + 1, j);
      vertex(i, j);
    }
  }
  glEnd();
}

}  // namespace

void SceneRenderer::drawAllBalls(const World& world) {
  if (immediateBalls_) {
    for (const Ball& ball : world.balls) {
      if (ball.active == 0) continue;
      setBallColour(ball.colour);
      drawSphere(mesh_, ball.position, ballRadius);
    }
    return;
  }
  // The unit mesh scaled to the ball radius is compiled once per set-up; each ball is then a
  // translation and a list call instead of 400 vertex calls.
  if (ballList_ == 0 || ballListGeneration_ != meshGeneration_) {
    if (ballList_ == 0) ballList_ = glGenLists(1);
    ballListGeneration_ = meshGeneration_;
    glNewList(ballList_, GL_COMPILE);
    drawSphere(mesh_, Vec3{}, ballRadius);
    glEndList();
  }
  for (const Ball& ball : world.balls) {
    if (ball.active == 0) continue;
    setBallColour(ball.colour);
    glPushMatrix();
    glTranslatef(ball.position.x, ball.position.y, ball.position.z);
    glCallList(ballList_);
    glPopMatrix();
  }
}

void SceneRenderer::drawAimGuide(const Game& game) {
  const Ball& cueBall = game.world.balls[cueBallSlot];
  if (!allBallsAtRest(game.world) || cueBall.active == 0) return;
  glDisable(GL_LIGHTING);
  glBegin(GL_LINES);
  Vec3 p;
  cueBall.getState(&p, nullptr, nullptr);
  glColor3f(0.0f, 1.0f, 0.0f);
  glVertex3f(p.x, p.y, p.z);
  const Vec3 end = p - game.cue.cueDirection * 5.0f;
  glVertex3f(end.x, end.y, end.z);
  glEnd();
  glEnable(GL_LIGHTING);
}

void SceneRenderer::drawAllPockets(const World& world) {
  for (const Pocket& pocket : world.pockets) drawPocket(pocket);
}

}  // namespace morvane
