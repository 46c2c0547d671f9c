#include <QAction>
#include <QLineEdit>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <gtest/gtest.h>

#include "text/Cp1255.h"
#include "ui/OperatorWindowRules.h"
#include "ui/qt/KorvexTray.h"
#include "ui/qt/QtOperatorUi.h"
#include "ui/qt/frmFileXfer.h"
#include "ui/qt/frmSplash.h"

namespace korvex::ui {
namespace {

TEST(TrayIcon, MenuStatesCallsToTheMainWindowTooltipAndIcon) {
    KorvexTray tray;
    std::vector<std::string> calls, logged;
    const auto call = [&](const char* what) { return [&calls, what] { calls.push_back(what); }; };
    TrayHooks hooks;
    hooks.renameCsv = call("rename"), hooks.showDetails = call("details"),
    hooks.exit = call("exit");
    hooks.loadProfile = [&](int32_t n) { calls.push_back("load " + std::to_string(n)); };
    hooks.log = [&](const std::string& line) { logged.push_back(line); };
    tray.setHooks(hooks);
    EXPECT_FALSE(tray.RenameCSV->isEnabled());
    tray.addProfileMenuItem(1, "A");
    tray.addProfileMenuItem(2, cp1255::fromUtf8("בנק12"));
    tray.setRenameCsvEnabled(true);
    tray.setProfileMenuChecked(2, true);

    tray.RenameCSV->trigger();
    tray.mnuRestore->trigger();
    tray.profileAction(2)->trigger();  // the current profile is loaded again
    tray.profileAction(1)->trigger();
    tray.mnuExit->trigger();
    tray.activate(QSystemTrayIcon::DoubleClick);
    tray.activate(QSystemTrayIcon::Context);  // opens the menu only
    EXPECT_EQ(calls, (std::vector<std::string>{"rename", "details", "load 2", "load 1", "exit",
                                               "details"}));
    // The menu does not move the check mark by itself: that is LoadProfile's job.
    EXPECT_TRUE(tray.profileAction(2)->isChecked() && !tray.profileAction(1)->isChecked());

    tray.setTooltip(cp1255::fromUtf8("פרופיל: A") + '\0' + std::string(50, ' '));  // the field
    EXPECT_EQ(tray.tooltip(), QString::fromUtf8("פרופיל: A"));
    // The corner beyond the program's card shows the profile's colour; the number is drawn on it.
    tray.changeIcon(0, 128, 0, 12, 255, 255, 255, 4);
    const QImage four = tray.iconImage();
    EXPECT_EQ(four.pixelColor(35, 35), QColor(0, 128, 0));
    tray.changeIcon(0, 128, 0, 12, 255, 255, 255, 8);
    EXPECT_NE(tray.iconImage(), four);
    // The offscreen platform has no tray: the program runs on and says so once.
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_FALSE(tray.add() || tray.add() || tray.visible());
    EXPECT_EQ(logged.size(), 1u);
}

TEST(TransferWindow, ShowsTheFileNameUnactivatedDrawsProgressAndSitsByTheRule) {
    QtOperatorUi ui;
    ui.fileXferShow(cp1255::fromUtf8("תמונות\\0012.tif"));
    frmFileXfer& window = *ui.fileXferWindow();
    EXPECT_EQ(window.Text1->text(), QString::fromUtf8("תמונות\\0012.tif"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
    const QRect work = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    const WindowPoint at = transferWindowPosition(work.x() + work.width(), work.y() + work.height(),
                                                  frame.width(), frame.height());
    EXPECT_EQ(frame.topLeft(), QPoint(at.left, at.top));

    ProgressPicture* picture = window.Picture1;
    const int w = picture->canvas().width();
    ASSERT_GT(w, 100);
    ui.fileXferProgress(0.4, "40% ");  // a blue bar under black text
    EXPECT_EQ(picture->lastText(), "40% ");
    EXPECT_EQ(picture->canvas().pixelColor(w * 2 / 5 - 2, picture->canvas().height() - 2),
              QColor(0, 0, 255));
    QTest::mouseClick(picture, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    ui.fileXferClose();
    EXPECT_EQ(ui.fileXferWindow(), nullptr);
}

}  // namespace
}  // namespace korvex::ui
