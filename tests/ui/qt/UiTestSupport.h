#pragma once
// Helpers for driving modal windows from a test: a modal box runs its own event loop, so the
// test arranges beforehand what to do once it appears.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace korvex::ui::test {

// Calls `act` with the first modal widget of type W that appears (polling every 10 ms, for at
// most `timeoutMs`). Returns a flag the test checks to see that it did appear.
template <typename W>
std::shared_ptr<bool> whenModal(std::function<void(W*)> act, int timeoutMs = 5000) {
    auto seen = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, seen, waited, timeoutMs] {
        *waited += 10;
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget())) {
            *seen = true;
            timer->stop();
            timer->deleteLater();
            act(w);
        } else if (*waited > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
    return seen;
}

// Answers the next message box with `button`, keeping its text and title for the test.
struct SeenBox {
    bool seen = false;
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::LayoutDirection direction = Qt::LeftToRight;
};
inline std::shared_ptr<SeenBox> answerMessageBox(QMessageBox::StandardButton button) {
    auto seen = std::make_shared<SeenBox>();
    whenModal<QMessageBox>([seen, button](QMessageBox* box) {
        seen->seen = true;
        seen->text = box->text();
        seen->title = box->windowTitle();
        seen->icon = box->icon();
        seen->direction = box->layoutDirection();
        if (auto* b = box->button(button))
            b->click();
        else
            box->reject();
    });
    return seen;
}

}  // namespace korvex::ui::test
