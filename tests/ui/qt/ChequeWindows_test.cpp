#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "text/Cp1255.h"
#include "ui/qt/DateBox.h"
#include "ui/qt/ImageBox.h"
#include "ui/qt/UiText.h"
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
    in.ChequeNum = c;
    in.BankNum = b;
    in.BranchNum = br;
    in.AccountNum = a;
    in.TabChar = tabChar;
    return in;
}

TEST(ChequeWindows, UnreadablePartsAreSelectedInBothDialogs) {
    const auto in = input("12?4?6", "@@", "9;9;", "123");
    frmChequeData data(in);
    frmChequeFull full(in, kToday);
    for (auto boxes :
         {std::array<QLineEdit*, 4>{data.ChequeNum, data.BankNum, data.BranchNum, data.AccountNum},
          std::array<QLineEdit*, 4>{full.ChequeNum, full.BankNum, full.BranchNum,
                                    full.AccountNum}}) {
        EXPECT_EQ(boxes[0]->selectionStart(), 2);
        EXPECT_EQ(boxes[0]->selectedText(), QString("?4?"));
        EXPECT_EQ(boxes[1]->selectedText(), QString("@@"));
        EXPECT_EQ(boxes[2]->selectedText(), QString(";9;"));
        EXPECT_FALSE(boxes[3]->hasSelectedText());
    }
    // The marks come back when the operator reaches a box, after the box lost the focus.
    showActive(&data);
    for (QLineEdit* b : {data.ChequeNum, data.BankNum, data.ChequeNum}) {
        b->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    EXPECT_EQ(data.ChequeNum->selectedText(), QString("?4?"));
    EXPECT_EQ(data.BankNum->selectedText(), QString(""));
    // Once the operator changed the text, focus no longer restores the old mark.
    data.BankNum->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(data.BankNum->selectedText(), QString("@@"));
    typeText(data.BankNum, "7");
    data.ChequeNum->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    data.BankNum->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(data.BankNum->text(), "7");
    EXPECT_EQ(data.BankNum->selectedText(), "7");  // the box's own select-all on Tab
    // A field read in full is not selected when reached, so typing does not replace it.
    data.AccountNum->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(data.AccountNum->text(), "123");
    EXPECT_FALSE(data.AccountNum->hasSelectedText());
}

TEST(ChequeWindows, TabCharEntersTheCharacterAndMovesOn) {
    for (uint8_t tabChar : {uint8_t{32}, uint8_t{'*'}}) {
        frmChequeData data(input("", "", "", "", tabChar));
        showActive(&data);
        data.ChequeNum->setFocus();
        typeText(data.ChequeNum, "5" + QString(QChar(tabChar)));
        QApplication::processEvents();
        EXPECT_EQ(data.ChequeNum->text(), "5" + QString(QChar(tabChar)));
        EXPECT_EQ(QApplication::focusWidget(), data.BankNum) << int(tabChar);
        // Another character does not move the focus.
        typeText(data.BankNum, "1");
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), data.BankNum);
    }
}

TEST(ChequeWindows, ManualEntryOkRebuildsTheLineAndCancelLeavesIt) {
    frmChequeData data(input("123", "10", "456", "789"));
    data.VerifyCode->setChecked(true);
    data.cmdOK->click();
    EXPECT_FALSE(data.Cancelled);
    EXPECT_EQ(data.MagtekLine, "A123 C10A456E 789C");
    EXPECT_EQ(data.NonusLine, ":123 <10:456> 789<");
    EXPECT_TRUE(data.result().VerifyCodeTicked);
    EXPECT_EQ(data.result().MagtekLine, "A123 C10A456E 789C");

    frmChequeData cancelled(input("123", "10", "456", "789"));
    cancelled.cmdCancel->click();
    EXPECT_TRUE(cancelled.Cancelled);
    EXPECT_EQ(cancelled.MagtekLine, "");
    EXPECT_EQ(cancelled.NonusLine, "");
}

TEST(ChequeWindows, ClosingThroughTheFrameIsCancel) {
    frmChequeData data(input("1", "2", "3", "4"));
    showActive(&data);
    data.close();
    EXPECT_TRUE(data.Cancelled);
    EXPECT_EQ(data.result().Cancelled, true);
    frmChequeFull full(input("1", "2", "3", "4"), kToday);
    showActive(&full);
    full.close();
    EXPECT_TRUE(full.Cancelled);
    EXPECT_EQ(full.MagtekLine, "");
}

TEST(ChequeWindows, VerifyCodeBoxShowsOnlyWithACaption) {
    auto in = input("1", "2", "3", "4");
    frmChequeData hidden(in);
    showActive(&hidden);
    EXPECT_FALSE(hidden.VerifyCode->isVisible());
    in.verifyCaption = cp1255::fromUtf8("קוד 888");
    frmChequeFull shown(in, kToday);
    showActive(&shown);
    EXPECT_TRUE(shown.VerifyCode->isVisible());
    EXPECT_EQ(shown.VerifyCode->text(), QString::fromUtf8("קוד 888"));
}

TEST(ChequeWindows, EnterConfirmsOrMovesOnByTabChar) {
    {
        frmChequeData data(input("1", "2", "3", "4"));
        showActive(&data);
        data.ChequeNum->setFocus();
        QTest::keyClick(data.ChequeNum, Qt::Key_Return);
        EXPECT_FALSE(data.Cancelled);
        EXPECT_EQ(data.MagtekLine, "A1 C2A3E 4C");
        EXPECT_FALSE(data.isVisible());
    }
    {
        frmChequeFull full(input("1", "2", "3", "4", 32), kToday);
        showActive(&full);
        full.ChequeNum->setFocus();
        QTest::keyClick(full.ChequeNum, Qt::Key_Return);
        EXPECT_FALSE(full.isVisible());
        EXPECT_FALSE(full.Cancelled);
        EXPECT_EQ(full.DateText, "06/12/2026");
    }
    {
        frmChequeFull full(input("1", "2", "3", "4", 13), kToday);
        showActive(&full);
        full.ChequeNum->setFocus();
        QTest::keyClick(full.ChequeNum, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), full.BankNum);
        EXPECT_EQ(full.BankNum->text(), "2");
        full.txtDate->setFocus();
        QTest::keyClick(full.txtDate, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(QApplication::focusWidget(), full.cmdOK);
        EXPECT_TRUE(full.isVisible());
        EXPECT_EQ(full.MagtekLine, "");
        // Enter at the OK button, where the chain ends, confirms.
        QTest::keyClick(full.cmdOK, Qt::Key_Return);
        EXPECT_FALSE(full.isVisible());
        EXPECT_FALSE(full.Cancelled);
        EXPECT_EQ(full.MagtekLine, "A1 C2A3E 4C");
    }
}

TEST(ChequeWindows, AmountTurnsFinalTsadiIntoAPointAndBankTakesTwoCharacters) {
    frmChequeFull full(input("", "", "", ""), kToday);
    showActive(&full);
    full.txtAmount->setFocus();
    typeText(full.txtAmount, QString::fromUtf8("12ץ50"));
    EXPECT_EQ(full.txtAmount->text(), "12.50");
    typeText(full.txtAmount, QString::fromUtf8("ץ"));
    EXPECT_EQ(full.txtAmount->text(), "12.50.");
    full.BankNum->setFocus();
    typeText(full.BankNum, "123");
    EXPECT_EQ(full.BankNum->text(), "12");
    full.ChequeNum->setFocus();
    typeText(full.ChequeNum, "1234567890123456");
    EXPECT_EQ(full.ChequeNum->text().size(), 13);
}

TEST(ChequeWindows, DateBoxStartsWithTodayAndOkGivesTheFullYear) {
    const struct {
        const char* typed;
        const char* dateText;
    } cases[] = {{"051226", "05/12/2026"}, {"311299", "31/12/2099"}};
    for (const auto& c : cases) {
        frmChequeFull full(input("123", "10", "456", "789"), kToday);
        showActive(&full);
        EXPECT_EQ(full.txtDate->boxText(), "06/12/26");
        full.txtDate->setFocus();
        full.txtDate->selectOneAt(0);
        typeText(full.txtDate, c.typed);
        full.txtAmount->setText("100");
        full.cmdOK->click();
        EXPECT_FALSE(full.Cancelled) << c.typed;
        EXPECT_EQ(full.DateText, c.dateText);
        EXPECT_EQ(full.AmountText, "100");
        EXPECT_EQ(full.MagtekLine, "A123 C10A456E 789C");
        EXPECT_EQ(full.NonusLine, ":123 <10:456> 789<");
    }
}

TEST(ChequeWindows, AnIncompleteDateKeepsTheDialogOpen) {
    frmChequeFull full(input("1", "2", "3", "4"), kToday);
    showActive(&full);
    full.txtDate->setText("12/  /26");
    ASSERT_EQ(full.txtDate->boxText(), "12/__/26");
    auto box = test::answerMessageBox(QMessageBox::Ok);
    full.cmdOK->click();
    ASSERT_TRUE(box->seen);
    EXPECT_EQ(box->text, QString::fromUtf8("תאריך לא תקין, נא לתקן."));
    EXPECT_EQ(box->title, QString::fromUtf8("בעיה בהזנת פרטי צ'ק"));
    EXPECT_EQ(box->icon, QMessageBox::Warning);
    EXPECT_EQ(box->direction, Qt::RightToLeft);
    EXPECT_TRUE(full.isVisible());
    EXPECT_FALSE(full.Cancelled);
    EXPECT_EQ(full.MagtekLine, "");
    EXPECT_EQ(full.DateText, "");
    EXPECT_EQ(full.focusWidget(), full.txtDate);
}

// The caret's rules are the core's; here each kind of key reaches them through the box.
TEST(ChequeWindows, DateBoxOvertypeCaretMovesOneDigitAtATime) {
    const struct {
        int from;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int to;  // -1: no selection
        const char* text;
    } cases[] = {
        {0, Qt::Key_1, Qt::NoModifier, 1, "16/12/26"},
        {4, Qt::Key_9, Qt::KeypadModifier, 6, "06/19/26"},  // keypad digit, Num Lock on
        {0, Qt::Key_Right, Qt::NoModifier, 1, "06/12/26"},
        {3, Qt::Key_Right, Qt::KeypadModifier, 4, "06/12/26"},  // keypad 6, Num Lock off
        {3, Qt::Key_Left, Qt::NoModifier, 1, "06/12/26"},
        {6, Qt::Key_Left, Qt::KeypadModifier, 4, "06/12/26"},
        {6, Qt::Key_Home, Qt::NoModifier, 0, "06/12/26"},
    };
    for (const auto& c : cases) {
        frmChequeFull full(input("1", "2", "3", "4"), kToday);
        showActive(&full);
        DateBox* d = full.txtDate;
        d->setFocus();
        d->selectOneAt(c.from);
        QTest::keyClick(d, c.key, c.mods);
        QApplication::processEvents();  // the Left arrow a Right arrow sends back
        EXPECT_EQ(d->boxText(), c.text) << c.from << " " << c.key;
        if (c.to < 0) {
            EXPECT_FALSE(d->hasSelectedText()) << c.from << " " << c.key;
        } else {
            EXPECT_EQ(d->selectionStart(), c.to) << c.from << " " << c.key;
            EXPECT_EQ(d->selectedText().size(), 1) << c.from << " " << c.key;
        }
    }
}

TEST(ChequeWindows, InsertSwitchesTheOvertypeCaretOff) {
    frmChequeFull full(input("1", "2", "3", "4"), kToday);
    showActive(&full);
    DateBox* d = full.txtDate;
    d->setFocus();
    d->selectOneAt(0);
    ASSERT_TRUE(d->overtype());
    QTest::keyClick(d, Qt::Key_Insert);
    EXPECT_FALSE(d->overtype());
    QTest::keyClick(d, Qt::Key_Home);
    QTest::keyClick(d, Qt::Key_2);
    EXPECT_EQ(d->boxText(), "26/12/26");
    EXPECT_FALSE(d->hasSelectedText());
    QTest::keyClick(d, Qt::Key_Insert, Qt::ShiftModifier);  // with Shift: no toggle
    EXPECT_FALSE(d->overtype());
    QTest::keyClick(d, Qt::Key_Insert);
    EXPECT_TRUE(d->overtype());
    QTest::keyClick(d, Qt::Key_3);
    EXPECT_TRUE(d->hasSelectedText());
}

TEST(ChequeWindows, LongReaderFieldsArePutInWholeButTypingIsLimited) {
    frmChequeFull full(input("1", "1?3", "3", "4"), kToday);
    showActive(&full);
    EXPECT_EQ(full.BankNum->text(), "1?3");
    full.BankNum->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(full.BankNum->selectedText(), "?");
    full.BankNum->end(false);
    typeText(full.BankNum, "4");
    EXPECT_EQ(full.BankNum->text(), "1?3");
    QTest::keyClick(full.BankNum, Qt::Key_Backspace);
    QTest::keyClick(full.BankNum, Qt::Key_Backspace);
    typeText(full.BankNum, "56");
    EXPECT_EQ(full.BankNum->text(), "15");
}

TEST(ChequeWindows, PictureOfTheChequeOrAShorterDialog) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("front.png");
    QImage picture(200, 90, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(file));

    auto in = input("1", "2", "3", "4");
    in.imageFile = file.toStdU16String();
    frmChequeFull withImage(in, kToday);
    EXPECT_TRUE(withImage.imageLoaded());
    EXPECT_EQ(withImage.Image1->image().size(), QSize(200, 90));

    in.imageFile = dir.filePath("missing.png").toStdU16String();
    frmChequeFull without(in, kToday);
    EXPECT_FALSE(without.imageLoaded());
    EXPECT_LT(without.height(), withImage.height());
    EXPECT_TRUE(without.Image1->isHidden());

    // A file that is not a picture (binary noise, NUL bytes) is treated as missing.
    const QString noise = dir.filePath("noise.png");
    {
        QFile f(noise);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray bytes("\x89PNG\0\0\xff\x01", 8);
        for (int i = 0; i < 4096; ++i) bytes.append(char((i * 131) & 0xFF));
        f.write(bytes);
    }
    in.imageFile = noise.toStdU16String();
    frmChequeFull broken(in, kToday);
    EXPECT_FALSE(broken.imageLoaded());
    EXPECT_EQ(broken.height(), without.height());
}

TEST(ChequeWindows, ResizingKeepsTheControlsInProportion) {
    frmChequeFull full(input("1", "2", "3", "4"), kToday);
    showActive(&full);
    const QRect before = full.ChequeNum->geometry();
    const QSize size = full.size();
    full.resize(size.width() * 2, size.height());
    QApplication::processEvents();
    ASSERT_NE(full.autoResize(), nullptr);
    EXPECT_TRUE(full.autoResize()->recorded());
    const QRect after = full.ChequeNum->geometry();
    EXPECT_NEAR(after.x(), before.x() * 2, 1);
    EXPECT_NEAR(after.width(), before.width() * 2, 1);
    EXPECT_EQ(after.y(), before.y());
    EXPECT_EQ(after.height(), before.height());
}

}  // namespace
}  // namespace korvex::ui
