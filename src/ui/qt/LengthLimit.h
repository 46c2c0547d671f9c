#pragma once
// A box's character limit that binds the operator's typing only. The reader's fields are put in
// whole even when longer (a misread bank group can be), so nothing the reader sent is cut off;
// the operator can then shorten the text but not lengthen it past max(limit, its length).

#include <QLineEdit>
#include <QValidator>
#include <algorithm>

namespace korvex::ui {

class LengthLimit : public QValidator {
public:
    LengthLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit), ceiling_(limit) {}
    // Sets the box's text (not validated) and raises the ceiling to its length.
    void fill(QLineEdit* box, const QString& text) {
        ceiling_ = std::max(limit_, static_cast<int>(text.size()));
        box->setText(text);
    }
    State validate(QString& input, int&) const override {
        return input.size() <= ceiling_ ? Acceptable : Invalid;
    }
    // Shrinks the ceiling as the operator shortens the text.
    void shrinkTo(int length) { ceiling_ = std::max(limit_, std::min(ceiling_, length)); }

private:
    int limit_;
    int ceiling_;
};

}  // namespace korvex::ui
