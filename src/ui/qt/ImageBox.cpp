#include "ui/qt/ImageBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace korvex::ui {

ImageBox::ImageBox(QWidget* parent) : QWidget(parent) {}

void ImageBox::setImage(const QImage& image) {
    image_ = image;
    update();
}

void ImageBox::paintEvent(QPaintEvent*) {
    if (image_.isNull() || width() <= 0 || height() <= 0) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize fitted = image_.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    p.drawImage(target, image_);
}

void ImageBox::mousePressEvent(QMouseEvent* event) { event->accept(); }

}  // namespace korvex::ui
