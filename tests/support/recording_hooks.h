#pragma once
// MatchHooks that remember what the rules asked for, in order.
#include <string>
#include <utility>
#include <vector>

#include "rules/match_hooks.h"

namespace morvane {

struct RecordingHooks : MatchHooks {
  void loadSounds() override { calls.push_back("loadSounds"); }
  void buildSphereMesh() override { calls.push_back("buildSphereMesh"); }
  void takeComputerTurn() override { calls.push_back("takeComputerTurn"); ++computerTurns; }
  void endMatch(int winner, const std::string& messageCp1250) override {
    calls.push_back("endMatch");
    matchEnds.emplace_back(winner, messageCp1250);
  }
  std::vector<std::string> calls;
  std::vector<std::pair<int, std::string>> matchEnds;  // the winner and the message
  int computerTurns = 0;
};

}  // namespace morvane
