#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "text/Cp1255.h"
#include "ui/qt/QtOperatorUi.h"
#include "ui/qt/frmChequeData.h"
#include "ui/qt/frmChequeFull.h"
#include "ui/qt/frmFileXfer.h"
#include "ui/qt/frmSplash.h"
#include "UiTestSupport.h"

namespace korvex::ui {
namespace {

TEST(QtOperatorUi, MessageBoxesAreRightToLeftWithTheirIconsAndAnswers) {
    QtOperatorUi ui;
    auto seen = test::answerMessageBox(QMessageBox::Yes);
    EXPECT_EQ(ui.messageBox(cp1255::fromUtf8("שורה א\r\n\r\nשורה ב"),
                            cp1255::fromUtf8("קורא צ'קים"), MsgIcon::Question, MsgButtons::YesNo),
              MsgResult::Yes);
    ASSERT_TRUE(seen->seen);
    EXPECT_EQ(std::tuple(seen->icon, seen->direction),
              std::tuple(QMessageBox::Question, Qt::RightToLeft));
    EXPECT_EQ(seen->title + "|" + seen->text, QString::fromUtf8("קורא צ'קים|שורה א\n\nשורה ב"));
    // Escape answers No.
    test::whenModal<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(ui.messageBox("?", "t", MsgIcon::Question, MsgButtons::YesNo), MsgResult::No);
}

TEST(QtOperatorUi, InputBoxReturnsTheTextOrNothingWhenCancelled) {
    QtOperatorUi ui;
    test::whenModal<QInputDialog>([](QInputDialog* d) {
        d->setTextValue(QString::fromUtf8("חדש"));
        d->accept();
    });
    EXPECT_EQ(ui.inputBox("prompt", "title", "old"), cp1255::fromUtf8("חדש"));
    test::whenModal<QInputDialog>([](QInputDialog* d) { d->reject(); });
    EXPECT_EQ(ui.inputBox("prompt", "title", "old"), "");
}

// Both dialogs run modal; OK rebuilds the line, the frame's close leaves it empty.
TEST(QtOperatorUi, ChequeDialogsAreModalOkRebuildsTheLineAndTheFrameLeavesIt) {
    QtOperatorUi ui;
    ChequeDialogInput in;
    in.ChequeNum = "123", in.BankNum = "10", in.BranchNum = "456", in.AccountNum = "7?9";
    test::whenModal<frmChequeData>([](frmChequeData* d) {
        d->VerifyCode->setChecked(true);
        d->AccountNum->setText("789");
        d->cmdOK->click();
    });
    ChequeDialogResult r = ui.showChequeData(in);
    EXPECT_EQ(std::tuple(r.Cancelled, r.VerifyCodeTicked, r.MagtekLine + r.NonusLine),
              std::tuple(false, true, "A123 C10A456E 789C:123 <10:456> 789<"));
    in.verifyCaption = cp1255::fromUtf8("קוד 888");
    test::whenModal<frmChequeFull>([](frmChequeFull* d) {
        EXPECT_EQ(d->VerifyCode->text(), QString::fromUtf8("קוד 888"));
        d->txtAmount->setText("12.50");
        d->cmdOK->click();
    });
    r = ui.showChequeFull(in);
    EXPECT_EQ(std::tuple(r.Cancelled, r.AmountText, r.DateText.substr(5, 3)),
              std::tuple(false, "12.50", "/20"));  // today as dd/mm/20yy
    test::whenModal<frmChequeFull>([](frmChequeFull* d) { d->close(); });
    r = ui.showChequeFull(in);
    EXPECT_TRUE(r.Cancelled && r.MagtekLine.empty());
}

TEST(QtOperatorUi, WindowsAreMadeOnFirstUseTheTimerTicksAndAllStopsAtTheEnd) {
    QtOperatorUi ui;
    std::vector<int32_t> chosen;
    std::vector<int> ended;
    int ticks = 0;
    QtOperatorUi::Hooks hooks;
    hooks.timerTick = [&] { ++ticks; };
    hooks.details.profileChosen = [&](int32_t n) { chosen.push_back(n); };
    hooks.endProcess = [&](int code) { ended.push_back(code); };
    ui.setHooks(hooks);
    for (const char* name : {"A", "B", "C"}) ui.detailsAddProfile(name);
    ui.detailsSelectProfile(1);                           // the program's own choice loads nothing
    ui.detailsWindow()->cmbProfiles->setCurrentIndex(2);  // the operator's choice loads
    EXPECT_EQ(chosen, std::vector<int32_t>{3});

    EXPECT_EQ(ui.pollingTimer().interval(), 100);
    ui.setPollingTimerEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
    // Ending stops the timer and hides the windows.
    ui.detailsShow();
    ui.endProcess(3);
    const int stopped = ticks;
    QTest::qWait(250);
    EXPECT_EQ(std::tuple(ended, ticks), std::tuple(std::vector<int>{3}, stopped));
    EXPECT_FALSE(ui.detailsWindow()->isVisible() || ui.tray().visible());
}

TEST(Splash, ModalWaitsUntilAKeyClosesItAndItIsShownOncePerProcess) {
    QtOperatorUi ui;
    bool closedByTheKey = false;
    test::whenModal<frmSplash>([&](frmSplash* s) {
        QTest::keyClick(s, Qt::Key_Space);
        closedByTheKey = !s->isVisible();
    });
    ui.showSplash(5000, true);
    EXPECT_TRUE(closedByTheKey);
    ui.showSplash(5000, false);  // a second request shows nothing
    EXPECT_EQ(ui.splashWindow(), nullptr);
    EXPECT_EQ(frmSplash(749, nullptr).Timer1->interval(), 750);  // shown for 750 ms at least
}

}  // namespace
}  // namespace korvex::ui
