#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <gtest/gtest.h>

#include "text/Cp1255.h"
#include "ui/OperatorWindowRules.h"
#include "ui/qt/KorvexTray.h"
#include "ui/qt/ProgramIcon.h"
#include "ui/qt/frmFileXfer.h"

namespace korvex::ui {
namespace {

// Pixels of one colour inside a rectangle of the image.
int countColour(const QImage& image, QRect area, QColor colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) n += image.pixelColor(x, y) == colour;
    }
    return n;
}

TEST(TrayIcon, DrawsTheBackgroundTheProgramIconAndTheNumber) {
    const QColor cyan(0, 255, 255), red(255, 0, 0), cardFace(250, 248, 235);
    const QImage withNumber = profileIcon(255, 0, 0, 22, 0, 255, 255, 3);
    ASSERT_EQ(withNumber.size(), QSize(kTrayIconSurface, kTrayIconSurface));
    // The corner beyond the program icon shows the profile's colour; the card lies over it.
    EXPECT_EQ(withNumber.pixelColor(35, 35), red);
    EXPECT_EQ(withNumber.pixelColor(35, 0), red);
    EXPECT_GT(countColour(withNumber, withNumber.rect(), cardFace), 10);
    // The number is drawn in the text colour, off the left edge; with font size 1 it is not.
    EXPECT_GT(countColour(withNumber, withNumber.rect(), cyan), 10);
    EXPECT_EQ(countColour(withNumber, QRect(0, 0, 3, 36), cyan), 0);
    const QImage noNumber = profileIcon(255, 0, 0, 1, 0, 255, 255, 3);
    EXPECT_EQ(countColour(noNumber, noNumber.rect(), cyan), 0);
    EXPECT_EQ(noNumber.pixelColor(20, 22), cardFace);
    EXPECT_NE(profileIcon(255, 0, 0, 22, 0, 255, 255, 8), withNumber);
    // A huge size does not hang or crash; the number is cut by the edge.
    EXPECT_FALSE(profileIcon(0, 0, 255, 32767, 255, 255, 255, 99).isNull());
}

TEST(TrayIcon, MenuStatesAndCallsToTheMainWindow) {
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
    const QList<QAction*> top = tray.menu()->actions();
    EXPECT_EQ(std::pair(top.size(), top.at(2)->menu()),
              std::pair(qsizetype(4), tray.mnuProfileMenu));
    QAction* none = tray.profileAction(0);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->text(), QString::fromUtf8("אין פרופילים"));
    EXPECT_TRUE(none->isVisible() && !none->isEnabled());

    tray.addProfileMenuItem(1, "A");
    tray.addProfileMenuItem(2, cp1255::fromUtf8("בנק12"));
    tray.setNoProfilesItemVisible(false);
    tray.setRenameCsvEnabled(true);
    EXPECT_TRUE(tray.RenameCSV->isEnabled() && !none->isVisible());
    EXPECT_EQ(tray.profileAction(2)->text(), QString::fromUtf8("בנק12"));
    EXPECT_TRUE(tray.setProfileMenuChecked(2, true));
    EXPECT_FALSE(tray.setProfileMenuChecked(3, true) || tray.setProfileMenuChecked(0, true));

    tray.RenameCSV->trigger();
    tray.mnuRestore->trigger();
    tray.profileAction(2)->trigger();  // the current profile is loaded again
    tray.profileAction(1)->trigger();
    tray.mnuExit->trigger();
    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick,
                        QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick}) {
        tray.activate(reason);
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"rename", "details", "load 2", "load 1", "exit",
                                               "details", "details"}));
    // The menu does not move the check mark by itself: that is LoadProfile's job.
    EXPECT_TRUE(tray.profileAction(2)->isChecked() && !tray.profileAction(1)->isChecked());

    tray.setTooltip(cp1255::fromUtf8("פרופיל: A") + '\0' + std::string(50, ' '));  // the field
    EXPECT_EQ(tray.tooltip(), QString::fromUtf8("פרופיל: A"));
    tray.changeIcon(0, 128, 0, 12, 255, 255, 255, 4);
    EXPECT_EQ(tray.iconImage().pixelColor(35, 35), QColor(0, 128, 0));
    // The offscreen platform has no tray: the program runs on and says so once.
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_FALSE(tray.add() || tray.add() || tray.visible());
    EXPECT_EQ(logged.size(), 1u);
}

TEST(TransferWindow, ShowsTheFileNameDrawsProgressAndSitsByTheRule) {
    frmFileXfer window;
    window.setFileName(cp1255::fromUtf8("תמונות\\0012#45_99.tif"));
    EXPECT_EQ(window.Text1->text(), QString::fromUtf8("תמונות\\0012#45_99.tif"));
    window.showNoActivate();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    // The position is the core rule's, applied to this screen's work area.
    const QRect work = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    const WindowPoint at = transferWindowPosition(work.x() + work.width(), work.y() + work.height(),
                                                  frame.width(), frame.height());
    EXPECT_EQ(frame.topLeft(), QPoint(at.left, at.top));

    ProgressPicture* picture = window.Picture1;
    const int w = picture->canvas().width();
    ASSERT_GT(w, 100);
    picture->DrawProgress(0, 50000, 20000, 0xFF0000, 0x000000);  // blue bar, black text
    EXPECT_EQ(picture->lastText(), "40% ");
    const QImage& canvas = picture->canvas();
    const int y = canvas.height() - 2;  // below the text
    EXPECT_EQ(canvas.pixelColor(w * 2 / 5 - 2, y), QColor(0, 0, 255));
    EXPECT_EQ(canvas.pixelColor(w * 2 / 5 + 2, y), QColor(255, 255, 255));
    int dark = 0;  // the text's ink, antialiased
    for (int x = 0; x < 40; ++x) {
        for (int yy = 0; yy < canvas.height() / 2; ++yy) dark += qGray(canvas.pixel(x, yy)) < 60;
    }
    EXPECT_GT(dark, 5);
    // A click on the picture hides the window.
    QTest::mouseClick(picture, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace korvex::ui
