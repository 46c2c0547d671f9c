#pragma once
// OperatorUi on Qt Widgets: the message and input boxes, the event loop and the 100 ms polling
// timer, the splash, the tray, the details window, the cheque dialogs, the debug window and the
// transfer window. The shell creates one, wires the hooks to the main window's routines and
// hands it to the core.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/OperatorUi.h"
#include "ui/qt/KorvexTray.h"
#include "ui/qt/frmDetails.h"

class QUrl;

namespace korvex::ui {

class frmFileXfer;
class frmManuallDebug;
class frmSplash;

class QtOperatorUi : public QObject, public OperatorUi {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> timerTick;  // frmKorvex::Timer1_Timer
        TrayHooks tray;
        DetailsHooks details;
        // How the process ends: endProcess' code after the windows are gone (default: leave
        // the event loop with it, or exit when none runs); "Exit" of the debug window.
        std::function<void(int)> endProcess;
        std::function<void(int)> terminateAtOnce;
        std::function<void(const QUrl&)> openUrl;  // default: QDesktopServices::openUrl
    };

    explicit QtOperatorUi(QObject* parent = nullptr);
    ~QtOperatorUi() override;

    void setHooks(Hooks hooks);

    KorvexTray& tray() { return *tray_; }
    frmDetails* detailsWindow() const { return details_.data(); }
    frmFileXfer* fileXferWindow() const { return fileXfer_.data(); }
    frmSplash* splashWindow() const { return splash_.data(); }
    QTimer& pollingTimer() { return timer_; }

    // --- OperatorUi ---
    MsgResult messageBox(const std::string& text, const std::string& title, MsgIcon icon,
                         MsgButtons buttons) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void doEvents() override;
    void setPollingTimerEnabled(bool enabled) override;
    bool pollingTimerEnabled() const override;
    void showSplash(int displayMs, bool modal) override;
    bool addTrayIcon() override;
    void setTrayTooltip(const std::string& tooltip64) override;
    void changeIcon(uint8_t red, uint8_t green, uint8_t blue, int fontSize, uint8_t textRed,
                    uint8_t textGreen, uint8_t textBlue, int32_t profileNumber) override;
    void addProfileMenuItem(int32_t number, const std::string& caption) override;
    bool setProfileMenuChecked(int32_t number, bool checked) override;
    void setNoProfilesItemVisible(bool visible) override;
    void setRenameCsvEnabled(bool enabled) override;
    void removeTrayIcon() override;
    bool detailsWindowExists() const override;
    void detailsClearProfiles() override;
    void detailsAddProfile(const std::string& name) override;
    bool detailsSelectProfile(int32_t index) override;
    std::string detailsReaderData() const override;
    void detailsSetReaderData(const std::string& text) override;
    void detailsSetLastDataSent(const std::string& text) override;
    void detailsShow() override;
    ChequeDialogResult showChequeData(const ChequeDialogInput& input) override;
    ChequeDialogResult showChequeFull(const ChequeDialogInput& input) override;
    DebugWindowResult showManualDebug() override;
    void fileXferShow(const std::string& fileName) override;
    void fileXferProgress(double fraction, const std::string& percentText) override;
    void fileXferClose() override;
    void endProcess(int exitCode) override;

private:
    frmDetails& details();

    Hooks hooks_;
    QTimer timer_;
    std::unique_ptr<KorvexTray> tray_;
    QPointer<frmDetails> details_;
    QPointer<frmManuallDebug> debug_;
    QPointer<frmFileXfer> fileXfer_;
    QPointer<frmSplash> splash_;
    bool splashShown_ = false;
};

}  // namespace korvex::ui
