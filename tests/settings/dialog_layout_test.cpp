#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "settings/dialog_layout.h"

namespace morvane {
namespace {

bool inside(const DialogControl& inner, const DialogControl& outer) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

TEST(DialogLayout, HelpTextsBelongToTheirControls) {
  EXPECT_EQ(std::string(controlHelpText(104)), "A kezdő játékos nevét kell ide beírni. ");
  const std::string levelHelp = controlHelpText(116);
  for (int id : difficultyRadioIds) EXPECT_EQ(controlHelpText(id), levelHelp) << id;

  // Buttons, labels and frames explain nothing; every help text names a real control.
  int withHelp = 0;
  for (const DialogControl& c : dialogControls) {
    const bool explains = controlHelpText(c.id) != nullptr;
    withHelp += explains ? 1 : 0;
    if (c.kind == ControlKind::pushButton || c.kind == ControlKind::groupBox ||
        c.kind == ControlKind::staticText) {
      EXPECT_FALSE(explains) << c.id;
    } else {
      EXPECT_TRUE(explains) << c.id;
    }
  }
  EXPECT_EQ(withHelp, 17);
  EXPECT_EQ(controlHelpText(0), nullptr);
  EXPECT_EQ(controlHelpText(999), nullptr);
}

TEST(DialogLayout, ControlsFitAndTheRadioButtonsSitInTheirGroup) {
  std::set<int> ids;
  const DialogControl dialog{0, ControlKind::groupBox, nullptr, 0, 0, dialogWidthUnits,
                             dialogHeightUnits};
  for (const DialogControl& c : dialogControls) {
    EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id " << c.id;
    EXPECT_TRUE(inside(c, dialog)) << c.id;
    EXPECT_EQ(c.labelUtf8 == nullptr,
              c.kind == ControlKind::edit || c.kind == ControlKind::digitEdit)
        << c.id;
  }

  const DialogControl* group = findControl(controlId::difficultyGroup);
  ASSERT_NE(group, nullptr);
  // The radio buttons follow their group box directly and in level order, so the toolkit can
  // make them the children of one exclusive group.
  const DialogControl* next = group + 1;
  for (int id : difficultyRadioIds) {
    EXPECT_EQ(next->id, id);
    EXPECT_EQ(next->kind, ControlKind::radioButton);
    EXPECT_TRUE(inside(*next, *group)) << id;
    ++next;
  }
  EXPECT_NE(next->kind, ControlKind::radioButton);
  EXPECT_EQ(findControl(controlId::arenaSize)->kind, ControlKind::digitEdit);
  EXPECT_EQ(findControl(12345), nullptr);
}

TEST(DialogLayout, TabWalksTheControlsInTemplateOrder) {
  std::vector<int> stops;
  for (const DialogControl& c : dialogControls) {
    if (isTabStop(c.kind)) stops.push_back(c.id);
  }
  const std::vector<int> expected = {116, 117, 118, 123, 124, 1,   104, 105, 106, 109,
                                     111, 113, 114, 120, 122, 2,   125, 126, 127};
  EXPECT_EQ(stops, expected);
}

}  // namespace
}  // namespace morvane
