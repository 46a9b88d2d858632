#pragma once
// MatchHooks that remember what the rules asked for, in order.
#include <string>
#include <vector>

#include "rules/match_hooks.h"

namespace morvane {

struct RecordingHooks : MatchHooks {
  struct MatchEnd {
    int winner;
    std::string message;
  };
  void loadSounds() override { calls.push_back("loadSounds"); }
  void buildSphereMesh() override { calls.push_back("buildSphereMesh"); }
  void takeComputerTurn() override { calls.push_back("takeComputerTurn"); ++computerTurns; }
  void endMatch(int winner, const std::string& messageCp1250) override {
    calls.push_back("endMatch");
    matchEnds.push_back({winner, messageCp1250});
  }
  std::vector<std::string> calls;
  std::vector<MatchEnd> matchEnds;
  int computerTurns = 0;
};

}  // namespace morvane
