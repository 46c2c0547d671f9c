#include "ui/DateBoxCaret.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

struct Expect {
    std::optional<int> moveTo;
    bool selectOne;
    bool sendLeft;
};

void check(const DateBoxCaret::Action& a, const Expect& e, const char* what) {
    EXPECT_EQ(a.moveCaretTo, e.moveTo) << what;
    EXPECT_EQ(a.selectOne, e.selectOne) << what;
    EXPECT_EQ(a.sendLeft, e.sendLeft) << what;
}

TEST(DateBoxCaret, KeyUpRulesInOvertype) {
    const struct {
        const char* what;
        int key, caret;
        bool numLock;
        Expect expect;
    } cases[] = {
        {"top-row digit", 53, 3, false, {std::nullopt, true, false}},
        {"top-row digit at the end", 53, 8, false, {std::nullopt, false, false}},
        {"keypad digit, Num Lock on", vk::Numpad0 + 5, 3, true, {std::nullopt, true, false}},
        {"keypad 5, Num Lock off", vk::Numpad0 + 5, 3, false, {std::nullopt, false, false}},
        {"left arrow", vk::Left, 3, false, {2, true, false}},
        {"left arrow at 0", vk::Left, 0, false, {std::nullopt, true, false}},
        {"keypad 4, Num Lock off", vk::Numpad4, 3, false, {2, true, false}},
        {"keypad 4, Num Lock on is a digit", vk::Numpad4, 3, true, {std::nullopt, true, false}},
        {"right arrow", vk::Right, 4, false, {std::nullopt, true, true}},
        {"right arrow at the end", vk::Right, 8, false, {7, true, false}},
        {"keypad 6, Num Lock off", vk::Numpad6, 4, false, {std::nullopt, true, true}},
        {"home", vk::Home, 6, false, {0, true, false}},
        {"keypad 7, Num Lock off", vk::Numpad7, 6, false, {0, true, false}},
        {"other key", 65, 2, false, {std::nullopt, false, false}},
        {"other key, Num Lock on", 65, 2, true, {std::nullopt, false, false}},
    };
    for (const auto& c : cases) {
        DateBoxCaret caret;
        check(caret.keyUp(c.key, c.caret, c.numLock), c.expect, c.what);
    }
}

TEST(DateBoxCaret, RightArrowCorrectionTakesTheNextKeyUp) {
    DateBoxCaret caret;
    const auto right = caret.keyUp(vk::Right, 5, false);
    EXPECT_TRUE(right.sendLeft);
    EXPECT_TRUE(caret.pendingCorrection());
    // The Left arrow sent back: one left and select, whatever the key says.
    check(caret.keyUp(vk::Left, 5, false), {4, true, false}, "correction");
    EXPECT_FALSE(caret.pendingCorrection());
    check(caret.keyUp(vk::Left, 4, false), {3, true, false}, "next left is ordinary");
}

TEST(DateBoxCaret, SelectionSkipsTheSeparators) {
    const struct {
        int position;
        bool backwards;
        int expected;
    } cases[] = {{2, false, 3}, {2, true, 1}, {5, false, 6}, {5, true, 4},
                 {0, true, 0},  {4, true, 4}, {8, false, 7}, {-1, true, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(DateBoxCaret::skipSeparator(c.position, c.backwards), c.expected) << c.position;
    }
}

TEST(DateBoxCaret, InsertTogglesOvertypeOnlyWithoutModifiers) {
    const struct {
        bool shift, control, alt, overtypeAfter;
    } cases[] = {
        {false, false, false, false},
        {true, false, false, true},
        {false, true, false, true},
        {false, false, true, true},
    };
    for (const auto& c : cases) {
        DateBoxCaret caret;
        caret.keyDown(vk::Insert, c.shift, c.control, c.alt);
        EXPECT_EQ(caret.overtype(), c.overtypeAfter);
    }
    DateBoxCaret caret;
    caret.keyDown(vk::Insert, false, false, false);
    check(caret.keyUp(53, 2, false), {std::nullopt, false, false}, "insert mode: digits");
    check(caret.keyUp(vk::Home, 2, false), {std::nullopt, false, false}, "insert mode: home");
    caret.keyDown(vk::Insert, false, false, false);
    check(caret.keyUp(53, 2, false), {std::nullopt, true, false}, "overtype again");
}

}  // namespace
}  // namespace korvex
