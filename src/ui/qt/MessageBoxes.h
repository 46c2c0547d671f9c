#pragma once
// The program's message and input boxes: Hebrew, right-aligned, read right to left, on top of
// the target application.

#include <QString>

#include "platform/OperatorUi.h"

class QWidget;

namespace korvex::ui {

MsgResult showMessageBox(QWidget* parent, const QString& text, const QString& title, MsgIcon icon,
                         MsgButtons buttons);

// Returns the text typed, or an empty text when the operator cancelled.
QString showInputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText);

}  // namespace korvex::ui
