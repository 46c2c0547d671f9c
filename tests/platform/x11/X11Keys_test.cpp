// The X11 back ends typing into a real window under Xvfb, through FeedStringToApp.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <chrono>
#include <memory>

#include "app/frmKorvex.h"
#include "platform/posix/SystemClock.h"
#include "platform/qt/ClipboardQt.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11KeyboardLayout.h"
#include "platform/x11/X11WindowActivator.h"
#include "platform/x11/XTestKeyInjector.h"
#include "support/FakeHttpClient.h"
#include "support/FakeProcessLauncher.h"
#include "support/FakeSerialPort.h"
#include "support/RecordingDebugSink.h"
#include "support/ScriptedOperatorUi.h"
#include "support/TempFolder.h"
#include "support/ProcessHarness.h"
#include "text/Cp1255.h"
// Last: Xlib defines macros (None, Success, Bool) that clash with names in the headers above.
#include <X11/Xlib.h>

namespace korvex::test {
namespace {

using namespace std::chrono_literals;

// Each test process has its own Xvfb (and openbox when KORVEX_TEST_WM asks for it) and Qt
// application, for the clipboard.
struct X11Environment : ::testing::Environment {
    void SetUp() override {
        display = std::make_unique<VirtualDisplay>();
        if (display->display().empty()) error = "Xvfb did not start";
        if (!error.empty()) return;
        display->useHere();
        const auto announced = [] {  // a window manager owns the screen's manager selection
            x11::X11Connection c;
            return XGetSelectionOwner(c.display(), XInternAtom(c.display(), "WM_S0", False)) !=
                   None;
        };
        if (openboxWanted() && !display->startWindowManager(announced)) error = "no openbox";
        static int argc = 1;
        static char name[] = "korvex_x11_tests";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app.reset(), display.reset(); }
    std::unique_ptr<VirtualDisplay> display;
    std::unique_ptr<QGuiApplication> app;
    std::string error;
};

X11Environment* const environment =
    static_cast<X11Environment*>(::testing::AddGlobalTestEnvironment(new X11Environment));

// One target window and the real back ends, wired into a frmKorvex.
class X11KeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(environment->error, "");
        ASSERT_TRUE(target.start({KORVEX_TARGET_WINDOW_PATH, "--title", kTitle, "--out",
                                  (folder / "received.txt").string()}));
        // The window exists once it can be activated; give Qt a moment to finish showing it.
        ASSERT_TRUE(waitUntil([&] { return bool(windows.appActivate(kTitle)); }, 15s));
        std::this_thread::sleep_for(300ms);
        ProfileSettings p = form.profile();
        p.ActivateWindow = true;
        p.ActivateWindowTitle = "Korvex Target";
        form.setProfileForTesting(p);
    }

    // Waits until the target has received `expected` (running this process's events, which
    // serve the clipboard), then a little longer to catch anything extra.
    std::string waitFor(const std::string& expected) {
        const auto received = [&] { return folder.read("received.txt"); };
        const auto until = std::chrono::steady_clock::now() + 10s;
        for (int extra = 0; extra < 20; std::this_thread::sleep_for(10ms)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (received().size() >= expected.size() || std::chrono::steady_clock::now() > until)
                ++extra;
        }
        return received();
    }

    static constexpr const char* kTitle = "Korvex Target Window";
    TempFolder folder;
    ChildProcess target;
    x11::X11Connection connection;
    x11::X11KeyboardLayout layout{connection};
    x11::XTestKeyInjector keys{connection};
    x11::X11WindowActivator windows{connection};
    ClipboardQt clipboard{keys, layout};
    SystemClock clock;
    ScriptedOperatorUi ui;
    RecordingDebugSink debug;
    FakeSerialPort port;  // unused: feeding the application never reads the reader
    FakeHttpClient http;
    FakeProcessLauncher processes;
    frmKorvex form{
        Services{clock, debug, ui, port, http, processes, layout, keys, windows, clipboard},
        ProgramInfo{}};
};

TEST_F(X11KeysTest, EachRouteTypesIntoTheWindowOrNothingWithoutIt) {
    struct Case {
        const char* name;
        bool waitMode, clipboard;
        int keyPressDelay;  // above 0: the keybd engine, one key at a time
        const char* title;
        std::string text, expected;  // expected in UTF-8; "" when nothing may be sent
    };
    const std::string hebrew = "אבגדהוזחטיכךלמםנןסעפףצץקרשת";
    const std::vector<Case> cases = {
        {"the cheque template", false, false, 0, "Korvex Target",
         "12345678{TAB}10{TAB}800{TAB}123456{ENTER}", "12345678\t10\t800\t123456\r"},
        // All 27 letters: more than the spare keycodes, so they are borrowed in rounds.
        {"Hebrew on a US layout", false, false, 0, "Korvex Target",
         cp1255::fromUtf8("שלום {TAB}" + hebrew + "!"), "שלום \t" + hebrew + "!"},
        {"wait mode, a part of the title", true, false, 0, "target window", "x+y{ENTER}", "xY\r"},
        {"the keybd engine", false, false, 5, "Korvex Target", "ab{TAB}C\xE0", "ab\tCא"},
        {"the clipboard", false, true, 0, "Korvex Target", "1~2{TAB}3\xF9", "1\r\n2\t3ש"},
        {"a missing target", false, false, 0, "Nobody Has This Title", "abc", ""},
    };
    std::string all;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProfileSettings p = form.profile();
        p.WaitMode = c.waitMode;
        p.ClipboardWin98DOS = c.clipboard;
        p.KeyPressDelay = c.keyPressDelay;
        p.ActivateWindowTitle = c.title;
        form.setProfileForTesting(p);
        EXPECT_EQ(form.FeedStringToApp(c.text),
                  c.expected.empty() ? FeedOutcome::Discarded : FeedOutcome::Sent);
        all += c.expected;
        EXPECT_EQ(waitFor(all), all);
    }
}

TEST_F(X11KeysTest, SendInputTypesTheFullStopOnTheKeypadWithNumLockOffAndOn) {
    ASSERT_FALSE(form.SendKeys().NumLockOn());
    form.FeedStringToApp("12.50{TAB}");
    EXPECT_EQ(waitFor("12.50\t"), "12.50\t");
    EXPECT_FALSE(form.SendKeys().NumLockOn()) << "Num Lock must be switched off again";
    form.FeedStringToApp("{NUMLOCK}");
    waitFor("12.50\t");
    ASSERT_TRUE(form.SendKeys().NumLockOn());
    form.FeedStringToApp("3.7{NUMLOCK}");
    EXPECT_EQ(waitFor("12.50\t3.7"), "12.50\t3.7");
}

}  // namespace
}  // namespace korvex::test
