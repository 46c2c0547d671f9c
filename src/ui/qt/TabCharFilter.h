#pragma once
// Key handling shared by the cheque dialogs' text boxes: the profile's TabChar moves the focus on
// (the box still takes the character, the Tab arrives after it), and in the full-details dialog
// Enter walks a chain of controls when TabChar is 13.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace korvex::ui {

class TabCharFilter : public QObject {
    Q_OBJECT
public:
    TabCharFilter(int tabChar, QObject* parent);

    // Enter in a watched box moves the focus to the next widget of `chain` (Enter is consumed).
    void setEnterChain(std::vector<QWidget*> chain);
    void watch(QWidget* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int tabChar_;
    std::vector<QPointer<QWidget>> chain_;
};

}  // namespace korvex::ui
