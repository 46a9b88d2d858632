#include "world/collision_engine.h"

#include <algorithm>
#include <functional>

namespace morvane {
namespace {

constexpr int pairShift = 10;  // a pair is lower << 10 | upper; slots are below 1024

int32_t pairOf(int lower, int upper) { return lower << pairShift | upper; }

bool atRest(const Ball& ball) { return ball.velocity == Vec3{}; }

bool isLive(const Ball& ball, const FirstTouch& touch) {
  return ball.active != 0 && (!atRest(ball) || (ball.colour == colourCueBall && touch.cueBallTouched == 0));
}

// Two balls at rest neither of them the cue ball: the mean-velocity frame gives an impact of
// exactly 0 and the first touch is not concerned, so handling the pair would change nothing.
bool trivialPair(const Ball& a, const Ball& b) {
  return a.colour != colourCueBall && b.colour != colourCueBall && atRest(a) && atRest(b);
}

}  // namespace

CollisionEngine::State::State() {
  pairs.reserve(4 * ballCount);
  laterPairs.reserve(4 * ballCount);
}

void CollisionEngine::resolve(BallTable& balls, std::span<const int16_t> candidates, FirstTouch& touch,
                              SoundSink& sounds) {
  State& s = state();
  if (s.grid.moverCount() > BallGrid::maxMovers) s.grid.refresh(balls);
  const uint32_t pass = ++s.pass;
  s.changedCount = 0;
  s.pairs.clear();
  s.laterPairs.clear();

  int liveCount = 0;
  for (const int16_t slot : candidates) {
    if (s.liveStamp[slot] == pass || !isLive(balls[slot], touch)) continue;
    s.liveStamp[slot] = pass;
    s.live[liveCount++] = slot;
  }
  const auto notePair = [&](int a, int b) {
    const int lower = std::min(a, b), upper = std::max(a, b);
    if (ballsInContact(balls[lower].position, balls[upper].position)) s.pairs.push_back(pairOf(lower, upper));
  };
  if (s.grid.moverCount() == 0 && liveCount == s.grid.entryCount()) {
    // Every ball the grid holds is live (the live tick with everything moving): each pair is
    // found once, from the ball whose entry comes first.
    s.grid.forEachNearPair(notePair);
  } else {
    for (int k = 0; k < liveCount; ++k) {
      const int a = s.live[k];
      s.grid.forEachNear(a, balls[a].position, [&](int b) {
        if (s.liveStamp[b] == pass && b < a) return;  // found from b's side
        notePair(a, b);
      });
    }
  }
  if (s.pairs.empty()) return;
  std::sort(s.pairs.begin(), s.pairs.end());

  const auto later = std::greater<int32_t>();
  size_t next = 0;
  int32_t previous = -1;
  while (next < s.pairs.size() || !s.laterPairs.empty()) {
    int32_t pair;
    if (s.laterPairs.empty() || (next < s.pairs.size() && s.pairs[next] < s.laterPairs.front())) {
      pair = s.pairs[next++];
    } else {
      std::pop_heap(s.laterPairs.begin(), s.laterPairs.end(), later);
      pair = s.laterPairs.back();
      s.laterPairs.pop_back();
    }
    if (pair == previous) continue;  // found twice
    previous = pair;
    const int i = pair >> pairShift, j = pair & ((1 << pairShift) - 1);
    if (trivialPair(balls[i], balls[j])) continue;
    const bool iRested = atRest(balls[i]), jRested = atRest(balls[j]);
    collideTouchingPair(balls[i], balls[j], touch, sounds);
    for (const int slot : {i, j}) {
      if (s.changedStamp[slot] == pass) continue;
      s.changedStamp[slot] = pass;
      s.changed[s.changedCount++] = static_cast<int16_t>(slot);
    }
    if (iRested && !atRest(balls[i])) propagate(s, balls, i, pair);
    if (jRested && !atRest(balls[j])) propagate(s, balls, j, pair);
  }
}

// A ball that was not live when the pass started has just been set moving by currentPair: its
// pairs with the other balls that were not live either, still to come in (i, j) order, now
// matter. Its pairs with live balls are listed already.
void CollisionEngine::propagate(State& s, const BallTable& balls, int slot, int32_t currentPair) {
  if (s.liveStamp[slot] == s.pass || s.propagatedStamp[slot] == s.pass) return;
  s.propagatedStamp[slot] = s.pass;
  s.grid.forEachNear(slot, balls[slot].position, [&](int t) {
    if (s.liveStamp[t] == s.pass) return;
    const int lower = std::min(slot, t), upper = std::max(slot, t);
    const int32_t pair = pairOf(lower, upper);
    if (pair <= currentPair || !ballsInContact(balls[lower].position, balls[upper].position)) return;
    s.laterPairs.push_back(pair);
    std::push_heap(s.laterPairs.begin(), s.laterPairs.end(), std::greater<int32_t>());
  });
}

}  // namespace morvane
