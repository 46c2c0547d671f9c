#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "ui/qt/DateBox.h"
#include "ui/qt/ImageBox.h"
#include "ui/qt/frmChequeData.h"
#include "ui/qt/frmChequeFull.h"
#include "UiTestSupport.h"

namespace korvex::ui {
namespace {

const QDate kToday(2026, 12, 6);

// Types text the way a keyboard does: one key event per character, with its text.
void typeText(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void showActive(QWidget* w) {
    w->show();
    QApplication::setActiveWindow(w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
}

ChequeDialogInput input(const char* c, const char* b, const char* br, const char* a,
                        uint8_t tabChar = 32) {
    ChequeDialogInput in;
    in.ChequeNum = c, in.BankNum = b, in.BranchNum = br, in.AccountNum = a, in.TabChar = tabChar;
    return in;
}

TEST(ChequeWindows, UnreadablePartsAreSelectedInBothDialogs) {
    const auto in = input("12?4?6", "@@", "9;9;", "123");
    frmChequeData data(in);
    frmChequeFull full(in, kToday);
    EXPECT_EQ(data.ChequeNum->selectedText() + data.BranchNum->selectedText(), "?4?;9;");
    EXPECT_EQ(full.ChequeNum->selectedText() + full.BankNum->selectedText(), "?4?@@");
}

TEST(ChequeWindows, TabCharAndEnterMoveOnOrConfirm) {
    frmChequeData data(input("1", "2", "3", "4", '*'));
    showActive(&data);
    data.ChequeNum->setFocus();
    typeText(data.ChequeNum, "5*");  // the TabChar is typed, then moves on
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), data.BankNum);
    QTest::keyClick(data.BankNum, Qt::Key_Return);
    EXPECT_FALSE(data.Cancelled || data.isVisible());
    EXPECT_EQ(data.MagtekLine, "A15* C2A3E 4C");

    frmChequeFull chain(input("1", "2", "3", "4", 13), kToday);
    showActive(&chain);
    chain.txtDate->setFocus();
    QTest::keyClick(chain.txtDate, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(QApplication::focusWidget(), chain.cmdOK);
    QTest::keyClick(chain.cmdOK, Qt::Key_Return);  // at the end of the chain Enter confirms
    EXPECT_FALSE(chain.isVisible() || chain.Cancelled);
}

// The caret's rules are the core's; here the box sends and takes the Left arrow of a Right.
TEST(ChequeWindows, DateBoxKeysAnIncompleteDateAndTheTypingRulesOfEachBox) {
    frmChequeFull full(input("123", "1?3", "456", "789"), kToday);
    showActive(&full);
    DateBox* d = full.txtDate;
    EXPECT_EQ(d->boxText(), "06/12/26");
    d->setFocus();
    d->selectOneAt(3);
    QTest::keyClick(d, Qt::Key_Right, Qt::KeypadModifier);  // keypad 6 with Num Lock off
    QApplication::processEvents();                          // the Left arrow it sends back
    EXPECT_EQ(std::pair(d->selectionStart(), d->selectedText()), std::pair(4, QString("2")));
    // An incomplete date keeps the dialog open, with the focus on the date.
    d->setText("12/  /26");
    auto box = test::answerMessageBox(QMessageBox::Ok);
    full.cmdOK->click();
    ASSERT_TRUE(box->seen);
    EXPECT_EQ(box->title + "|" + box->text,
              QString::fromUtf8("בעיה בהזנת פרטי צ'ק|תאריך לא תקין, נא לתקן."));
    EXPECT_TRUE(full.isVisible() && !full.Cancelled);
    EXPECT_EQ(full.focusWidget(), d);

    full.txtAmount->setFocus();
    typeText(full.txtAmount, QString::fromUtf8("12ץ50ץ"));  // final tsadi is the point key
    EXPECT_EQ(full.txtAmount->text(), "12.50.");
    full.ChequeNum->setFocus();
    full.ChequeNum->clear();
    typeText(full.ChequeNum, "1234567890123456");
    d->setFocus();
    d->selectOneAt(0);
    typeText(d, "311299");
    full.cmdOK->click();
    EXPECT_FALSE(full.Cancelled);
    EXPECT_EQ(full.DateText + " " + full.AmountText, "31/12/2099 12.50.");
    // Typing stops at the box's length; a longer field from the reader stays whole.
    EXPECT_EQ(full.MagtekLine, "A1234567890123 C1?3A456E 789C");
}

TEST(ChequeWindows, PictureOfTheChequeOrAShorterDialog) {
    QTemporaryDir dir;
    QImage(200, 90, QImage::Format_RGB32).save(dir.filePath("front.png"));
    auto in = input("1", "2", "3", "4");
    in.imageFile = dir.filePath("front.png").toStdU16String();
    frmChequeFull withImage(in, kToday);
    EXPECT_EQ(withImage.Image1->image().size(), QSize(200, 90));
    in.imageFile = dir.filePath("missing.png").toStdU16String();
    EXPECT_LT(frmChequeFull(in, kToday).height(), withImage.height());
}

}  // namespace
}  // namespace korvex::ui
