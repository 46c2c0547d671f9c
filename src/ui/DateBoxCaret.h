#pragma once
// The caret rules of the full-details dialog's date box ("##/##/##"): in overtype mode the box
// keeps one character selected at the caret, so that each digit typed replaces the character
// under the caret. The widget reports its key events in the classic virtual-key codes below and
// applies the answer; the rules themselves live here.

#include <optional>

namespace korvex {

namespace vk {
inline constexpr int Home = 36, Left = 37, Right = 39, Insert = 45;
inline constexpr int Digit0 = 48, Digit9 = 57;
inline constexpr int Numpad0 = 96, Numpad4 = 100, Numpad6 = 102, Numpad7 = 103, Numpad9 = 105;
}  // namespace vk

class DateBoxCaret {
public:
    // What the box has to do after a key-up.
    struct Action {
        std::optional<int> moveCaretTo;  // caret position first (counted from 0)
        bool selectOne = false;          // then select one character at the caret
        bool sendLeft = false;           // then send the box a Left arrow key (key down and up)
    };

    // The box text's last position a caret may select from: "dd/mm/yy" has 8 characters.
    static constexpr int kLength = 8;

    // The one-character selection never rests on a "/": it goes to the digit beyond it, in the
    // direction the caret was moving, and stays within 0..7.
    static int skipSeparator(int position, bool backwards);

    bool overtype() const { return overtype_; }
    bool pendingCorrection() const { return pending_; }

    // Key down: Insert without Shift, Control or Alt toggles overtype.
    void keyDown(int keyCode, bool shift, bool control, bool alt);

    // Key up with the caret where the box's own handling of the key left it. A caret move that
    // would leave the text (before 0) is not made.
    Action keyUp(int keyCode, int caret, bool numLockOn);

private:
    bool overtype_ = true;
    bool pending_ = false;
};

}  // namespace korvex
