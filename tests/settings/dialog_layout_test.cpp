#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/dialog_layout.h"

namespace morvane {
namespace {

TEST(DialogLayout, InputsExplainThemselvesAndTabWalksThemInOrder) {
  EXPECT_EQ(std::string(controlHelpText(104)), "A kezdő játékos nevét kell ide beírni. ");
  for (int id : difficultyRadioIds) EXPECT_EQ(controlHelpText(id), controlHelpText(116)) << id;
  for (const DialogControl& c : dialogControls) {
    EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.width <= dialogWidthUnits &&
                c.y + c.height <= dialogHeightUnits) << c.id;
    const bool passive = c.kind == ControlKind::pushButton || c.kind == ControlKind::groupBox ||
                         c.kind == ControlKind::staticText;
    EXPECT_EQ(controlHelpText(c.id) == nullptr, passive) << c.id;
    EXPECT_EQ(findControl(c.id), &c) << "duplicate id " << c.id;
  }
  EXPECT_EQ(findControl(12345), nullptr);

  std::vector<int> stops;
  for (const DialogControl& c : dialogControls) {
    if (isTabStop(c.kind)) stops.push_back(c.id);
  }
  EXPECT_EQ(stops, (std::vector<int>{116, 117, 118, 123, 124, 1, 104, 105, 106, 109, 111, 113, 114,
                                     120, 122, 2, 125, 126, 127}));
  // The radio buttons follow their group box directly, so the toolkit makes them one group.
  const DialogControl* next = findControl(controlId::difficultyGroup) + 1;
  for (int id : difficultyRadioIds) EXPECT_EQ((next++)->id, id);
  EXPECT_NE(next->kind, ControlKind::radioButton);
}

}  // namespace
}  // namespace morvane
