#include "ui/qt/DateBox.h"

#include <QCoreApplication>
#include <algorithm>
#include <QKeyEvent>

namespace korvex::ui {

namespace {

struct ClassicKey {
    int code = 0;
    bool numLockOn = false;
};

// The classic virtual-key code of a key, and what the key tells about Num Lock: a keypad key
// that types a digit means Num Lock is on; a keypad key that moves the caret means it is off.
ClassicKey classicKey(const QKeyEvent* e) {
    const bool keypad = (e->modifiers() & Qt::KeypadModifier) != 0;
    const int k = e->key();
    if (k >= Qt::Key_0 && k <= Qt::Key_9) {
        return keypad ? ClassicKey{vk::Numpad0 + (k - Qt::Key_0), true}
                      : ClassicKey{vk::Digit0 + (k - Qt::Key_0), false};
    }
    switch (k) {
        case Qt::Key_Left: return {keypad ? vk::Numpad4 : vk::Left, false};
        case Qt::Key_Right: return {keypad ? vk::Numpad6 : vk::Right, false};
        case Qt::Key_Home: return {keypad ? vk::Numpad7 : vk::Home, false};
        case Qt::Key_Insert: return {vk::Insert, false};
        default: return {0, false};
    }
}

}  // namespace

DateBox::DateBox(QWidget* parent) : QLineEdit(parent) {
    setInputMask(QStringLiteral("99/99/99;_"));
    // Digits and slashes read left to right even inside a right-to-left dialog.
    setLayoutDirection(Qt::LeftToRight);
}

void DateBox::selectOneAt(int position) { setSelection(position, 1); }

int DateBox::caretPosition() const {
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void DateBox::keyPressEvent(QKeyEvent* event) {
    const ClassicKey key = classicKey(event);
    const Qt::KeyboardModifiers mods = event->modifiers();
    caret_.keyDown(key.code, (mods & Qt::ShiftModifier) != 0, (mods & Qt::ControlModifier) != 0,
                   (mods & Qt::AltModifier) != 0);
    // The caret rules were made for an edit control whose arrows move from the caret, ignoring
    // a selection (Qt's collapse a selection instead): move that way, so a Right arrow in
    // overtype mode goes one character on and a Left arrow one back.
    const bool plainArrow = (mods & ~Qt::KeypadModifier) == 0 &&
                            (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right);
    if (plainArrow && overtype()) {
        const int step = event->key() == Qt::Key_Right ? 1 : -1;
        const int target = std::clamp(cursorPosition() + step, 0, static_cast<int>(text().size()));
        setSelection(target, 0);  // drops the selection; unlike setCursorPosition, no snapping
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DateBox::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    if (event->isAutoRepeat()) return;
    const ClassicKey key = classicKey(event);
    const bool correction = caret_.pendingCorrection();
    const DateBoxCaret::Action a = caret_.keyUp(key.code, caretPosition(), key.numLockOn);
    int position = caretPosition();
    if (a.moveCaretTo) {
        position = *a.moveCaretTo;
        setSelection(position, 0);
    }
    if (a.selectOne) {
        // A step that ends here (no Left arrow still to come) does not stop on a "/".
        const bool backwards =
            !correction && (key.code == vk::Left || (key.code == vk::Numpad4 && !key.numLockOn));
        if (!a.sendLeft) position = DateBoxCaret::skipSeparator(position, backwards);
        selectOneAt(position);
    }
    if (a.sendLeft) {
        QCoreApplication::postEvent(this,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier));
        QCoreApplication::postEvent(
            this, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier));
    }
}

}  // namespace korvex::ui
