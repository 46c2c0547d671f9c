#include "ui/qt/frmChequeFull.h"

#include <QCheckBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

#include "ui/ChequeDialogs.h"
#include "ui/qt/DateBox.h"
#include "ui/qt/ImageBox.h"
#include "ui/qt/LengthLimit.h"
#include "ui/qt/MessageBoxes.h"
#include "ui/qt/TabCharFilter.h"
#include "ui/qt/UiText.h"
#include "ui/qt/frmChequeData.h"

namespace korvex::ui {

namespace {

constexpr int kWidth = 660, kHeight = 500, kImageTop = 196, kImageHeight = 294;

// The dialog's direct children as AutoResize sees them, named by their object names.
class WidgetChildren : public AutoResizeTarget {
public:
    explicit WidgetChildren(QWidget* form) : form_(form) {}
    int formWidth() const override { return form_->width(); }
    int formHeight() const override { return form_->height(); }
    std::size_t controlCount() const override { return children().size(); }
    std::string controlName(std::size_t i) const override {
        return children()[static_cast<qsizetype>(i)]->objectName().toStdString();
    }
    std::optional<ControlBox> controlBox(std::size_t i) const override {
        const QRect g = children()[static_cast<qsizetype>(i)]->geometry();
        return ControlBox{g.x(), g.y(), g.width(), g.height()};
    }
    void setControlBox(std::size_t i, const ControlBox& b) override {
        children()[static_cast<qsizetype>(i)]->setGeometry(b.left, b.top, b.width, b.height);
    }

private:
    QList<QWidget*> children() const {
        return form_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    }
    QWidget* form_;
};

QLineEdit* box(QWidget* parent, const char* name, QRect where, int maxLength) {
    auto* b = new QLineEdit(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(where);
    if (maxLength > 0) {
        auto* limit = new LengthLimit(maxLength, b);
        b->setValidator(limit);
        QObject::connect(b, &QLineEdit::textEdited, limit,
                         [limit](const QString& text) { limit->shrinkTo(int(text.size())); });
    }
    return b;
}

// Fills a code-line box in whole, then selects its unreadable part.
void fillLimited(QLineEdit* box, const std::string& cp1255Text) {
    if (auto* limit = dynamic_cast<LengthLimit*>(const_cast<QValidator*>(box->validator()))) {
        limit->fill(box, fromCp1255(cp1255Text));
    }
    fillAndMark(box, cp1255Text);
}

void label(QWidget* parent, const char* name, const char* utf8, QRect where) {
    auto* l = new QLabel(QString::fromUtf8(utf8), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(where);
}

}  // namespace

frmChequeFull::frmChequeFull(const ChequeDialogInput& input, QDate today, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmChequeFull"));
    setWindowTitle(QString::fromUtf8("השלמת פרטי צ'ק"));
    setLayoutDirection(Qt::RightToLeft);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setSizeGripEnabled(true);
    resize(kWidth, kHeight);

    auto* top = new QLabel(
        QString::fromUtf8("נא להשלים את פרטי הצ'ק המלאים. יש לשים לב לאפסים גם בתחילת המספר. "
                          "ניתן לעבור בין השדות עם מקש הטאב ולסיים בלחיצת אנטר."),
        this);
    top->setObjectName(QStringLiteral("Label1"));
    top->setWordWrap(true);
    top->setGeometry(10, 8, 640, 44);

    // Right-hand column: cheque, bank, branch; middle column: account, amount, date. Each
    // label stands to the right of its box.
    const int rows[] = {60, 92, 124};
    ChequeNum = box(this, "ChequeNum", QRect(430, rows[0], 140, 24), 13);
    BankNum = box(this, "BankNum", QRect(430, rows[1], 140, 24), 2);
    BranchNum = box(this, "BranchNum", QRect(430, rows[2], 140, 24), 5);
    label(this, "Label2", "מס' צ'ק", QRect(578, rows[0], 72, 24));
    label(this, "Label3", "מס' בנק", QRect(578, rows[1], 72, 24));
    label(this, "Label4", "מס' סניף", QRect(578, rows[2], 72, 24));
    AccountNum = box(this, "AccountNum", QRect(200, rows[0], 140, 24), 13);
    txtAmount = box(this, "txtAmount", QRect(200, rows[1], 140, 24), 0);
    txtDate = new DateBox(this);
    txtDate->setObjectName(QStringLiteral("txtDate"));
    txtDate->setGeometry(200, rows[2], 140, 24);
    label(this, "Label5", "מס' חשבון", QRect(348, rows[0], 72, 24));
    label(this, "Label6", "סכום", QRect(348, rows[1], 72, 24));
    label(this, "Label7", "תאריך", QRect(348, rows[2], 72, 24));

    cmdOK = new QPushButton(QString::fromUtf8("אישור"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(10, rows[0], 100, 28);
    cmdCancel = new QPushButton(QString::fromUtf8("ביטול"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(10, rows[0] + 34, 100, 28);
    // Enter confirms from any box unless Enter is the field-to-field key. At the OK button itself,
    // where that chain of fields ends, Enter always confirms.
    const bool enterMovesOn = input.TabChar == 13;
    cmdOK->setDefault(!enterMovesOn);
    cmdOK->setAutoDefault(true);
    cmdCancel->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &frmChequeFull::reject);

    VerifyCode = new QCheckBox(this);
    VerifyCode->setObjectName(QStringLiteral("VerifyCode"));
    VerifyCode->setGeometry(10, 160, 640, 24);
    VerifyCode->setVisible(false);

    Image1 = new ImageBox(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(10, kImageTop, 640, kImageHeight);

    QWidget* chain[] = {ChequeNum, BankNum, BranchNum, AccountNum, txtAmount,
                        txtDate,   cmdOK,   cmdCancel, VerifyCode};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i) setTabOrder(chain[i], chain[i + 1]);

    auto* filter = new TabCharFilter(input.TabChar, this);
    if (enterMovesOn) {
        filter->setEnterChain(
            {ChequeNum, BankNum, BranchNum, AccountNum, txtAmount, txtDate, cmdOK});
    }
    for (QWidget* w : {static_cast<QWidget*>(ChequeNum), static_cast<QWidget*>(BankNum),
                       static_cast<QWidget*>(BranchNum), static_cast<QWidget*>(AccountNum),
                       static_cast<QWidget*>(txtAmount), static_cast<QWidget*>(txtDate)}) {
        filter->watch(w);
    }
    connect(txtAmount, &QLineEdit::textChanged, this, &frmChequeFull::replaceFinalTsadi);

    fillLimited(ChequeNum, input.ChequeNum);
    fillLimited(BankNum, input.BankNum);
    fillLimited(BranchNum, input.BranchNum);
    fillLimited(AccountNum, input.AccountNum);
    if (!input.verifyCaption.empty()) {
        VerifyCode->setText(fromCp1255(input.verifyCaption));
        VerifyCode->setVisible(true);
    }
    txtDate->setText(
        QString::fromStdString(dialogDateBoxText(today.day(), today.month(), today.year())));
    txtDate->selectOneAt(0);

    if (!input.imageFile.empty()) {
        QImageReader reader(QString::fromStdU16String(input.imageFile.u16string()));
        reader.setAutoTransform(true);
        const QImage picture = reader.read();
        if (!picture.isNull()) {
            Image1->setImage(picture);
            imageLoaded_ = true;
        }
    }
    if (!imageLoaded_) {
        Image1->setVisible(false);
        resize(kWidth, kHeight - kImageHeight);
    }
    txtAmount->setFocus();
}

frmChequeFull::~frmChequeFull() = default;

bool frmChequeFull::verifyCodeTicked() const { return VerifyCode->isChecked(); }

ChequeDialogResult frmChequeFull::result() const {
    ChequeDialogResult r;
    r.Cancelled = Cancelled;
    r.MagtekLine = MagtekLine;
    r.NonusLine = NonusLine;
    r.AmountText = AmountText;
    r.DateText = DateText;
    r.VerifyCodeTicked = verifyCodeTicked();
    return r;
}

void frmChequeFull::replaceFinalTsadi(const QString& text) {
    // On a Hebrew layout the full-stop key types final tsadi.
    static const QChar tsadi(0x05E5);
    if (!text.contains(tsadi)) return;
    const int cursor = txtAmount->cursorPosition();
    QString fixed = text;
    fixed.replace(tsadi, QLatin1Char('.'));
    txtAmount->setText(fixed);
    txtAmount->setCursorPosition(cursor);
}

void frmChequeFull::cmdOK_Click() {
    const std::string date = toCp1255(txtDate->boxText());
    if (!parseDialogDate(date)) {
        showMessageBox(this, QString::fromUtf8("תאריך לא תקין, נא לתקן."),
                       QString::fromUtf8("בעיה בהזנת פרטי צ'ק"), MsgIcon::Exclamation,
                       MsgButtons::Ok);
        txtDate->setFocus();
        return;
    }
    const std::string c = toCp1255(ChequeNum->text()), b = toCp1255(BankNum->text()),
                      br = toCp1255(BranchNum->text()), a = toCp1255(AccountNum->text());
    MagtekLine = composeMagtekLine(c, b, br, a);
    NonusLine = composeNonusLine(c, b, br, a);
    AmountText = toCp1255(txtAmount->text());
    DateText = dialogDateText(date);
    Cancelled = false;
    accept();
}

void frmChequeFull::reject() {
    Cancelled = true;
    QDialog::reject();
}

void frmChequeFull::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The first resize event (the first show) records the design layout; later ones scale it.
    if (!autoResize_) {
        resizeTarget_ = std::make_unique<WidgetChildren>(this);
        autoResize_ = std::make_unique<AutoResize>();
    }
    autoResize_->Go(*resizeTarget_, false);
}

void frmChequeFull::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    raise();
    // Activation gives the amount box the focus; a failure to take it is harmless.
    QTimer::singleShot(0, this, [this] {
        if (txtAmount->text().isEmpty()) txtAmount->setFocus();
    });
}

}  // namespace korvex::ui
