#pragma once
// A modal box runs its own event loop: the test arranges beforehand what to do once it appears.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace korvex::ui::test {

// Calls `act` with the first modal widget of type W that appears within five seconds.
template <typename W>
void whenModal(std::function<void(W*)> act) {
    auto* timer = new QTimer;
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, waited] {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (w == nullptr && (*waited += 10) <= 5000) return;
        timer->stop();
        timer->deleteLater();
        if (w != nullptr) act(w);
    });
    timer->start(10);
}

// Answers the next message box with `button`, keeping what it showed for the test.
struct SeenBox {
    bool seen = false;
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::LayoutDirection direction = Qt::LeftToRight;
};
inline std::shared_ptr<SeenBox> answerMessageBox(QMessageBox::StandardButton button) {
    auto seen = std::make_shared<SeenBox>();
    whenModal<QMessageBox>([seen, button](QMessageBox* box) {
        *seen = {true, box->text(), box->windowTitle(), box->icon(), box->layoutDirection()};
        box->button(button)->click();
    });
    return seen;
}

}  // namespace korvex::ui::test
