#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "text/Cp1255.h"
#include "ui/qt/ImageBox.h"
#include "ui/qt/frmDetails.h"
#include "ui/qt/frmManuallDebug.h"
#include "UiTestSupport.h"

namespace korvex::ui {
namespace {

struct DetailsRig {
    frmDetails window;
    std::vector<std::string> classified, cheques, cards;
    std::vector<int32_t> chosen;
    int classAnswer = 1;

    DetailsRig() {
        DetailsHooks h;
        h.classify = [this](const std::string& t) {
            classified.push_back(t);
            return classAnswer;
        };
        h.processCheque = [this](const std::string& t) { cheques.push_back(t); };
        h.processMagStripe = [this](const std::string& t) { cards.push_back(t); };
        h.profileChosen = [this](int32_t n) { chosen.push_back(n); };
        window.setHooks(h);
    }
    void fill(const std::vector<std::string>& names, int32_t current) {
        window.clearProfiles();
        for (const auto& n : names) window.addProfile(n);
        window.selectProfile(current - 1);
    }
};

TEST(DetailsWindow, StartsWithItsInitialContents) {
    DetailsRig rig;
    EXPECT_EQ(rig.window.windowTitle(), QString::fromUtf8("קורא שיקים וכרטיסים של Ovra"));
    EXPECT_EQ(rig.window.ManualData->text(), "A1234567 C12A12345E 123456C");
    EXPECT_EQ(rig.window.cmbProfiles->count(), 0);
    EXPECT_EQ(rig.window.cmbProfiles->currentText(), "");
    EXPECT_EQ(rig.window.cmbProfiles->placeholderText(), QString::fromUtf8("אין פרופילים!"));
    EXPECT_EQ(rig.window.Label1->text(), QString::fromUtf8("פרופיל נוכחי:"));
    EXPECT_EQ(rig.window.TryString->text(), QString::fromUtf8("נסה מחרוזת"));
    EXPECT_EQ(rig.window.Copy->text(), QString::fromUtf8("העתק מידע מהקורא ללוח"));
    EXPECT_EQ(rig.window.Label1->layoutDirection(), Qt::RightToLeft);
    // Positions from the window's twips layout: the logo in the top-left corner, the try
    // button to the right of the manual box.
    EXPECT_EQ(rig.window.picOvraLogo->geometry().topLeft(), QPoint(0, 0));
    EXPECT_GT(rig.window.TryString->x(), rig.window.ManualData->geometry().right());
}

TEST(DetailsWindow, ReopeningDoesNotDuplicateProfilesAndSelectingDoesNotCallBack) {
    DetailsRig rig;
    const std::vector<std::string> names = {"Default", cp1255::fromUtf8("בנק12")};
    rig.fill(names, 2);
    rig.fill(names, 2);
    ASSERT_EQ(rig.window.cmbProfiles->count(), 2);
    EXPECT_EQ(rig.window.cmbProfiles->itemText(1), QString::fromUtf8("בנק12"));
    EXPECT_EQ(rig.window.cmbProfiles->currentIndex(), 1);
    EXPECT_TRUE(rig.chosen.empty());
    EXPECT_FALSE(rig.window.selectProfile(2));
    EXPECT_FALSE(rig.window.selectProfile(-1));
}

TEST(DetailsWindow, ChoosingTheCurrentProfileDoesNothingAndAnotherLoadsIt) {
    DetailsRig rig;
    rig.fill({"A", "B", "C"}, 2);
    rig.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&rig.window));
    QComboBox* list = rig.window.cmbProfiles;
    list->setFocus();
    // The keyboard chooses as a click does: down moves to the next entry.
    list->setCurrentIndex(1);  // the current one again: no change, no call
    EXPECT_TRUE(rig.chosen.empty());
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(rig.chosen, std::vector<int32_t>{3});
    rig.window.hide();
}

TEST(DetailsWindow, ReaderDataAndLastDataSent) {
    DetailsRig rig;
    rig.window.setReaderData("A1 C2\r\n<<<20000 bytes of image data>>>\r\n");
    EXPECT_EQ(rig.window.readerData(), "A1 C2\n<<<20000 bytes of image data>>>\n");
    EXPECT_EQ(rig.window.ReaderData->textCursor().position(),
              rig.window.ReaderData->toPlainText().size());
    rig.window.setLastDataSent(cp1255::fromUtf8("שלום{TAB}"));
    EXPECT_EQ(rig.window.LastDataSent->toPlainText(), QString::fromUtf8("שלום{TAB}"));
    // Binary bytes and NUL are shown, not lost or crashing.
    rig.window.setReaderData(std::string("a\0b\xff", 4));
    EXPECT_EQ(rig.window.ReaderData->toPlainText().size(), 4);
}

TEST(DetailsWindow, CopyPutsTheReaderDataOnTheClipboardOrLeavesItEmpty) {
    DetailsRig rig;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("old");
    rig.window.Copy->click();
    EXPECT_EQ(clipboard->text(), "");
    rig.window.setReaderData("A123 C10A456E 789C");
    rig.window.Copy->click();
    EXPECT_EQ(clipboard->text(), "A123 C10A456E 789C");
}

TEST(DetailsWindow, TryStringAsksAndRoutesByClass) {
    const struct {
        int cls;
        QMessageBox::StandardButton answer;
        const char* text;
        std::vector<std::string> cheques, cards;
        const char* name;
    } cases[] = {
        {1,
         QMessageBox::Yes,
         "A1234567 C12A12345E 123456C",
         {"A1234567 C12A12345E 123456C"},
         {},
         "צ'ק רגיל"},
        {1, QMessageBox::No, "A1234567 C12A12345E 123456C", {}, {}, "צ'ק רגיל"},
        {2, QMessageBox::Yes, "%B4580;123?", {}, {"%B4580;123?"}, "כרטיס מגנטי"},
    };
    for (const auto& c : cases) {
        DetailsRig rig;
        rig.classAnswer = c.cls;
        rig.window.ManualData->setText(c.text);
        auto box = test::answerMessageBox(c.answer);
        rig.window.TryString->click();
        ASSERT_TRUE(box->seen) << c.cls;
        EXPECT_EQ(box->title, QString::fromUtf8("מידע ידני"));
        EXPECT_TRUE(box->text.startsWith(QString::fromUtf8("תוצאה: ") + QString::fromUtf8(c.name)))
            << box->text.toStdString();
        EXPECT_EQ(box->icon, QMessageBox::Information);
        EXPECT_EQ(box->direction, Qt::RightToLeft);
        EXPECT_EQ(rig.classified, std::vector<std::string>{c.text});
        EXPECT_EQ(rig.cheques, c.cheques) << c.cls;
        EXPECT_EQ(rig.cards, c.cards) << c.cls;
    }
}

TEST(DetailsWindow, MinimisingHidesAndClosingResetsTheContents) {
    DetailsRig rig;
    rig.fill({"A"}, 1);
    rig.window.setReaderData("data");
    rig.window.ManualData->setText("typed");
    rig.window.showDetails();
    EXPECT_TRUE(rig.window.isVisible());
    rig.window.setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    EXPECT_FALSE(rig.window.isVisible());
    rig.window.showDetails();
    EXPECT_TRUE(rig.window.isVisible());
    EXPECT_FALSE(rig.window.isMinimized());
    EXPECT_EQ(rig.window.readerData(), "data");  // hiding keeps the contents

    rig.window.close();
    EXPECT_FALSE(rig.window.isVisible());
    EXPECT_EQ(rig.window.readerData(), "");
    EXPECT_EQ(rig.window.ManualData->text(), "A1234567 C12A12345E 123456C");
    EXPECT_EQ(rig.window.cmbProfiles->count(), 0);
}

TEST(DebugWindow, ContWithoutTouchingPassesCombo1AndKeepsTheChoices) {
    int terminated = -1;
    frmManuallDebug window([&](int code) { terminated = code; });
    EXPECT_EQ(window.windowTitle(), "Debug");
    EXPECT_EQ(window.cmbBank->count(), 2);
    EXPECT_EQ(window.cmbBranch->count(), 3);
    EXPECT_EQ(window.cmbAcc->count(), 4);
    test::whenModal<frmManuallDebug>([](frmManuallDebug* w) { w->cmdCont->click(); });
    const DebugWindowResult first = window.run();
    EXPECT_EQ(first.bank, "Combo1");
    EXPECT_EQ(first.branch, "Combo1");
    EXPECT_EQ(first.account, "Combo1");

    test::whenModal<frmManuallDebug>([](frmManuallDebug* w) {
        w->cmbBank->setCurrentIndex(1);
        w->cmbAcc->setEditText("999");
        w->cmdCont->click();
    });
    const DebugWindowResult second = window.run();
    EXPECT_EQ(second.bank, "12");
    EXPECT_EQ(second.branch, "Combo1");
    EXPECT_EQ(second.account, "999");

    // The next pass shows the previous choices still in the boxes.
    test::whenModal<frmManuallDebug>([](frmManuallDebug* w) { w->cmdCont->click(); });
    const DebugWindowResult third = window.run();
    EXPECT_EQ(third.bank, "12");
    EXPECT_EQ(third.account, "999");
    EXPECT_EQ(terminated, -1);
}

TEST(DebugWindow, ExitEndsAtOnce) {
    int terminated = -1;
    frmManuallDebug window([&](int code) {
        terminated = code;
        // The real handler never returns; the recorder closes the window instead.
        QTimer::singleShot(0, [] {
            if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) w->done(0);
        });
    });
    test::whenModal<frmManuallDebug>([](frmManuallDebug* w) { w->Command2->click(); });
    window.run();
    EXPECT_EQ(terminated, 0);
}

}  // namespace
}  // namespace korvex::ui
