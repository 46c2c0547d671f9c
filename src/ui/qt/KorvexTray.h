#pragma once
// The tray icon and its menu: the drawn profile icon with its tooltip, the menu tree (log
// reset, details, the profile submenu, exit), left click and double click for the details
// window. Where no tray host runs, the program carries on without it and says so once.

#include <QIcon>
#include <QImage>
#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "ui/ShellHooks.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace korvex::ui {

class KorvexTray : public QObject {
    Q_OBJECT
public:
    explicit KorvexTray(QObject* parent = nullptr);
    ~KorvexTray() override;

    void setHooks(TrayHooks hooks) { hooks_ = std::move(hooks); }
    // Adds the icon to the tray (the plain program icon and the start tooltip until a profile is
    // loaded). Without a tray host: logs it once and returns false.
    bool add();
    void remove();

    void setTooltip(const std::string& tooltipField);
    void changeIcon(uint8_t red, uint8_t green, uint8_t blue, int fontSize, uint8_t textRed,
                    uint8_t textGreen, uint8_t textBlue, int32_t profileNumber);
    void addProfileMenuItem(int32_t number, const std::string& caption);
    bool setProfileMenuChecked(int32_t number, bool checked);
    void setNoProfilesItemVisible(bool visible);
    void setRenameCsvEnabled(bool enabled);

    // For the shell and tests.
    QMenu* menu() const { return mnuPopupSys; }
    QAction* profileAction(int32_t number) const;
    const QImage& iconImage() const { return iconImage_; }
    QString tooltip() const { return tooltip_; }
    bool visible() const;
    // A tray notification: left click and double click open the details window.
    void activate(int reason);

    QMenu* mnuPopupSys = nullptr;
    QAction* RenameCSV = nullptr;
    QAction* mnuRestore = nullptr;
    QMenu* mnuProfileMenu = nullptr;
    QAction* mnuExit = nullptr;

private:
    QSystemTrayIcon* icon_ = nullptr;
    std::map<int32_t, QAction*> mnuProfile_;  // 0: the "no profiles" placeholder
    QImage iconImage_;
    QString tooltip_;
    TrayHooks hooks_;
    bool unavailableLogged_ = false;
};

}  // namespace korvex::ui
