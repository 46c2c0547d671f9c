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
#include "ui/qt/KorvexTray.h"
#include "ui/qt/ProgramIcon.h"
#include "ui/qt/frmFileXfer.h"

namespace korvex::ui {
namespace {

// Pixels of one colour inside a rectangle of the image.
int countColour(const QImage& image, QRect area, QColor colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) == colour) ++n;
        }
    }
    return n;
}

TEST(TrayIcon, DrawsTheBackgroundTheProgramIconAndTheNumber) {
    const QColor cyan(0, 255, 255);
    const QImage withNumber = profileIcon(255, 0, 0, 22, 0, 255, 255, 3);
    ASSERT_EQ(withNumber.size(), QSize(kTrayIconSurface, kTrayIconSurface));
    // The corner beyond the program icon shows the profile's colour.
    EXPECT_EQ(withNumber.pixelColor(35, 35), QColor(255, 0, 0));
    EXPECT_EQ(withNumber.pixelColor(35, 0), QColor(255, 0, 0));
    // The number is drawn in the text colour; with font size 1 it is not.
    EXPECT_GT(countColour(withNumber, withNumber.rect(), cyan), 10);
    const QImage noNumber = profileIcon(255, 0, 0, 1, 0, 255, 255, 3);
    EXPECT_EQ(countColour(noNumber, noNumber.rect(), cyan), 0);
    EXPECT_EQ(noNumber.pixelColor(35, 35), QColor(255, 0, 0));
    // The program icon lies over the background: the card's pale face shows in both.
    const QColor cardFace(250, 248, 235);
    EXPECT_EQ(noNumber.pixelColor(20, 22), cardFace);
    EXPECT_GT(countColour(withNumber, withNumber.rect(), cardFace), 10);
    // The leading blank keeps the digit off the left edge.
    EXPECT_EQ(countColour(withNumber, QRect(0, 0, 3, 36), cyan), 0);
    // Another number draws differently.
    EXPECT_NE(profileIcon(255, 0, 0, 22, 0, 255, 255, 8), withNumber);
    // A huge size does not hang or crash; the number is cut by the edge.
    EXPECT_FALSE(profileIcon(0, 0, 255, 32767, 255, 255, 255, 99).isNull());
}

TEST(TrayIcon, MenuTreeCaptionsAndStates) {
    KorvexTray tray;
    EXPECT_EQ(tray.RenameCSV->text(), QString::fromUtf8("&איפוס קובץ CSV"));
    EXPECT_FALSE(tray.RenameCSV->isEnabled());
    EXPECT_EQ(tray.mnuRestore->text(), QString::fromUtf8("&פרטים"));
    EXPECT_EQ(tray.mnuProfileMenu->title(), QString::fromUtf8("&פרופיל..."));
    EXPECT_EQ(tray.mnuExit->text(), QString::fromUtf8("&יציאה"));
    QAction* none = tray.profileAction(0);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->text(), QString::fromUtf8("אין פרופילים"));
    EXPECT_FALSE(none->isEnabled());
    EXPECT_TRUE(none->isVisible());
    const QList<QAction*> top = tray.menu()->actions();
    ASSERT_EQ(top.size(), 4);
    EXPECT_EQ(top[0], tray.RenameCSV);
    EXPECT_EQ(top[2]->menu(), tray.mnuProfileMenu);
    EXPECT_EQ(top[3], tray.mnuExit);

    tray.addProfileMenuItem(1, "Default");
    tray.addProfileMenuItem(2, cp1255::fromUtf8("בנק12"));
    tray.setNoProfilesItemVisible(false);
    tray.setRenameCsvEnabled(true);
    EXPECT_TRUE(tray.RenameCSV->isEnabled());
    EXPECT_FALSE(none->isVisible());
    EXPECT_EQ(tray.profileAction(2)->text(), QString::fromUtf8("בנק12"));
    EXPECT_TRUE(tray.setProfileMenuChecked(2, true));
    EXPECT_TRUE(tray.profileAction(2)->isChecked());
    EXPECT_FALSE(tray.profileAction(1)->isChecked());
    EXPECT_FALSE(tray.setProfileMenuChecked(3, true));
    EXPECT_FALSE(tray.setProfileMenuChecked(0, true));
}

TEST(TrayIcon, MenuAndClicksCallTheMainWindow) {
    KorvexTray tray;
    std::vector<std::string> calls;
    TrayHooks hooks;
    hooks.renameCsv = [&] { calls.push_back("rename"); };
    hooks.showDetails = [&] { calls.push_back("details"); };
    hooks.loadProfile = [&](int32_t n) { calls.push_back("load " + std::to_string(n)); };
    hooks.exit = [&] { calls.push_back("exit"); };
    tray.setHooks(hooks);
    tray.addProfileMenuItem(1, "A");
    tray.addProfileMenuItem(2, "B");
    tray.setProfileMenuChecked(2, true);
    tray.setRenameCsvEnabled(true);

    tray.RenameCSV->trigger();
    tray.mnuRestore->trigger();
    tray.profileAction(2)->trigger();  // the current profile is loaded again
    tray.profileAction(1)->trigger();
    tray.mnuExit->trigger();
    tray.activate(QSystemTrayIcon::Trigger);
    tray.activate(QSystemTrayIcon::DoubleClick);
    tray.activate(QSystemTrayIcon::Context);
    tray.activate(QSystemTrayIcon::MiddleClick);
    const std::vector<std::string> expected = {"rename", "load 2",  "load 1",
                                               "exit",   "details", "details"};
    std::vector<std::string> got = calls;
    got.erase(got.begin() + 1);  // "details" from the menu, checked apart
    EXPECT_EQ(calls[1], "details");
    EXPECT_EQ(got, expected);
    // The menu does not move the check mark by itself: that is LoadProfile's job.
    EXPECT_TRUE(tray.profileAction(2)->isChecked());
    EXPECT_FALSE(tray.profileAction(1)->isChecked());
}

TEST(TrayIcon, TooltipIconAndAMissingTrayHost) {
    KorvexTray tray;
    std::vector<std::string> logged;
    TrayHooks hooks;
    hooks.log = [&](const std::string& line) { logged.push_back(line); };
    tray.setHooks(hooks);
    EXPECT_EQ(tray.tooltip(), QString::fromUtf8("קורא צ'קים וכרטיסים"));
    std::string field = cp1255::fromUtf8("פרופיל: Default");
    field.push_back('\0');
    field.resize(64, ' ');
    tray.setTooltip(field);
    EXPECT_EQ(tray.tooltip(), QString::fromUtf8("פרופיל: Default"));
    tray.changeIcon(0, 128, 0, 12, 255, 255, 255, 4);
    EXPECT_EQ(tray.iconImage().pixelColor(35, 35), QColor(0, 128, 0));

    // The offscreen platform has no tray: the program runs on and says so once.
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_FALSE(tray.add());
    EXPECT_FALSE(tray.add());
    EXPECT_EQ(logged.size(), 1u);
    EXPECT_FALSE(tray.visible());
}

TEST(TransferWindow, ShowsTheFileNameAndDrawsProgress) {
    frmFileXfer window;
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("תמונת מסמך"));
    EXPECT_EQ(window.Label1->text(), QString::fromUtf8("שם קובץ:"));
    window.setFileName(cp1255::fromUtf8("תמונות\\0012#45_99.tif"));
    EXPECT_EQ(window.Text1->text(), QString::fromUtf8("תמונות\\0012#45_99.tif"));
    window.showNoActivate();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);

    ProgressPicture* picture = window.Picture1;
    const int w = picture->canvas().width();
    ASSERT_GT(w, 100);
    picture->DrawProgress(0, 50000, 20000, 0xFF0000, 0x000000);  // blue bar, black text
    EXPECT_EQ(picture->lastText(), "40% ");
    const QImage& canvas = picture->canvas();
    const int barEnd = w * 2 / 5;
    const int y = canvas.height() - 2;  // below the text
    EXPECT_EQ(canvas.pixelColor(barEnd - 2, y), QColor(0, 0, 255));
    EXPECT_EQ(canvas.pixelColor(barEnd + 2, y), QColor(255, 255, 255));
    int dark = 0;  // the text's ink, antialiased
    for (int x = 0; x < 40; ++x) {
        for (int yy = 0; yy < canvas.height() / 2; ++yy) {
            if (qGray(canvas.pixel(x, yy)) < 60) ++dark;
        }
    }
    EXPECT_GT(dark, 5);
    picture->DrawProgress(0, 50000, 50000, 0xFF0000, 0x000000);
    EXPECT_EQ(picture->lastText(), "100% ");
    EXPECT_EQ(picture->canvas().pixelColor(w - 1, y), QColor(0, 0, 255));

    // A click on the picture hides the window.
    QTest::mouseClick(picture, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

TEST(TransferWindow, SitsAt98PercentOfTheWorkArea) {
    frmFileXfer window;
    window.showNoActivate();
    const QRect work = window.screen()->availableGeometry();
    const int right = work.x() + work.width(), bottom = work.y() + work.height();
    EXPECT_EQ(window.frameGeometry().x(),
              static_cast<int>(0.98 * right) - window.frameGeometry().width());
    EXPECT_EQ(window.frameGeometry().y(),
              static_cast<int>(0.98 * bottom) - window.frameGeometry().height());
}

}  // namespace
}  // namespace korvex::ui
