#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "text/Cp1255.h"
#include "ui/qt/ImageBox.h"
#include "ui/qt/QtOperatorUi.h"
#include "ui/qt/frmChequeData.h"
#include "ui/qt/frmChequeFull.h"
#include "ui/qt/frmFileXfer.h"
#include "ui/qt/frmManuallDebug.h"
#include "ui/qt/frmSplash.h"
#include "UiTestSupport.h"

namespace korvex::ui {
namespace {

TEST(QtOperatorUi, MessageBoxesAreRightToLeftWithTheirIconsAndAnswers) {
    QtOperatorUi ui;
    using B = QMessageBox;
    const struct {
        MsgIcon icon;
        MsgButtons buttons;
        QMessageBox::StandardButton press;
        QMessageBox::Icon qtIcon;
        MsgResult result;
    } cases[] = {{MsgIcon::Stop, MsgButtons::Ok, B::Ok, B::Critical, MsgResult::Ok},
                 {MsgIcon::Exclamation, MsgButtons::Ok, B::Ok, B::Warning, MsgResult::Ok},
                 {MsgIcon::Question, MsgButtons::YesNo, B::Yes, B::Question, MsgResult::Yes},
                 {MsgIcon::Question, MsgButtons::YesNo, B::No, B::Question, MsgResult::No},
                 {MsgIcon::Information, MsgButtons::YesNo, B::Yes, B::Information, MsgResult::Yes}};
    for (const auto& c : cases) {
        auto seen = test::answerMessageBox(c.press);
        const MsgResult r = ui.messageBox(cp1255::fromUtf8("שורה א\r\n\r\nשורה ב"),
                                          cp1255::fromUtf8("קורא צ'קים"), c.icon, c.buttons);
        ASSERT_TRUE(seen->seen);
        EXPECT_EQ(std::tuple(r, seen->icon, seen->direction),
                  std::tuple(c.result, c.qtIcon, Qt::RightToLeft));
        EXPECT_EQ(seen->title + "|" + seen->text, QString::fromUtf8("קורא צ'קים|שורה א\n\nשורה ב"));
    }
    // Escape on a Yes/No question answers No.
    test::whenModal<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(ui.messageBox("?", "t", MsgIcon::Question, MsgButtons::YesNo), MsgResult::No);
}

TEST(QtOperatorUi, InputBoxReturnsTheTextOrNothingWhenCancelled) {
    QtOperatorUi ui;
    test::whenModal<QInputDialog>([](QInputDialog* d) {
        EXPECT_EQ(d->layoutDirection(), Qt::RightToLeft);
        EXPECT_EQ(d->textValue(), "old");
        d->setTextValue(QString::fromUtf8("חדש"));
        d->accept();
    });
    EXPECT_EQ(ui.inputBox("prompt", "title", "old"), cp1255::fromUtf8("חדש"));
    test::whenModal<QInputDialog>([](QInputDialog* d) { d->reject(); });
    EXPECT_EQ(ui.inputBox("prompt", "title", "old"), "");
}

TEST(QtOperatorUi, PollingTimerTicksEvery100msWhileEnabled) {
    QtOperatorUi ui;
    int ticks = 0;
    QtOperatorUi::Hooks hooks;
    hooks.timerTick = [&] { ++ticks; };
    ui.setHooks(hooks);
    EXPECT_FALSE(ui.pollingTimerEnabled());
    EXPECT_EQ(ui.pollingTimer().interval(), 100);
    ui.setPollingTimerEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
    ui.setPollingTimerEnabled(false);
    EXPECT_FALSE(ui.pollingTimerEnabled());
    const int stopped = ticks;
    QTest::qWait(250);
    EXPECT_EQ(ticks, stopped);
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    ui.doEvents();
    EXPECT_TRUE(ran);
}

// Both dialogs run modal; OK rebuilds the line, Cancel and the frame's close leave it empty.
TEST(QtOperatorUi, ChequeDialogsAreModalOkRebuildsTheLineAndCancelOrTheFrameLeaveIt) {
    QtOperatorUi ui;
    ChequeDialogInput in;
    in.ChequeNum = "123", in.BankNum = "10", in.BranchNum = "456", in.AccountNum = "7?9";
    test::whenModal<frmChequeData>([](frmChequeData* d) {
        EXPECT_FALSE(d->VerifyCode->isVisible());  // only with a caption
        d->VerifyCode->setChecked(true);
        d->AccountNum->setText("789");
        d->cmdOK->click();
    });
    ChequeDialogResult r = ui.showChequeData(in);
    EXPECT_EQ(std::tuple(r.Cancelled, r.VerifyCodeTicked, r.MagtekLine + r.NonusLine),
              std::tuple(false, true, "A123 C10A456E 789C:123 <10:456> 789<"));
    test::whenModal<frmChequeData>([](frmChequeData* d) { d->cmdCancel->click(); });
    r = ui.showChequeData(in);
    EXPECT_TRUE(r.Cancelled && r.MagtekLine.empty());
    test::whenModal<frmChequeFull>([](frmChequeFull* d) {
        d->txtAmount->setText("12.50");
        d->cmdOK->click();
    });
    r = ui.showChequeFull(in);
    EXPECT_EQ(std::tuple(r.Cancelled, r.AmountText, r.DateText.substr(5, 3)),
              std::tuple(false, "12.50", "/20"));  // today as dd/mm/20yy
    in.verifyCaption = cp1255::fromUtf8("קוד 888");
    test::whenModal<frmChequeFull>([](frmChequeFull* d) {
        EXPECT_EQ(d->VerifyCode->text(), QString::fromUtf8("קוד 888"));
        EXPECT_TRUE(d->VerifyCode->isVisible());
        d->close();
    });
    r = ui.showChequeFull(in);
    EXPECT_TRUE(r.Cancelled && r.MagtekLine.empty());
    test::whenModal<frmChequeFull>([](frmChequeFull* d) { QTest::keyClick(d, Qt::Key_Escape); });
    EXPECT_TRUE(ui.showChequeFull(in).Cancelled);
}

// One window for the run, so the boxes keep the last choices for the next tick.
TEST(DebugWindow, ContPassesCombo1FirstThenKeepsTheChoicesAndExitEnds) {
    QtOperatorUi ui;
    int terminated = -1;
    QtOperatorUi::Hooks hooks;
    hooks.terminateAtOnce = [&](int code) {
        terminated = code;
        // The real handler never returns; the recorder closes the window instead.
        QTimer::singleShot(0, [] {
            if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) w->done(0);
        });
    };
    ui.setHooks(hooks);
    const auto run = [&](std::function<void(frmManuallDebug*)> act) {
        test::whenModal<frmManuallDebug>(act);
        const DebugWindowResult r = ui.showManualDebug();
        return r.bank + "/" + r.branch + "/" + r.account;
    };
    EXPECT_EQ(run([](frmManuallDebug* w) { w->cmdCont->click(); }), "Combo1/Combo1/Combo1");
    EXPECT_EQ(run([](frmManuallDebug* w) {
                  w->cmbBank->setCurrentIndex(1);
                  w->cmbAcc->setEditText("999");
                  w->cmdCont->click();
              }),
              "12/Combo1/999");
    EXPECT_EQ(run([](frmManuallDebug* w) { w->cmdCont->click(); }), "12/Combo1/999");
    EXPECT_EQ(terminated, -1);
    run([](frmManuallDebug* w) { w->Command2->click(); });
    EXPECT_EQ(terminated, 0);
}

TEST(QtOperatorUi, WindowsAreMadeOnFirstUseWiredToTheHooksAndHiddenAtTheEnd) {
    QtOperatorUi ui;
    std::vector<int32_t> chosen;
    std::vector<int> ended;
    QtOperatorUi::Hooks hooks;
    hooks.details.profileChosen = [&](int32_t n) { chosen.push_back(n); };
    hooks.endProcess = [&](int code) { ended.push_back(code); };
    ui.setHooks(hooks);
    EXPECT_EQ(ui.detailsReaderData(), "");
    EXPECT_FALSE(ui.detailsWindowExists());  // reading does not create it
    ui.detailsSetReaderData("abc");
    EXPECT_TRUE(ui.detailsWindowExists());
    EXPECT_EQ(ui.detailsReaderData(), "abc");
    ui.detailsAddProfile("A");
    ui.detailsAddProfile("B");
    EXPECT_TRUE(ui.detailsSelectProfile(0) && !ui.detailsSelectProfile(2));
    ui.detailsShow();
    EXPECT_TRUE(ui.detailsWindow()->isVisible() && chosen.empty());
    ui.detailsWindow()->cmbProfiles->setCurrentIndex(1);  // as the operator's choice does
    EXPECT_EQ(chosen, std::vector<int32_t>{2});
    ui.detailsWindow()->hide();

    ui.fileXferProgress(0.5, "50% ");  // before showing: nothing to draw, no crash
    ui.fileXferShow(cp1255::fromUtf8("תמונות\\a.tif"));
    ASSERT_NE(ui.fileXferWindow(), nullptr);
    EXPECT_EQ(ui.fileXferWindow()->Text1->text(), QString::fromUtf8("תמונות\\a.tif"));
    ui.fileXferProgress(0.37, "37% ");
    EXPECT_EQ(ui.fileXferWindow()->Picture1->lastText(), "37% ");
    ui.fileXferClose();
    EXPECT_EQ(ui.fileXferWindow(), nullptr);
    ui.fileXferClose();  // twice: harmless
    // Ending stops the timer and hides the windows; without a tray host the program runs on.
    EXPECT_FALSE(ui.addTrayIcon());
    ui.setPollingTimerEnabled(true);
    ui.detailsShow();
    ui.endProcess(3);
    EXPECT_EQ(ended, std::vector<int>{3});
    EXPECT_FALSE(ui.pollingTimerEnabled() || ui.detailsWindow()->isVisible() ||
                 ui.tray().visible());
}

// The display time is at least 750 ms, counted from the first paint.
TEST(Splash, DisplayTimeBackgroundClicksAndTheCreditLine) {
    EXPECT_EQ(frmSplash(749, nullptr).Timer1->interval(), 750);
    std::vector<QUrl> opened;
    frmSplash splash(3000, [&](const QUrl& url) { opened.push_back(url); });
    EXPECT_EQ(splash.Timer1->interval(), 3000);
    EXPECT_FALSE(splash.Timer1->isActive());  // not before it is painted
    splash.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return splash.Timer1->isActive(); }, 2000));
    QTest::mouseClick(splash.Label4, Qt::LeftButton);
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl(QString::fromLatin1(KORVEX_CREDIT_URL))});
    QTest::mouseClick(splash.MagTekPic, Qt::LeftButton);  // pictures do not react
    QTest::mouseClick(splash.OvraLabel, Qt::LeftButton);
    EXPECT_TRUE(splash.isVisible());
    QTest::mouseClick(&splash, Qt::LeftButton, Qt::NoModifier, QPoint(5, 250));
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(opened.size(), 1u);
    frmSplash quick(100, nullptr);
    quick.show();  // the timer closes the window
    EXPECT_TRUE(QTest::qWaitFor([&] { return !quick.isVisible(); }, 3000));
}

TEST(Splash, ModalWaitsUntilAKeyClosesItAndItIsShownOncePerProcess) {
    QtOperatorUi ui;
    bool seen = false;
    test::whenModal<frmSplash>([&](frmSplash* s) {
        seen = true;
        QTest::keyClick(s, Qt::Key_Space);
    });
    QElapsedTimer clock;
    clock.start();
    ui.showSplash(5000, true);
    EXPECT_TRUE(seen);
    EXPECT_LT(clock.elapsed(), 4000);  // closed by the key, not by the time
    ui.showSplash(5000, false);        // a second request shows nothing
    EXPECT_EQ(ui.splashWindow(), nullptr);
}

}  // namespace
}  // namespace korvex::ui
