#include "ui/DateBoxCaret.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

using Act = std::tuple<std::optional<int>, bool, bool>;  // move to, select one, send Left
const std::optional<int> stay;

Act act(const DateBoxCaret::Action& a) { return {a.moveCaretTo, a.selectOne, a.sendLeft}; }

TEST(DateBoxCaret, KeyUpRulesInOvertype) {
    const struct {
        const char* what;
        int key, caret;
        bool numLock;
        Act expect;
    } cases[] = {{"top-row digit", 53, 3, false, {stay, true, false}},
                 {"keypad digit, Num Lock on", vk::Numpad0 + 5, 3, true, {stay, true, false}},
                 {"left arrow", vk::Left, 3, false, {2, true, false}},
                 {"keypad 4, Num Lock off", vk::Numpad4, 3, false, {2, true, false}},
                 {"right arrow", vk::Right, 4, false, {stay, true, true}},
                 {"right arrow at the end", vk::Right, 8, false, {7, true, false}},
                 {"home", vk::Home, 6, false, {0, true, false}},
                 {"other key", 65, 2, false, {stay, false, false}}};
    for (const auto& c : cases)
        EXPECT_EQ(act(DateBoxCaret().keyUp(c.key, c.caret, c.numLock)), c.expect) << c.what;
}

TEST(DateBoxCaret, RightArrowCorrectionTakesTheNextKeyUp) {
    DateBoxCaret caret;
    caret.keyUp(vk::Right, 5, false);
    // The Left arrow sent back: one left and select, whatever key the release reports.
    EXPECT_EQ(act(caret.keyUp(65, 5, false)), Act(4, true, false));
    EXPECT_FALSE(caret.pendingCorrection());
}

TEST(DateBoxCaret, SelectionSkipsTheSeparators) {
    const std::tuple<int, bool, int> cases[] = {
        {2, false, 3}, {5, true, 4}, {4, true, 4}, {8, false, 7}, {-1, true, 0}};
    for (const auto& [position, backwards, expected] : cases) {
        EXPECT_EQ(DateBoxCaret::skipSeparator(position, backwards), expected) << position;
    }
}

TEST(DateBoxCaret, InsertTogglesOvertypeOnlyWithoutModifiers) {
    DateBoxCaret caret;
    caret.keyDown(vk::Insert, true, false, false);  // Shift+Insert pastes; it does not toggle
    caret.keyDown(vk::Insert, false, false, false);
    EXPECT_FALSE(caret.overtype());
    EXPECT_EQ(act(caret.keyUp(53, 2, false)), Act(stay, false, false));  // insert mode: digits
}

}  // namespace
}  // namespace korvex
