#include "ui/qt/frmFileXfer.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "ui/OperatorWindowRules.h"
#include "ui/qt/UiText.h"

namespace korvex::ui {

QColor fromWindowsColour(uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

ProgressPicture::ProgressPicture(QWidget* parent) : QWidget(parent) {}

void ProgressPicture::resizeEvent(QResizeEvent*) {
    QImage grown(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    grown.fill(Qt::white);
    if (!canvas_.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, canvas_);
    }
    canvas_ = grown;
}

void ProgressPicture::DrawProgress(int32_t minimum, int32_t maximum, int32_t value,
                                   uint32_t barColour, uint32_t textColour) {
    const double fraction = progressFraction(minimum, maximum, value);
    drawFraction(fraction, QString::fromStdString(progressPercentText(fraction)),
                 fromWindowsColour(barColour), fromWindowsColour(textColour));
}

void ProgressPicture::drawFraction(double fraction, const QString& text, const QColor& bar,
                                   const QColor& ink) {
    if (canvas_.isNull()) resizeEvent(nullptr);
    QPainter p(&canvas_);
    p.fillRect(QRect(0, 0, progressBarWidth(fraction, canvas_.width()), canvas_.height()), bar);
    lastText_ = text;
    p.setFont(font());
    p.setPen(ink);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(Qt::white);
    p.drawText(QPointF(0, QFontMetrics(font()).ascent()), lastText_);
    p.end();
    repaint();
}

void ProgressPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, canvas_);
}

void ProgressPicture::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit clicked();
}

frmFileXfer::frmFileXfer(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmFileXfer"));
    setWindowTitle(QString::fromUtf8("תמונת מסמך"));
    setLayoutDirection(Qt::RightToLeft);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(320, 84);
    Label1 = new QLabel(QString::fromUtf8("שם קובץ:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(244, 8, 68, 24);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(8, 8, 230, 24);
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::NoFocus);
    Text1->setLayoutDirection(Qt::LeftToRight);
    Picture1 = new ProgressPicture(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(8, 42, 304, 30);
    connect(Picture1, &ProgressPicture::clicked, this, &QWidget::hide);
}

void frmFileXfer::setFileName(const std::string& cp1255Name) {
    Text1->setText(fromCp1255(cp1255Name));
}

void frmFileXfer::showNoActivate() {
    // Placed before showing (no flash elsewhere) and again once the frame's size is known.
    place();
    show();
    place();
}

void frmFileXfer::place() {
    QScreen* s = screen();
    if (s == nullptr) return;
    const QRect work = s->availableGeometry();
    const QRect frame = frameGeometry();
    const WindowPoint at = transferWindowPosition(work.x() + work.width(), work.y() + work.height(),
                                                  frame.width(), frame.height());
    move(at.left, at.top);
}

void frmFileXfer::mousePressEvent(QMouseEvent* event) {
    event->accept();
    hide();
}

}  // namespace korvex::ui
