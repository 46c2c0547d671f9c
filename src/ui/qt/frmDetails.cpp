#include "ui/qt/frmDetails.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

#include "ui/OperatorWindowRules.h"
#include "ui/qt/ImageBox.h"
#include "ui/qt/MessageBoxes.h"
#include "ui/qt/ProgramIcon.h"
#include "ui/qt/UiText.h"

namespace korvex::ui {

namespace {

// The window is laid out in twips; 12 twips a pixel gives a readable window on today's screens.
QRect twips(int left, int top, int width, int height) {
    return QRect(left / 12, top / 12, width / 12, height / 12);
}

constexpr const char* kSampleMessage = "A1234567 C12A12345E 123456C";

QImage logoPicture() {
    QImage image(87, 61, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(235, 242, 250));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(QRect(0, 10, 40, 40), programIcon(40));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(13);
    p.setFont(font);
    p.setPen(QColor(30, 60, 120));
    p.drawText(QRect(40, 0, 47, 61), Qt::AlignCenter, QStringLiteral("Ovra"));
    return image;
}

}  // namespace

frmDetails::frmDetails(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmDetails"));
    setWindowTitle(QString::fromUtf8("קורא שיקים וכרטיסים של Ovra"));
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(twips(0, 0, 5235, 5355).size());

    picOvraLogo = new ImageBox(this);
    picOvraLogo->setObjectName(QStringLiteral("picOvraLogo"));
    picOvraLogo->setGeometry(twips(0, 0, 1305, 915));
    picOvraLogo->setImage(logoPicture());

    auto makeLabel = [this](const char* name, const char* utf8, QRect where) {
        auto* l = new QLabel(QString::fromUtf8(utf8), this);
        l->setObjectName(QString::fromLatin1(name));
        // Twips sized for an 8-point system font; a larger font gets the height it needs,
        // centred on the same line.
        const int h = std::max(where.height(), l->fontMetrics().height() + 4);
        l->setGeometry(where.x(), where.center().y() - h / 2, where.width(), h);
        return l;
    };
    Label1 = makeLabel("Label1", "פרופיל נוכחי:", twips(3960, 120, 1215, 255));
    cmbProfiles = new QComboBox(this);
    cmbProfiles->setObjectName(QStringLiteral("cmbProfiles"));
    cmbProfiles->setGeometry(twips(1560, 120, 2175, 315));
    Label2 = makeLabel("Label2", "מידע אחרון שהועבר ליישום:", twips(2760, 810, 2415, 210));
    LastDataSent = new QPlainTextEdit(this);
    LastDataSent->setObjectName(QStringLiteral("LastDataSent"));
    LastDataSent->setGeometry(twips(0, 1125, 5175, 1230));
    Copy = new QPushButton(QString::fromUtf8("העתק מידע מהקורא ללוח"), this);
    Copy->setObjectName(QStringLiteral("Copy"));
    Copy->setGeometry(twips(15, 2415, 2805, 285));
    Label5 = makeLabel("Label5", "מידע שהתקבל מהקורא:", twips(2925, 2445, 2235, 210));
    ReaderData = new QPlainTextEdit(this);
    ReaderData->setObjectName(QStringLiteral("ReaderData"));
    ReaderData->setGeometry(twips(0, 2745, 5175, 1590));
    ManualData = new QLineEdit(this);
    ManualData->setObjectName(QStringLiteral("ManualData"));
    ManualData->setGeometry(twips(0, 4470, 3840, 285));
    TryString = new QPushButton(QString::fromUtf8("נסה מחרוזת"), this);
    TryString->setObjectName(QStringLiteral("TryString"));
    TryString->setGeometry(twips(3930, 4470, 1230, 285));

    for (QPlainTextEdit* box : {LastDataSent, ReaderData}) {
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    }
    // The code lines and key texts read left to right.
    LastDataSent->setLayoutDirection(Qt::LeftToRight);
    ReaderData->setLayoutDirection(Qt::LeftToRight);
    ManualData->setLayoutDirection(Qt::LeftToRight);

    connect(Copy, &QPushButton::clicked, this, &frmDetails::Copy_Click);
    connect(TryString, &QPushButton::clicked, this, &frmDetails::TryString_Click);
    // Only the operator's choice calls back: programmatic selection blocks the signal, and
    // choosing the entry already selected changes nothing.
    connect(cmbProfiles, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && hooks_.profileChosen) hooks_.profileChosen(index + 1);
    });
    resetContents();
}

void frmDetails::resetContents() {
    clearProfiles();
    ManualData->setText(QString::fromLatin1(kSampleMessage));
    ReaderData->clear();
    LastDataSent->clear();
}

void frmDetails::clearProfiles() {
    const QSignalBlocker block(cmbProfiles);
    cmbProfiles->clear();
    cmbProfiles->setPlaceholderText(QString::fromUtf8("אין פרופילים!"));
    cmbProfiles->setCurrentIndex(-1);
}

void frmDetails::addProfile(const std::string& name) {
    const QSignalBlocker block(cmbProfiles);
    cmbProfiles->addItem(fromCp1255(name));
    // Adding to an empty list would select the first entry by itself; the selection is
    // LoadProfile's to set.
    if (cmbProfiles->count() == 1) cmbProfiles->setCurrentIndex(-1);
}

bool frmDetails::selectProfile(int32_t index) {
    if (index < 0 || index >= cmbProfiles->count()) return false;
    const QSignalBlocker block(cmbProfiles);
    cmbProfiles->setCurrentIndex(index);
    return true;
}

std::string frmDetails::readerData() const { return toCp1255(ReaderData->toPlainText()); }

void frmDetails::setReaderData(const std::string& text) {
    ReaderData->setPlainText(fromCp1255(text));
    ReaderData->moveCursor(QTextCursor::End);
    ReaderData->verticalScrollBar()->setValue(ReaderData->verticalScrollBar()->maximum());
}

void frmDetails::setLastDataSent(const std::string& text) {
    LastDataSent->setPlainText(fromCp1255(text));
}

void frmDetails::showDetails() {
    for (int pass = 0; pass < 2; ++pass) {
        show();
        setVisible(true);
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        raise();
        activateWindow();
        QApplication::processEvents();
        setFocus();
        QApplication::processEvents();
    }
}

void frmDetails::Copy_Click() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    const QString text = ReaderData->toPlainText();
    // An empty text would still own the clipboard with an empty entry; leave it empty instead.
    if (!text.isEmpty()) clipboard->setText(text);
}

void frmDetails::TryString_Click() {
    const std::string text = toCp1255(ManualData->text());
    const int inputClass = hooks_.classify ? hooks_.classify(text) : 0;
    const MsgResult answer = showMessageBox(this, fromCp1255(tryStringQuestion(inputClass)),
                                            QString::fromUtf8(kTryStringTitleUtf8),
                                            MsgIcon::Information, MsgButtons::YesNo);
    if (answer != MsgResult::Yes) return;
    const TryStringRoute route = tryStringRoute(inputClass, text);
    switch (route.kind) {
        case TryStringRoute::Kind::Cheque:
            if (hooks_.processCheque) hooks_.processCheque(route.text);
            break;
        case TryStringRoute::Kind::MagStripe:
            if (hooks_.processMagStripe) hooks_.processMagStripe(route.text);
            break;
        case TryStringRoute::Kind::Nothing: break;
    }
}

void frmDetails::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        hide();
    }
}

void frmDetails::closeEvent(QCloseEvent* event) {
    // Closing unloads the window's contents; the window object stays for the next opening.
    QWidget::closeEvent(event);
    resetContents();
}

}  // namespace korvex::ui
