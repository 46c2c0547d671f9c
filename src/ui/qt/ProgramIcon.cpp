#include "ui/qt/ProgramIcon.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "ui/OperatorWindowRules.h"

namespace korvex::ui {

QImage programIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // The cheque: a pale card in the lower right, leaving the top-left free for the number.
    QPainterPath card;
    card.addRoundedRect(QRectF(6.5, 12.5, 25, 16), 2, 2);
    p.fillPath(card, QColor(250, 248, 235));
    p.setPen(QPen(QColor(40, 60, 90), 1));
    p.drawPath(card);
    // A signature stroke and the magnetic code line along the bottom edge.
    p.setPen(QPen(QColor(30, 80, 160), 1.2));
    p.drawLine(QPointF(18, 20), QPointF(28, 18));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 20));
    for (int i = 0; i < 8; ++i) p.drawRect(QRectF(9 + i * 2.7, 24, i % 3 == 0 ? 1.6 : 1.0, 2.5));
    return image;
}

QImage profileIcon(uint8_t red, uint8_t green, uint8_t blue, int fontSize, uint8_t textRed,
                   uint8_t textGreen, uint8_t textBlue, int32_t profileNumber) {
    QImage image(kTrayIconSurface, kTrayIconSurface, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(red, green, blue));
    QPainter p(&image);
    p.drawImage(0, 0, programIcon(32));
    if (trayShowsNumber(fontSize)) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        // Sizes beyond any icon are clamped; the number is then simply cut by the edge.
        font.setPointSize(std::min(fontSize, 200));
        p.setFont(font);
        p.setPen(QColor(textRed, textGreen, textBlue));
        const QFontMetrics metrics(font, &image);
        p.drawText(QPointF(0, metrics.ascent()),
                   QString::fromStdString(trayNumberText(profileNumber)));
    }
    return image;
}

}  // namespace korvex::ui
