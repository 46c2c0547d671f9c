#include "ui/qt/TabCharFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "ui/qt/UiText.h"
#include "ui/qt/frmChequeData.h"

namespace korvex::ui {

TabCharFilter::TabCharFilter(int tabChar, QObject* parent) : QObject(parent), tabChar_(tabChar) {}

void TabCharFilter::setEnterChain(std::vector<QWidget*> chain) {
    chain_.assign(chain.begin(), chain.end());
}

void TabCharFilter::watch(QWidget* box) { box->installEventFilter(this); }

bool TabCharFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (box != nullptr && box->property(kMarkStart).isValid()) {
            // After the box's own focus handling, which may select everything.
            QTimer::singleShot(0, box, [box] {
                if (box->text() != box->property(kMarkText).toString()) return;
                const int start = box->property(kMarkStart).toInt();
                if (start < 0) {
                    box->deselect();
                } else {
                    box->setSelection(start, box->property(kMarkLength).toInt());
                }
            });
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && !chain_.empty()) {
        for (std::size_t i = 0; i + 1 < chain_.size(); ++i) {
            if (chain_[i] == watched && chain_[i + 1]) {
                chain_[i + 1]->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
        return true;
    }
    // Tab, Enter and the Tab this filter posts never count as the typed character: focus keys
    // are handled before a box sees them.
    if (enter || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
    if (typedByte(key->text()) == tabChar_) {
        // Posted, not sent: the box takes the character first, then the focus moves on.
        QCoreApplication::postEvent(watched,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
    }
    return false;
}

}  // namespace korvex::ui
