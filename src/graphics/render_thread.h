#pragma once
// The render thread: it owns the drawing (the GL context, in the game) and draws the newest
// frame snapshot the game thread handed over, so the simulation never waits for the drawing.
// A snapshot handed over while the previous one still waits replaces it: a dropped frame, never
// a queue. The snapshot is the only thing the two threads share.
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "graphics/frame_snapshot.h"

namespace morvane {

// What draws on the render thread. begin and end run on it, around every draw.
class SnapshotDrawer {
 public:
  virtual ~SnapshotDrawer() = default;
  // Takes the drawing over (makes the context current, loads what drawing needs). False with
  // a reason when drawing is impossible.
  virtual bool begin(std::string& error) = 0;
  // Draws one frame and presents it.
  virtual void draw(const FrameSnapshot& frame) = 0;
  // Gives the drawing back (releases the context) before the thread ends.
  virtual void end() = 0;
};

// Counted since the last takeStats().
struct FrameStats {
  uint32_t frames = 0;   // drawn and presented
  uint32_t dropped = 0;  // replaced by a newer snapshot before they were drawn
  double longestFrameMs = 0.0;
};

class RenderThread {
 public:
  explicit RenderThread(SnapshotDrawer& drawer) : drawer_(drawer) {}
  ~RenderThread() { stop(); }
  RenderThread(const RenderThread&) = delete;
  RenderThread& operator=(const RenderThread&) = delete;

  // Starts the thread and waits for the drawer's begin. False with its reason (the thread has
  // ended then).
  bool start(std::string& error);
  // Hands a frame over and returns at once. Rethrows, once, what a draw threw.
  void submit(FrameSnapshot frame);
  // Lets the frame being drawn finish, drops a waiting one, ends the drawing and joins.
  // Does nothing when not running.
  void stop();
  FrameStats takeStats();

 private:
  void run();

  SnapshotDrawer& drawer_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  // Guarded by mutex_:
  std::optional<FrameSnapshot> waiting_;
  bool stopping_ = false;
  std::optional<bool> begun_;  // the drawer's begin, once it has answered
  std::string beginError_;
  std::exception_ptr failure_;
  FrameStats stats_;
};

}  // namespace morvane
