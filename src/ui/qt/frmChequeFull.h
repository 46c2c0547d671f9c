#pragma once
// The full cheque details dialog: the cheque's picture, the four code-line fields, the amount
// and the masked date box; OK checks the date and hands back the code line, amount and date.

#include <QDate>
#include <QDialog>
#include <memory>
#include <string>

#include "platform/OperatorUi.h"
#include "ui/AutoResize.h"

class QLineEdit;
class QCheckBox;
class QPushButton;

namespace korvex::ui {

class DateBox;
class ImageBox;

class frmChequeFull : public QDialog {
    Q_OBJECT
public:
    // `today` fills the date box; tests pass a fixed day.
    frmChequeFull(const ChequeDialogInput& input, QDate today, QWidget* parent = nullptr);
    ~frmChequeFull() override;

    bool Cancelled = false;
    std::string MagtekLine, NonusLine, AmountText, DateText;
    bool verifyCodeTicked() const;
    ChequeDialogResult result() const;
    // False when the image was missing or unreadable; the dialog is then shorter by the
    // picture's height.
    bool imageLoaded() const { return imageLoaded_; }
    const AutoResize* autoResize() const { return autoResize_.get(); }

    QLineEdit* ChequeNum = nullptr;
    QLineEdit* BankNum = nullptr;
    QLineEdit* BranchNum = nullptr;
    QLineEdit* AccountNum = nullptr;
    QLineEdit* txtAmount = nullptr;
    DateBox* txtDate = nullptr;
    QCheckBox* VerifyCode = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    ImageBox* Image1 = nullptr;

public slots:
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void cmdOK_Click();
    void replaceFinalTsadi(const QString& text);

    bool imageLoaded_ = false;
    std::unique_ptr<AutoResizeTarget> resizeTarget_;
    std::unique_ptr<AutoResize> autoResize_;
};

}  // namespace korvex::ui
