#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "text/Cp1255.h"
#include "ui/OperatorWindowRules.h"
#include "ui/qt/frmDetails.h"
#include "UiTestSupport.h"

namespace korvex::ui {
namespace {

TEST(DetailsWindow, ReaderDataIsCopiedAndMinimisingHides) {
    frmDetails window;
    window.setReaderData("A1 C2\r\n<<<20000 bytes of image data>>>\r\n");
    window.Copy->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "A1 C2\n<<<20000 bytes of image data>>>\n");
    window.showDetails();
    window.setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
    window.showDetails();
    EXPECT_TRUE(window.isVisible() && !window.isMinimized());
}

// The routing rule is the core's; here the button asks and hands the text on by the answer.
TEST(DetailsWindow, TryStringAsksAndRoutesByClass) {
    frmDetails window;
    std::vector<std::string> routed;
    int classAnswer = 2;
    DetailsHooks h;
    h.classify = [&](const std::string&) { return classAnswer; };
    h.processCheque = [&](const std::string& t) { routed.push_back("cheque " + t); };
    h.processMagStripe = [&](const std::string& t) { routed.push_back("card " + t); };
    window.setHooks(h);
    auto box = test::answerMessageBox(QMessageBox::Yes);
    window.TryString->click();
    ASSERT_TRUE(box->seen);
    const QString question = QString::fromStdString(cp1255::toUtf8(tryStringQuestion(2)));
    EXPECT_EQ(box->text, QString(question).replace("\r\n", "\n"));
    EXPECT_EQ(routed, std::vector<std::string>{"card A1234567 C12A12345E 123456C"});  // the sample
    classAnswer = 1;
    box = test::answerMessageBox(QMessageBox::No);
    window.TryString->click();
    EXPECT_TRUE(box->seen && routed.size() == 1u);  // No hands nothing on
}

}  // namespace
}  // namespace korvex::ui
