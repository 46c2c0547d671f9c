#pragma once
// The manual cheque entry dialog: the four code-line fields with their unreadable parts
// selected; OK rebuilds the code line in the reader's notation.

#include <QDialog>
#include <string>

#include "platform/OperatorUi.h"

class QLabel;
class QLineEdit;
class QCheckBox;
class QPushButton;

namespace korvex::ui {

class frmChequeData : public QDialog {
    Q_OBJECT
public:
    explicit frmChequeData(const ChequeDialogInput& input, QWidget* parent = nullptr);

    // Results, read after the modal show.
    bool Cancelled = false;
    std::string MagtekLine, NonusLine;
    bool verifyCodeTicked() const;
    ChequeDialogResult result() const;

    QLineEdit* ChequeNum = nullptr;
    QLineEdit* BankNum = nullptr;
    QLineEdit* BranchNum = nullptr;
    QLineEdit* AccountNum = nullptr;
    QCheckBox* VerifyCode = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

public slots:
    // Cancel, Escape and closing through the frame.
    void reject() override;

private:
    void cmdOK_Click();
};

// Dynamic properties of a box that carry its mark.
inline constexpr const char* kMarkStart = "korvexMarkStart";
inline constexpr const char* kMarkLength = "korvexMarkLength";
inline constexpr const char* kMarkText = "korvexMarkText";

// Fills a box and selects its unreadable part (MarkMissingData).
void fillAndMark(QLineEdit* box, const std::string& cp1255Text);

}  // namespace korvex::ui
