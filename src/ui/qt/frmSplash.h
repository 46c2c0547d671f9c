#pragma once
// The start-up window: pictures, the maker's name and support number, a credit line that opens
// its web address. It stays for the configured time (at least 750 ms) counted from its first
// paint, and closes at once on a click on its background or any key.

#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <QUrl>
#include <functional>

namespace korvex::ui {

class ImageBox;

// The credit line's address is part of the build's branding.
#ifndef KORVEX_CREDIT_URL
#define KORVEX_CREDIT_URL "https://www.ovra.example/"
#endif

// A label that keeps clicks to itself and reports them.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class frmSplash : public QDialog {
    Q_OBJECT
public:
    // `openUrl` opens the credit line's address (the desktop's default handler unless a test
    // records it instead).
    frmSplash(int displayMs, std::function<void(const QUrl&)> openUrl, QWidget* parent = nullptr);

    // Shows the window modal to the application and returns once it has unloaded.
    void runModal();
    // Hides the window for good and reports it (once).
    void unload();
    bool unloaded() const { return unloaded_; }

    // The display time actually used: the setting, raised to 750 ms.
    static int effectiveTime(int displayMs) { return displayMs < 750 ? 750 : displayMs; }

    QTimer* Timer1 = nullptr;
    ImageBox* MagTekPic = nullptr;
    ImageBox* Picture2 = nullptr;
    ImageBox* OvraPic = nullptr;
    ClickLabel* OvraLabel = nullptr;
    ClickLabel* Label4 = nullptr;
    ClickLabel* OvraLink = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

signals:
    void closed();

private:
    void startTimerOnce();
    bool unloaded_ = false;
    std::function<void(const QUrl&)> openUrl_;
};

}  // namespace korvex::ui
