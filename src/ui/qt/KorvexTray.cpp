#include "ui/qt/KorvexTray.h"

#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "ui/OperatorWindowRules.h"
#include "ui/qt/ProgramIcon.h"
#include "ui/qt/UiText.h"

namespace korvex::ui {

KorvexTray::KorvexTray(QObject* parent) : QObject(parent) {
    mnuPopupSys = new QMenu(QStringLiteral("Systray"));
    mnuPopupSys->setObjectName(QStringLiteral("mnuPopupSys"));
    mnuPopupSys->setLayoutDirection(Qt::RightToLeft);

    RenameCSV = mnuPopupSys->addAction(QString::fromUtf8("&איפוס קובץ CSV"));
    RenameCSV->setObjectName(QStringLiteral("RenameCSV"));
    RenameCSV->setEnabled(false);
    mnuRestore = mnuPopupSys->addAction(QString::fromUtf8("&פרטים"));
    mnuRestore->setObjectName(QStringLiteral("mnuRestore"));
    mnuProfileMenu = mnuPopupSys->addMenu(QString::fromUtf8("&פרופיל..."));
    mnuProfileMenu->setObjectName(QStringLiteral("mnuProfileMenu"));
    mnuProfileMenu->setLayoutDirection(Qt::RightToLeft);
    QAction* none = mnuProfileMenu->addAction(QString::fromUtf8("אין פרופילים"));
    none->setObjectName(QStringLiteral("mnuProfile0"));
    none->setEnabled(false);
    mnuProfile_[0] = none;
    mnuExit = mnuPopupSys->addAction(QString::fromUtf8("&יציאה"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));

    connect(RenameCSV, &QAction::triggered, this, [this] {
        if (hooks_.renameCsv) hooks_.renameCsv();
    });
    connect(mnuRestore, &QAction::triggered, this, [this] {
        if (hooks_.showDetails) hooks_.showDetails();
    });
    connect(mnuExit, &QAction::triggered, this, [this] {
        if (hooks_.exit) hooks_.exit();
    });

    icon_ = new QSystemTrayIcon(this);
    icon_->setContextMenu(mnuPopupSys);
    iconImage_ = programIcon(32);
    icon_->setIcon(QIcon(QPixmap::fromImage(iconImage_)));
    tooltip_ = fromCp1255(trayTooltipText(initialTrayTooltipField()));
    icon_->setToolTip(tooltip_);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { activate(reason); });
}

KorvexTray::~KorvexTray() {
    if (icon_ != nullptr) icon_->hide();
    delete mnuPopupSys;
}

bool KorvexTray::add() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        if (!unavailableLogged_ && hooks_.log) {
            hooks_.log("No system tray on this desktop: running without the tray icon");
        }
        unavailableLogged_ = true;
        return false;
    }
    icon_->show();
    return true;
}

void KorvexTray::remove() { icon_->hide(); }

bool KorvexTray::visible() const { return icon_->isVisible(); }

void KorvexTray::activate(int reason) {
    // The context menu (right button) is shown by the tray itself.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
        if (hooks_.showDetails) hooks_.showDetails();
    }
}

void KorvexTray::setTooltip(const std::string& tooltipField) {
    tooltip_ = fromCp1255(trayTooltipText(tooltipField));
    icon_->setToolTip(tooltip_);
}

void KorvexTray::changeIcon(uint8_t red, uint8_t green, uint8_t blue, int fontSize, uint8_t textRed,
                            uint8_t textGreen, uint8_t textBlue, int32_t profileNumber) {
    iconImage_ =
        profileIcon(red, green, blue, fontSize, textRed, textGreen, textBlue, profileNumber);
    icon_->setIcon(QIcon(QPixmap::fromImage(iconImage_)));
}

void KorvexTray::addProfileMenuItem(int32_t number, const std::string& caption) {
    if (number <= 0) return;
    auto found = mnuProfile_.find(number);
    if (found != mnuProfile_.end()) {
        found->second->setText(fromCp1255(caption));
        return;
    }
    QAction* item = mnuProfileMenu->addAction(fromCp1255(caption));
    item->setObjectName(QStringLiteral("mnuProfile%1").arg(number));
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, item, number](bool checked) {
        // The check mark is LoadProfile's to set; undo the toggle the menu made by itself.
        item->setChecked(!checked);
        if (hooks_.loadProfile) hooks_.loadProfile(number);
    });
    mnuProfile_[number] = item;
}

bool KorvexTray::setProfileMenuChecked(int32_t number, bool checked) {
    const auto found = mnuProfile_.find(number);
    if (found == mnuProfile_.end() || number == 0) return false;
    found->second->setChecked(checked);
    return true;
}

void KorvexTray::setNoProfilesItemVisible(bool visible) { mnuProfile_[0]->setVisible(visible); }

void KorvexTray::setRenameCsvEnabled(bool enabled) { RenameCSV->setEnabled(enabled); }

QAction* KorvexTray::profileAction(int32_t number) const {
    const auto found = mnuProfile_.find(number);
    return found == mnuProfile_.end() ? nullptr : found->second;
}

}  // namespace korvex::ui
