#pragma once
// A picture that keeps its aspect ratio inside its box (the cheque's image, the splash's
// pictures). Clicks on it do nothing and go no further.

#include <QImage>
#include <QWidget>

namespace korvex::ui {

class ImageBox : public QWidget {
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent = nullptr);
    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage image_;
};

}  // namespace korvex::ui
