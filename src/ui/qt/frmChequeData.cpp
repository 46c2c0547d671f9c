#include "ui/qt/frmChequeData.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/ChequeDialogs.h"
#include "ui/qt/TabCharFilter.h"
#include "ui/qt/UiText.h"

namespace korvex::ui {

void fillAndMark(QLineEdit* box, const std::string& cp1255Text) {
    box->setText(fromCp1255(cp1255Text));
    // One Windows-1255 byte is one character of the box, so the positions carry over.
    // A box drops its selection when it loses the focus, and selects everything when reached
    // with Tab; TabCharFilter puts the mark back (or, without one, no selection at all, so
    // typing does not wipe a good field) as long as the text is still the reader's.
    const auto sel = MarkMissingData(cp1255Text);
    if (sel) box->setSelection(sel->start, sel->length);
    box->setProperty(kMarkStart, sel ? sel->start : -1);
    box->setProperty(kMarkLength, sel ? sel->length : 0);
    box->setProperty(kMarkText, box->text());
}

namespace {

QLabel* label(QWidget* parent, const char* name, const char* utf8, QRect where) {
    auto* l = new QLabel(QString::fromUtf8(utf8), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(where);
    return l;
}

QLineEdit* box(QWidget* parent, const char* name, QRect where) {
    auto* b = new QLineEdit(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(where);
    return b;
}

}  // namespace

frmChequeData::frmChequeData(const ChequeDialogInput& input, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmChequeData"));
    setWindowTitle(QString::fromUtf8("הכנסת פרטי צ'ק"));
    setLayoutDirection(Qt::RightToLeft);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(440, 250);

    auto* top = label(this, "Label1",
                      "הצ'ק שהועבר אינו קריא. נא למלא את פרטי הצ'ק הנכונים. יש לשים לב לאפסים גם "
                      "בתחילת המספר. ניתן לעבור בין השדות עם מקש הרווח ולסיים בלחיצת אנטר.",
                      QRect(10, 8, 420, 54));
    top->setWordWrap(true);
    // Labels at the right, boxes beside them, buttons at the left: OK above Cancel.
    const char* captions[] = {"מס' צ'ק", "מס' בנק", "מס' סניף", "מס' חשבון"};
    const char* labelNames[] = {"Label2", "Label3", "Label4", "Label5"};
    const char* boxNames[] = {"ChequeNum", "BankNum", "BranchNum", "AccountNum"};
    QLineEdit* boxes[4];
    for (int i = 0; i < 4; ++i) {
        const int y = 72 + i * 32;
        label(this, labelNames[i], captions[i], QRect(330, y, 100, 24));
        boxes[i] = box(this, boxNames[i], QRect(150, y, 170, 24));
    }
    ChequeNum = boxes[0];
    BankNum = boxes[1];
    BranchNum = boxes[2];
    AccountNum = boxes[3];

    VerifyCode = new QCheckBox(this);
    VerifyCode->setObjectName(QStringLiteral("VerifyCode"));
    VerifyCode->setGeometry(10, 206, 420, 24);
    VerifyCode->setVisible(false);

    cmdOK = new QPushButton(QString::fromUtf8("אישור"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(10, 72, 100, 28);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QString::fromUtf8("ביטול"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(10, 106, 100, 28);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &frmChequeData::reject);

    setTabOrder(ChequeNum, BankNum);
    setTabOrder(BankNum, BranchNum);
    setTabOrder(BranchNum, AccountNum);
    setTabOrder(AccountNum, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, VerifyCode);

    auto* filter = new TabCharFilter(input.TabChar, this);
    for (QLineEdit* b : boxes) filter->watch(b);

    fillAndMark(ChequeNum, input.ChequeNum);
    fillAndMark(BankNum, input.BankNum);
    fillAndMark(BranchNum, input.BranchNum);
    fillAndMark(AccountNum, input.AccountNum);
    if (!input.verifyCaption.empty()) {
        VerifyCode->setText(fromCp1255(input.verifyCaption));
        VerifyCode->setVisible(true);
    }
    ChequeNum->setFocus();
}

bool frmChequeData::verifyCodeTicked() const { return VerifyCode->isChecked(); }

ChequeDialogResult frmChequeData::result() const {
    ChequeDialogResult r;
    r.Cancelled = Cancelled;
    r.MagtekLine = MagtekLine;
    r.NonusLine = NonusLine;
    r.VerifyCodeTicked = verifyCodeTicked();
    return r;
}

void frmChequeData::cmdOK_Click() {
    const std::string c = toCp1255(ChequeNum->text()), b = toCp1255(BankNum->text()),
                      br = toCp1255(BranchNum->text()), a = toCp1255(AccountNum->text());
    MagtekLine = composeMagtekLine(c, b, br, a);
    NonusLine = composeNonusLine(c, b, br, a);
    Cancelled = false;
    accept();
}

void frmChequeData::reject() {
    Cancelled = true;
    QDialog::reject();
}

}  // namespace korvex::ui
