#pragma once
// The details window: the last text sent to the target application, the reader's raw data, the
// profile list, and a box for trying a reader message by hand. Created on first use and kept;
// closing it only resets its contents, minimising hides it.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "ui/ShellHooks.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace korvex::ui {

class ImageBox;

class frmDetails : public QWidget {
    Q_OBJECT
public:
    explicit frmDetails(QWidget* parent = nullptr);

    void setHooks(DetailsHooks hooks) { hooks_ = std::move(hooks); }

    void clearProfiles();
    void addProfile(const std::string& name);
    // Selects entry index (0-based) without calling back; false when there is none.
    bool selectProfile(int32_t index);
    std::string readerData() const;
    void setReaderData(const std::string& text);  // caret to the end
    void setLastDataSent(const std::string& text);
    // ShowDetails' last step: shown, restored, in front, focused (twice, as some window
    // managers only raise a window on the second request).
    void showDetails();
    // The contents the window starts with (sample message, empty boxes, placeholder list).
    void resetContents();

    void Copy_Click();
    void TryString_Click();

    ImageBox* picOvraLogo = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cmbProfiles = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* LastDataSent = nullptr;
    QPushButton* Copy = nullptr;
    QLabel* Label5 = nullptr;
    QPlainTextEdit* ReaderData = nullptr;
    QLineEdit* ManualData = nullptr;
    QPushButton* TryString = nullptr;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    DetailsHooks hooks_;
};

}  // namespace korvex::ui
