#include "render/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "graphics/projection.h"
#include "graphics/quad_mesh.h"
#include "graphics/view_volume.h"

namespace morvane {
namespace {

// Points the vertex, normal and (for a textured mesh) texture coordinate arrays at a mesh.
void bindQuadMesh(const QuadMesh& mesh) {
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, mesh.positions.data());
  glEnableClientState(GL_NORMAL_ARRAY);
  glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
  if (!mesh.texCoords.empty()) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, mesh.texCoords.data());
  }
}

void unbindQuadMesh() {
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

void drawQuads(const QuadMesh& mesh) {
  glDrawElements(GL_QUADS, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_SHORT, mesh.indices.data());
}

}  // namespace

void setBallColour(BallColour colour) {
  switch (colour) {
    case colourBlue: glColor3f(0.0f, 0.0f, 1.0f); break;
    case colourGreen: glColor3f(0.0f, 1.0f, 0.0f); break;
    case colourRed: glColor3f(1.0f, 0.0f, 0.0f); break;
    case colourCueBall: glColor3f(1.0f, 1.0f, 1.0f); break;
    default: break;  // an unknown code keeps whatever colour is current
  }
}

namespace {

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

void SceneRenderer::drawScene(const FrameSnapshot& frame) {
  beginScene(frame);
  // The balls before the walls: the wall pixels hidden behind a ball then fail the depth test
  // before they are textured and lit (a software rasteriser tests depth first), which is most
  // of a frame's work when many balls are in view. The picture is the same, since the balls lie
  // inside the walls; only the sliver of a ball pushed past a wall could now show through a
  // transparent (black) texel, where before the wall's depth hid it.
  textures_.bind(0);
  const FrameSize& size = frame.size;
  drawAllBalls(frame.world, viewVolume(frame.camera, viewFieldOfViewDegrees,
                                       drawableAspect(size.viewportWidth, size.viewportHeight), viewNearPlane));
  drawArena(frame.world.arenaHalfSize);
  drawLineObjects(frame);
}

void SceneRenderer::beginScene(const FrameSnapshot& frame) {
  const int viewportWidth = frame.size.viewportWidth, viewportHeight = frame.size.viewportHeight;
  glViewport(0, 0, viewportWidth, viewportHeight);
  glMatrixMode(GL_PROJECTION);
  // The drawable's own aspect keeps balls round on any screen; on 4:3 this is the matrix
  // gluPerspective(60, 4/3, 1, 1e6) gave.
  glLoadMatrixd(sceneProjection(viewportWidth, viewportHeight).data());
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const Camera& c = frame.camera;
  const Vec3 target = c.eye + c.forward;
  gluLookAt(c.eye.x, c.eye.y, c.eye.z, target.x, target.y, target.z, c.up.x, c.up.y, c.up.z);

  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor3f(1.0f, 1.0f, 1.0f);

  // A point light at the eye, given after the view so it lands there; half the light at 1000.
  const GLfloat lightPosition[4] = {c.eye.x, c.eye.y, c.eye.z, 1.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
  glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0.000001f);
}

void SceneRenderer::drawLineObjects(const FrameSnapshot& frame) {
  drawAimGuide(frame);
  drawAllPockets(frame.world);
}

void SceneRenderer::drawArena(float h) {
  textures_.bind(wallTexture_);
  glColor3f(1.0f, 1.0f, 1.0f);
  // The walls change only with the arena size.
  if (!arenaMeshBuilt_ || arenaMeshSize_ != h) {
    arenaMesh_ = buildArenaMesh(h);
    arenaMeshSize_ = h;
    arenaMeshBuilt_ = true;
  }
  bindQuadMesh(arenaMesh_);
  drawQuads(arenaMesh_);
  unbindQuadMesh();
  // Name 0 has no image: everything else is drawn untextured.
  textures_.bind(0);
}

void SceneRenderer::drawAllBalls(const World& world, const ViewVolume& view) {
  // The unit mesh scaled to the ball radius, rebuilt with every set-up; each ball in view is
  // then a translation and one indexed draw.
  if (ballMeshGeneration_ != meshGeneration_) {
    ballMesh_ = buildBallMesh(mesh_, ballRadius);
    ballMeshGeneration_ = meshGeneration_;
  }
  bindQuadMesh(ballMesh_);
  for (const Ball& ball : world.balls) {
    if (ball.active == 0) continue;
    // The colour is set even for a ball out of view: a ball with an unknown colour code takes
    // the colour of the ball before it.
    setBallColour(ball.colour);
    if (!sphereMayShow(view, ball.position, ballRadius)) continue;
    glPushMatrix();
    glTranslatef(ball.position.x, ball.position.y, ball.position.z);
    drawQuads(ballMesh_);
    glPopMatrix();
  }
  unbindQuadMesh();
}

void SceneRenderer::drawAimGuide(const FrameSnapshot& frame) {
  if (!frame.aimGuideVisible) return;
  glDisable(GL_LIGHTING);
  glBegin(GL_LINES);
  const Vec3& p = frame.world.balls[cueBallSlot].position;
  glColor3f(0.0f, 1.0f, 0.0f);
  glVertex3f(p.x, p.y, p.z);
  const Vec3& end = frame.aimGuideEnd;
  glVertex3f(end.x, end.y, end.z);
  glEnd();
  glEnable(GL_LIGHTING);
}

void SceneRenderer::drawAllPockets(const World& world) {
  for (const Pocket& pocket : world.pockets) drawPocket(pocket);
}

}  // namespace morvane
