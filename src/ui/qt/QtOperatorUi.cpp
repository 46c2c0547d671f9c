#include "ui/qt/QtOperatorUi.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <cstdlib>

#include "ui/qt/MessageBoxes.h"
#include "ui/qt/UiText.h"
#include "ui/qt/frmChequeData.h"
#include "ui/qt/frmChequeFull.h"
#include "ui/qt/frmFileXfer.h"
#include "ui/qt/frmManuallDebug.h"
#include "ui/qt/frmSplash.h"

namespace korvex::ui {

QtOperatorUi::QtOperatorUi(QObject* parent)
    : QObject(parent), tray_(std::make_unique<KorvexTray>()) {
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (hooks_.timerTick) hooks_.timerTick();
    });
}

QtOperatorUi::~QtOperatorUi() {
    delete details_.data();
    delete debug_.data();
    delete fileXfer_.data();
    delete splash_.data();
}

void QtOperatorUi::setHooks(Hooks hooks) {
    hooks_ = std::move(hooks);
    tray_->setHooks(hooks_.tray);
    if (details_) details_->setHooks(hooks_.details);
}

bool QtOperatorUi::addTrayIcon() { return tray_->add(); }

MsgResult QtOperatorUi::messageBox(const std::string& text, const std::string& title, MsgIcon icon,
                                   MsgButtons buttons) {
    return showMessageBox(nullptr, fromCp1255(text), fromCp1255(title), icon, buttons);
}

std::string QtOperatorUi::inputBox(const std::string& prompt, const std::string& title,
                                   const std::string& defaultText) {
    return toCp1255(
        showInputBox(nullptr, fromCp1255(prompt), fromCp1255(title), fromCp1255(defaultText)));
}

void QtOperatorUi::doEvents() { QCoreApplication::processEvents(); }

void QtOperatorUi::setPollingTimerEnabled(bool enabled) {
    if (enabled) {
        if (!timer_.isActive()) timer_.start();
    } else {
        timer_.stop();
    }
}

bool QtOperatorUi::pollingTimerEnabled() const { return timer_.isActive(); }

void QtOperatorUi::showSplash(int displayMs, bool modal) {
    // Shown at most once per process.
    if (splashShown_) return;
    splashShown_ = true;
    auto open = hooks_.openUrl ? hooks_.openUrl
                               : std::function<void(const QUrl&)>(
                                     [](const QUrl& url) { QDesktopServices::openUrl(url); });
    auto* splash = new frmSplash(displayMs, open);
    splash_ = splash;
    if (modal) {
        splash->runModal();
        delete splash;
    } else {
        connect(splash, &frmSplash::closed, splash, &QObject::deleteLater);
        splash->show();
    }
}

void QtOperatorUi::setTrayTooltip(const std::string& tooltip64) { tray_->setTooltip(tooltip64); }

void QtOperatorUi::changeIcon(uint8_t red, uint8_t green, uint8_t blue, int fontSize,
                              uint8_t textRed, uint8_t textGreen, uint8_t textBlue,
                              int32_t profileNumber) {
    tray_->changeIcon(red, green, blue, fontSize, textRed, textGreen, textBlue, profileNumber);
}

void QtOperatorUi::addProfileMenuItem(int32_t number, const std::string& caption) {
    tray_->addProfileMenuItem(number, caption);
}

bool QtOperatorUi::setProfileMenuChecked(int32_t number, bool checked) {
    return tray_->setProfileMenuChecked(number, checked);
}

void QtOperatorUi::setNoProfilesItemVisible(bool visible) {
    tray_->setNoProfilesItemVisible(visible);
}

void QtOperatorUi::setRenameCsvEnabled(bool enabled) { tray_->setRenameCsvEnabled(enabled); }

void QtOperatorUi::removeTrayIcon() { tray_->remove(); }

frmDetails& QtOperatorUi::details() {
    if (!details_) {
        details_ = new frmDetails;
        details_->setHooks(hooks_.details);
    }
    return *details_;
}

bool QtOperatorUi::detailsWindowExists() const { return !details_.isNull(); }
void QtOperatorUi::detailsClearProfiles() { details().clearProfiles(); }
void QtOperatorUi::detailsAddProfile(const std::string& name) { details().addProfile(name); }
bool QtOperatorUi::detailsSelectProfile(int32_t index) { return details().selectProfile(index); }

std::string QtOperatorUi::detailsReaderData() const {
    return details_ ? details_->readerData() : std::string();
}

void QtOperatorUi::detailsSetReaderData(const std::string& text) { details().setReaderData(text); }
void QtOperatorUi::detailsSetLastDataSent(const std::string& text) {
    details().setLastDataSent(text);
}
void QtOperatorUi::detailsShow() { details().showDetails(); }

ChequeDialogResult QtOperatorUi::showChequeData(const ChequeDialogInput& input) {
    frmChequeData dialog(input);
    dialog.exec();
    return dialog.result();
}

ChequeDialogResult QtOperatorUi::showChequeFull(const ChequeDialogInput& input) {
    frmChequeFull dialog(input, QDate::currentDate());
    dialog.exec();
    return dialog.result();
}

DebugWindowResult QtOperatorUi::showManualDebug() {
    // One window for the run: the boxes keep the last choices for the next tick.
    if (!debug_) {
        debug_ = new frmManuallDebug(hooks_.terminateAtOnce
                                         ? hooks_.terminateAtOnce
                                         : std::function<void(int)>(&terminateAtOnce));
    }
    return debug_->run();
}

void QtOperatorUi::fileXferShow(const std::string& fileName) {
    if (!fileXfer_) fileXfer_ = new frmFileXfer;
    fileXfer_->setFileName(fileName);
    fileXfer_->showNoActivate();
}

void QtOperatorUi::fileXferProgress(double fraction, const std::string& percentText) {
    if (!fileXfer_) return;
    fileXfer_->Picture1->drawFraction(fraction, QString::fromStdString(percentText),
                                      QColor(0, 0, 255), QColor(0, 0, 0));
}

void QtOperatorUi::fileXferClose() {
    if (!fileXfer_) return;
    fileXfer_->hide();
    delete fileXfer_.data();
}

void QtOperatorUi::endProcess(int exitCode) {
    timer_.stop();
    tray_->remove();
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    if (hooks_.endProcess) {
        hooks_.endProcess(exitCode);
    } else if (QCoreApplication::instance() != nullptr) {
        // Every running event loop returns; main() then returns the code.
        QCoreApplication::exit(exitCode);
    } else {
        std::exit(exitCode);
    }
}

}  // namespace korvex::ui
