#include "ui/DateBoxCaret.h"

namespace korvex {

int DateBoxCaret::skipSeparator(int position, bool backwards) {
    if (position == 2 || position == 5) position += backwards ? -1 : 1;
    if (position < 0) return 0;
    return position > kLength - 1 ? kLength - 1 : position;
}

void DateBoxCaret::keyDown(int keyCode, bool shift, bool control, bool alt) {
    if (keyCode == vk::Insert && !shift && !control && !alt) overtype_ = !overtype_;
}

DateBoxCaret::Action DateBoxCaret::keyUp(int keyCode, int caret, bool numLockOn) {
    Action a;
    auto moveLeft = [&] {
        if (caret > 0) a.moveCaretTo = caret - 1;
        a.selectOne = true;
    };
    if (pending_) {
        // The Left arrow sent after a Right arrow arrives here: step back onto the character.
        pending_ = false;
        moveLeft();
        return a;
    }
    if (!overtype_) return a;
    const bool topDigit = keyCode >= vk::Digit0 && keyCode <= vk::Digit9;
    const bool padDigit = keyCode >= vk::Numpad0 && keyCode <= vk::Numpad9;
    if (caret < kLength && (topDigit || (padDigit && numLockOn))) {
        a.selectOne = true;
    } else if (keyCode == vk::Left || (keyCode == vk::Numpad4 && !numLockOn)) {
        moveLeft();
    } else if (keyCode == vk::Right || (keyCode == vk::Numpad6 && !numLockOn)) {
        a.selectOne = true;
        if (caret < kLength) {
            pending_ = true;
            a.sendLeft = true;
        } else {
            a.moveCaretTo = kLength - 1;
        }
    } else if (keyCode == vk::Home || (keyCode == vk::Numpad7 && !numLockOn)) {
        a.moveCaretTo = 0;
        a.selectOne = true;
    }
    return a;
}

}  // namespace korvex
