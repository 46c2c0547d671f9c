#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "text/Cp1255.h"
#include "ui/OperatorWindowRules.h"
#include "ui/qt/frmDetails.h"
#include "UiTestSupport.h"

namespace korvex::ui {
namespace {

const std::string kManualSample = "A1234567 C12A12345E 123456C";

struct DetailsRig {
    frmDetails window;
    std::vector<std::string> routed;
    std::vector<int32_t> chosen;
    int classAnswer = 1;

    DetailsRig() {
        DetailsHooks h;
        h.classify = [this](const std::string&) { return classAnswer; };
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
    const std::vector<std::string> names = {"A", cp1255::fromUtf8("בנק12"), "C"};
    rig.fill(names, 2);
    rig.fill(names, 2);
    ASSERT_EQ(rig.window.cmbProfiles->count(), 3);
    rig.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&rig.window));
    rig.window.cmbProfiles->setFocus();
    rig.window.cmbProfiles->setCurrentIndex(1);             // the current one again: no call
    QTest::keyClick(rig.window.cmbProfiles, Qt::Key_Down);  // the keyboard chooses as a click
    EXPECT_EQ(rig.chosen, std::vector<int32_t>{3});
}

TEST(DetailsWindow, ReaderDataCopyMinimisingHidesAndClosingResets) {
    DetailsRig rig;
    rig.window.setReaderData("A1 C2\r\n<<<20000 bytes of image data>>>\r\n");
    rig.window.Copy->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "A1 C2\n<<<20000 bytes of image data>>>\n");
    rig.fill({"A"}, 1);
    rig.window.ManualData->setText("typed");
    rig.window.showDetails();
    rig.window.setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    EXPECT_FALSE(rig.window.isVisible());
    rig.window.showDetails();
    EXPECT_TRUE(rig.window.isVisible() && !rig.window.isMinimized());
    EXPECT_FALSE(rig.window.readerData().empty());  // hiding keeps the contents
    rig.window.close();
    EXPECT_EQ(rig.window.readerData() + rig.window.ManualData->text().toStdString(), kManualSample);
    EXPECT_EQ(rig.window.cmbProfiles->count(), 0);
}

// The routing rule is the core's; here the button asks and hands the text on by the answer.
TEST(DetailsWindow, TryStringAsksAndRoutesByClass) {
    DetailsRig rig;
    rig.classAnswer = 2;
    auto box = test::answerMessageBox(QMessageBox::Yes);
    rig.window.TryString->click();
    ASSERT_TRUE(box->seen);
    const QString question = QString::fromStdString(cp1255::toUtf8(tryStringQuestion(2)));
    EXPECT_EQ(box->text, QString(question).replace("\r\n", "\n"));
    EXPECT_EQ(rig.routed, std::vector<std::string>{"card " + kManualSample});
    rig.classAnswer = 1;
    box = test::answerMessageBox(QMessageBox::No);
    rig.window.TryString->click();
    EXPECT_TRUE(box->seen && rig.routed.size() == 1u);  // No hands nothing on
}

}  // namespace
}  // namespace korvex::ui
