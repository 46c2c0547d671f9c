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
#include "ui/OperatorWindowRules.h"
#include "ui/qt/ImageBox.h"
#include "ui/qt/frmDetails.h"
#include "UiTestSupport.h"

namespace korvex::ui {
namespace {

const QString kManualSample = "A1234567 C12A12345E 123456C";

struct DetailsRig {
    frmDetails window;
    std::vector<std::string> classified, routed;
    std::vector<int32_t> chosen;
    int classAnswer = 1;

    DetailsRig() {
        DetailsHooks h;
        h.classify = [this](const std::string& t) {
            classified.push_back(t);
            return classAnswer;
        };
        h.processCheque = [this](const std::string& t) { routed.push_back("cheque " + t); };
        h.processMagStripe = [this](const std::string& t) { routed.push_back("card " + t); };
        h.profileChosen = [this](int32_t n) { chosen.push_back(n); };
        window.setHooks(h);
    }
    void fill(const std::vector<std::string>& names, int32_t current) {
        window.clearProfiles();
        for (const auto& n : names) window.addProfile(n);
        window.selectProfile(current - 1);
    }
};

TEST(DetailsWindow, ProfileListFillsOnceAndOnlyTheOperatorsChoiceLoads) {
    DetailsRig rig;
    EXPECT_EQ(rig.window.ManualData->text(), kManualSample);
    EXPECT_EQ(rig.window.cmbProfiles->placeholderText(), QString::fromUtf8("אין פרופילים!"));
    EXPECT_EQ(rig.window.Label1->layoutDirection(), Qt::RightToLeft);
    const std::vector<std::string> names = {"A", cp1255::fromUtf8("בנק12"), "C"};
    rig.fill(names, 2);
    rig.fill(names, 2);
    ASSERT_EQ(rig.window.cmbProfiles->count(), 3);
    EXPECT_EQ(rig.window.cmbProfiles->itemText(1), QString::fromUtf8("בנק12"));
    EXPECT_EQ(rig.window.cmbProfiles->currentIndex(), 1);
    EXPECT_FALSE(rig.window.selectProfile(3) || rig.window.selectProfile(-1));
    rig.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&rig.window));
    rig.window.cmbProfiles->setFocus();
    rig.window.cmbProfiles->setCurrentIndex(1);  // the current one again: no call
    EXPECT_TRUE(rig.chosen.empty());
    QTest::keyClick(rig.window.cmbProfiles, Qt::Key_Down);  // the keyboard chooses as a click
    EXPECT_EQ(rig.chosen, std::vector<int32_t>{3});
    rig.window.hide();
}

TEST(DetailsWindow, ReaderDataCopyMinimisingHidesAndClosingResets) {
    DetailsRig rig;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("old");
    rig.window.Copy->click();
    EXPECT_EQ(clipboard->text(), "");  // nothing read yet: emptied
    rig.window.setReaderData("A1 C2\r\n<<<20000 bytes of image data>>>\r\n");
    EXPECT_EQ(rig.window.readerData(), "A1 C2\n<<<20000 bytes of image data>>>\n");
    EXPECT_EQ(rig.window.ReaderData->textCursor().position(),
              rig.window.ReaderData->toPlainText().size());
    rig.window.Copy->click();
    EXPECT_EQ(clipboard->text(), "A1 C2\n<<<20000 bytes of image data>>>\n");
    rig.window.setLastDataSent(cp1255::fromUtf8("שלום{TAB}"));
    EXPECT_EQ(rig.window.LastDataSent->toPlainText(), QString::fromUtf8("שלום{TAB}"));
    rig.window.setReaderData(std::string("a\0b\xff", 4));  // binary and NUL are shown
    EXPECT_EQ(rig.window.ReaderData->toPlainText().size(), 4);
    rig.fill({"A"}, 1);
    rig.window.ManualData->setText("typed");
    rig.window.showDetails();
    rig.window.setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    EXPECT_FALSE(rig.window.isVisible());
    rig.window.showDetails();
    EXPECT_TRUE(rig.window.isVisible() && !rig.window.isMinimized());
    EXPECT_EQ(rig.window.readerData().size(), 4u);  // hiding keeps the contents
    rig.window.close();
    EXPECT_FALSE(rig.window.isVisible());
    EXPECT_EQ(rig.window.readerData() + rig.window.ManualData->text().toStdString(),
              kManualSample.toStdString());
    EXPECT_EQ(rig.window.cmbProfiles->count(), 0);
}

// The routing rule is the core's; here the button asks and hands the text on by its answer.
TEST(DetailsWindow, TryStringAsksAndRoutesByClass) {
    const struct {
        int cls;
        QMessageBox::StandardButton answer;
        std::string routed;
    } cases[] = {
        {1, QMessageBox::No, ""}, {1, QMessageBox::Yes, "cheque "}, {2, QMessageBox::Yes, "card "}};
    for (const auto& c : cases) {
        DetailsRig rig;
        rig.classAnswer = c.cls;
        auto box = test::answerMessageBox(c.answer);
        rig.window.TryString->click();
        ASSERT_TRUE(box->seen) << c.cls;
        const QString name = QString::fromStdString(cp1255::toUtf8(inputClassName(c.cls)));
        EXPECT_EQ(std::pair(box->title, box->direction),
                  std::pair(QString::fromUtf8("מידע ידני"), Qt::RightToLeft));
        EXPECT_TRUE(box->text.startsWith(QString::fromUtf8("תוצאה: ") + name));
        EXPECT_EQ(rig.classified, std::vector<std::string>{kManualSample.toStdString()});
        EXPECT_EQ(rig.routed, c.routed.empty() ? std::vector<std::string>{}
                                               : std::vector{c.routed + rig.classified[0]});
    }
}

}  // namespace
}  // namespace korvex::ui
