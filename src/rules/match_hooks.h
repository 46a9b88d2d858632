#pragma once
// What the rules ask of the rest of the game: sounds and the ball mesh at every set-up, the
// computer's turn, and the on-screen end of the match. Each does nothing by default, so the
// rules run on their own in tests and in the computer's trials.
#include <string>

namespace morvane {

class MatchHooks {
 public:
  virtual ~MatchHooks() = default;
  // Reloads the five sound clips (every round set-up).
  virtual void loadSounds() {}
  // Rebuilds the table of sphere points the balls are drawn with (every round set-up).
  virtual void buildSphereMesh() {}
  // Plays the computer's turn for the player to move, inside the current tick.
  virtual void takeComputerTurn() {}
  // The match is decided: winner 0 or 1 (-1 if nobody is ahead), and the Windows-1250 message
  // "<name> játékos nyerte a meccset!". The live game shows it and starts anew; never returns.
  virtual void endMatch(int winner, const std::string& messageCp1250) {
    (void)winner;
    (void)messageCp1250;
  }
};

}  // namespace morvane
