#pragma once
// The full-details dialog's date box: mask "##/##/##" with "_" for a missing digit, and the
// overtype caret of DateBoxCaret (one character kept selected at the caret).

#include <QLineEdit>

#include "ui/DateBoxCaret.h"

namespace korvex::ui {

class DateBox : public QLineEdit {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

    bool overtype() const { return caret_.overtype(); }
    // The text as the operator sees it, "_" in every missing place ("12/__/26").
    QString boxText() const { return displayText(); }
    // Puts the caret at `position` with one character selected.
    void selectOneAt(int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    int caretPosition() const;
    DateBoxCaret caret_;
};

}  // namespace korvex::ui
