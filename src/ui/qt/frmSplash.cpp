#include "ui/qt/frmSplash.h"

#include <QDate>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/qt/ImageBox.h"
#include "ui/qt/ProgramIcon.h"

namespace korvex::ui {

namespace {

// A desk reader with a cheque half through its slot.
QImage readerPicture() {
    QImage image(120, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(250, 248, 235));
    p.setPen(QColor(60, 60, 60));
    p.drawRect(QRectF(18, 8, 84, 34));
    p.setBrush(QColor(50, 55, 65));
    p.drawRoundedRect(QRectF(6, 34, 108, 38), 6, 6);
    p.setBrush(QColor(90, 200, 120));
    p.drawEllipse(QPointF(100, 60), 4, 4);
    p.setPen(QColor(200, 200, 200));
    p.drawLine(QPointF(14, 46), QPointF(106, 46));
    return image;
}

// The maker's mark: a rounded square with the name.
QImage makerPicture() {
    QImage image(120, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath mark;
    mark.addRoundedRect(QRectF(4, 8, 112, 64), 14, 14);
    p.fillPath(mark, QColor(30, 70, 140));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(30);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(4, 8, 112, 64), Qt::AlignCenter, QStringLiteral("Ovra"));
    return image;
}

ClickLabel* line(QWidget* parent, const char* name, const QString& text, QRect where) {
    auto* l = new ClickLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(where);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

}  // namespace

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit clicked();
}

frmSplash::frmSplash(int displayMs, std::function<void(const QUrl&)> openUrl, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      openUrl_(std::move(openUrl)) {
    setObjectName(QStringLiteral("frmSplash"));
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(420, 260);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(245, 247, 250));
    setPalette(pal);

    MagTekPic = new ImageBox(this);
    MagTekPic->setObjectName(QStringLiteral("MagTekPic"));
    MagTekPic->setGeometry(290, 16, 120, 80);
    MagTekPic->setImage(readerPicture());
    Picture2 = new ImageBox(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setGeometry(170, 16, 80, 80);
    Picture2->setImage(programIcon(80));
    OvraPic = new ImageBox(this);
    OvraPic->setObjectName(QStringLiteral("OvraPic"));
    OvraPic->setGeometry(10, 16, 120, 80);
    OvraPic->setImage(makerPicture());

    OvraLabel =
        line(this, "OvraLabel", QString::fromUtf8("קורא צ'קים וכרטיסים של Ovra. תמיכה: 03-5550123"),
             QRect(10, 112, 400, 28));
    const QUrl credit(QString::fromLatin1(KORVEX_CREDIT_URL));
    Label4 = line(this, "Label4", QString::fromUtf8("פיתוח ועיצוב: ") + credit.host(),
                  QRect(10, 150, 400, 24));
    Label4->setCursor(Qt::PointingHandCursor);
    QFont underlined = Label4->font();
    underlined.setUnderline(true);
    Label4->setFont(underlined);
    OvraLink = line(
        this, "OvraLink",
        QStringLiteral("\u00A9 %1 Ovra  %2").arg(QDate::currentDate().year()).arg(credit.host()),
        QRect(10, 200, 400, 24));
    connect(Label4, &ClickLabel::clicked, this, [this, credit] {
        if (openUrl_) openUrl_(credit);
    });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(effectiveTime(displayMs));
    connect(Timer1, &QTimer::timeout, this, &frmSplash::unload);
}

void frmSplash::startTimerOnce() {
    if (!Timer1->isActive()) Timer1->start();
}

void frmSplash::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (!property("painted").toBool()) {
        setProperty("painted", true);
        startTimerOnce();
    }
}

void frmSplash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window that is never painted (no compositor exposes it) must still go away: count from
    // a second after showing at the latest.
    QTimer::singleShot(1000, this, [this] {
        if (!property("painted").toBool()) {
            setProperty("painted", true);
            startTimerOnce();
        }
    });
    activateWindow();
    setFocus();
}

void frmSplash::mousePressEvent(QMouseEvent* event) {
    event->accept();
    unload();
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
    event->accept();
    unload();
}

void frmSplash::unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Timer1->stop();
    hide();
    emit closed();
}

void frmSplash::runModal() {
    // An event loop of our own rather than QDialog::exec: a dialog that closes itself from its
    // own key handler can leave exec() waiting after it is hidden (seen with Qt 6.4).
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(this, &frmSplash::closed, &loop, &QEventLoop::quit);
    show();
    if (!unloaded_) loop.exec(QEventLoop::DialogExec);
}

}  // namespace korvex::ui
