#pragma once
// The image transfer window: the file name being written and a progress picture. It sits near
// the bottom-right corner of the work area, above other windows, without taking the focus; a
// click on it hides it while the transfer goes on.

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <string>

class QLabel;
class QLineEdit;

namespace korvex::ui {

// A Windows colour value: red in the lowest byte, green in the second, blue in the third.
QColor fromWindowsColour(uint32_t colour);

// A picture box that keeps what is drawn on it.
class ProgressPicture : public QWidget {
    Q_OBJECT
public:
    explicit ProgressPicture(QWidget* parent = nullptr);
    // DrawProgress: a bar from the left edge, (value - min) / (max - min) of the width, and the
    // whole percentage with a blank after it at the top-left, on an opaque text background.
    void DrawProgress(int32_t minimum, int32_t maximum, int32_t value, uint32_t barColour,
                      uint32_t textColour);
    // The same with the fraction and its text already worked out.
    void drawFraction(double fraction, const QString& text, const QColor& bar, const QColor& ink);
    const QImage& canvas() const { return canvas_; }
    const QString& lastText() const { return lastText_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage canvas_;
    QString lastText_;
};

class frmFileXfer : public QWidget {
    Q_OBJECT
public:
    explicit frmFileXfer(QWidget* parent = nullptr);

    void setFileName(const std::string& cp1255Name);
    // Places the window at 98% of the work area and shows it on top without activating it.
    void showNoActivate();

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    ProgressPicture* Picture1 = nullptr;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void place();
};

}  // namespace korvex::ui
