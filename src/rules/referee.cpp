#include "rules/referee.h"


#include "math/truncate.h"
#include "rules/scoring.h"
#include "rules/setup.h"

namespace morvane {
namespace {

void takeCueBallOff(World& world, MatchState& match, const MatchSettings& settings) {
  scorePocketedBall(world.balls[cueBallSlot], match, settings);
}

std::string matchEndMessage(const std::string& nameCp1250) {
  // "játékos" in Windows-1250: á = 0xE1, é = 0xE9.
  return nameCp1250 + " j\xE1t\xE9kos nyerte a meccset!";
}

// Ends the match when someone holds more than half of the rounds. True when it did.
bool matchOver(const MatchState& match, const MatchSettings& settings, MatchHooks& hooks) {
  const int32_t half = settings.roundsPerMatch / 2;
  if (match.roundsWon[0] <= half && match.roundsWon[1] <= half) return false;
  int winner = -1;
  std::string name;
  if (match.roundsWon[0] > match.roundsWon[1]) {
    winner = 0;
    name = settings.player1Name;
  } else if (match.roundsWon[1] > match.roundsWon[0]) {
    winner = 1;
    name = settings.player2Name;
  }
  hooks.endMatch(winner, matchEndMessage(name));
  return true;
}

bool roundOver(World& world, MatchState& match, const MatchSettings& settings, Random& random,
               MatchHooks& hooks) {
  if (!(noObjectBallsLeft(world) || !roundUndecided(world, match, settings))) return false;
  if (!allBallsAtRest(world) || match.foulCommitted != 0) return false;

  int winner = -1;
  if (match.scores[0] > match.scores[1]) winner = 0;
  if (match.scores[0] < match.scores[1]) winner = 1;
  if (winner >= 0) ++match.roundsWon[winner];

  takeCueBallOff(world, match, settings);
  match.foulCommitted = 0;
  match.ballInHand = 1;
  layOutRound(world, match, settings, random, hooks);

  if (winner < 0) {
    // A drawn round awards nothing; the player who was not to move starts the next one.
    match.currentPlayer = 1 - match.currentPlayer;
  } else {
    match.currentPlayer = settings.winnerStartsNextRound != 0 ? winner : 1 - winner;
  }
  return true;
}

void evaluateShot(World& world, MatchState& match, const MatchSettings& settings) {
  const int p = match.currentPlayer;
  if (match.foulCommitted != 0 || match.cueBallTouched == 0) {
    if (noObjectBallsLeft(world)) {
      // The foul took the last coloured ball: a red goes back to the centre so the round goes on.
      world.balls[0].init(Vec3{}, Vec3{}, colourRed);
    }
    takeCueBallOff(world, match, settings);
    match.scores[p] = match.turnStartScores[p];
    match.multipliers[p] = 1.0f;
    match.foulCommitted = 0;
    match.currentPlayer = 1 - p;
    match.ballInHand = 1;
  } else if (match.ballPocketedThisShot == 0) {
    match.multipliers[p] = 1.0f;
    match.currentPlayer = 1 - p;
    match.turnStartScores = match.scores;
  }
  // A success changes nothing: the same player shoots again with the turn's points at stake.
  match.shotInProgress = 0;
  match.targetColour = lowestColourOnTable(world);
}

}  // namespace

void strikeCueBall(World& world, MatchState& match, CueState& cue, SoundSink& sounds) {
  if (!allBallsAtRest(world) || match.ballInHand != 0) return;
  if (cue.shotStrength > maxShotStrength) cue.shotStrength = maxShotStrength;
  match.pocketStreak = 0;
  match.shotInProgress = 1;
  match.cueBallTouched = 0;
  match.ballPocketedThisShot = 0;
  match.breakShotPending = 0;
  const float speed = cue.shotStrength * 100.0f / length(cue.cueDirection);
  world.balls[cueBallSlot].addVelocity(cue.cueDirection * speed);
  sounds.play(SoundId::shot);
}

void fireComputerShot(World& world, MatchState& match, CueState& cue, SoundSink& sounds) {
  match.computerShotPending = 0;
  strikeCueBall(world, match, cue, sounds);
}

void updateRules(World& world, MatchState& match, const MatchSettings& settings, Random& random,
                 MatchHooks& hooks) {
  if (matchOver(match, settings, hooks)) return;
  if (roundOver(world, match, settings, random, hooks)) return;
  if (match.shotInProgress == 0 && match.computerShotPending == 0 && computerToMove(match, settings)) {
    hooks.takeComputerTurn();
  }
  if (match.shotInProgress != 0 && allBallsAtRest(world)) evaluateShot(world, match, settings);
}

bool noObjectBallsLeft(const World& world) {
  for (int s = 0; s < cueBallSlot; ++s) {
    if (world.balls[s].active != 0) return false;
  }
  return true;
}

bool roundUndecided(const World& world, const MatchState& match, const MatchSettings& settings) {
  if (settings.multiplierEnabled != 0) return true;
  const float lo = match.scores[0] < match.scores[1] ? match.scores[0] : match.scores[1];
  const float hi = match.scores[0] < match.scores[1] ? match.scores[1] : match.scores[0];
  return lo + static_cast<float>(remainingPoints(world)) >= hi;
}

int32_t winningScore(const World& world, const MatchState& match) {
  const int p = match.currentPlayer;
  const int64_t own = truncateToInt(match.scores[p]);
  const int64_t opp = truncateToInt(match.scores[1 - p]);
  const int64_t remaining = remainingPoints(world);
  // 64-bit so that absurd scores cannot overflow; the quotient truncates toward zero.
  const int64_t result = opp + (remaining - opp + own) / 2;
  return static_cast<int32_t>(result);
}

bool nextPocketWinsRound(const World& world, const MatchState& match) {
  const int64_t own = truncateToInt(match.scores[match.currentPlayer]);
  return own + colourValue(match.targetColour) > winningScore(world, match);
}

bool nextPocketWinsMatch(const World& world, const MatchState& match, const MatchSettings& settings) {
  return nextPocketWinsRound(world, match) &&
         (static_cast<int64_t>(match.roundsWon[match.currentPlayer]) + 1) * 2 > settings.roundsPerMatch;
}

bool cueBallPlacementOk(const World& world, Vec3 point) {
  for (const Ball& ball : world.balls) {
    if (ball.active != 0 && length(ball.position - point) < contactDistance) return false;
  }
  for (const Pocket& pocket : world.pockets) {
    if (pocket.active != 0 && pocket.contains(point)) return false;
  }
  const float h = world.arenaHalfSize;
  return point.x >= -h && point.x <= h && point.y >= -h && point.y <= h && point.z >= -h && point.z <= h;
}

bool computerToMove(const MatchState& match, const MatchSettings& settings) {
  return (match.currentPlayer == 1 && settings.player2Computer != 0) ||
         (match.currentPlayer == 0 && settings.player1Computer != 0);
}

}  // namespace morvane
