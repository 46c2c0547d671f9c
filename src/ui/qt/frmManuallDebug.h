#pragma once
// The bank-selection debug window (run with /NOCHK): bank, branch and account are picked or
// typed, "Cont" hands them to the cheque pipeline, "Exit" ends the program at once.

#include <QDialog>
#include <functional>

#include "platform/OperatorUi.h"

class QComboBox;
class QPushButton;

namespace korvex::ui {

class frmManuallDebug : public QDialog {
    Q_OBJECT
public:
    // `terminate` ends the process without the orderly shutdown; tests pass a recorder.
    explicit frmManuallDebug(std::function<void(int)> terminate, QWidget* parent = nullptr);

    // Shows the window modally and returns the three texts of the last "Cont". Closing the
    // window through its frame continues with the boxes as they stand.
    DebugWindowResult run();
    const DebugWindowResult& results() const { return results_; }

    QComboBox* cmbBank = nullptr;
    QComboBox* cmbBranch = nullptr;
    QComboBox* cmbAcc = nullptr;
    QPushButton* cmdCont = nullptr;
    QPushButton* Command2 = nullptr;

public slots:
    void reject() override;

private:
    void cmdCont_Click();

    std::function<void(int)> terminate_;
    DebugWindowResult results_;
};

// Ends the process at once: output flushed, no handlers, no shutdown file.
[[noreturn]] void terminateAtOnce(int exitCode);

}  // namespace korvex::ui
