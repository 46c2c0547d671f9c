// The X11 back ends typing into a real window under Xvfb, through FeedStringToApp.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <chrono>
#include <filesystem>
#include <memory>

#include "app/frmKorvex.h"
#include "output/UsKeyboardLayout.h"
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
#include <X11/Xatom.h>
#include <X11/Xutil.h>

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
        const auto announced = [] {  // a window manager names its window on the root
            x11::X11Connection c;
            Atom type = None;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* data = nullptr;
            XGetWindowProperty(c.display(), DefaultRootWindow(c.display()),
                               XInternAtom(c.display(), "_NET_SUPPORTING_WM_CHECK", False), 0, 1,
                               False, AnyPropertyType, &type, &format, &items, &after, &data);
            if (data != nullptr) XFree(data);
            return items > 0;
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
        ASSERT_TRUE(connection.ok());
        ASSERT_TRUE(keys.available());
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

    // A top-level window of this process's own: refusing the focus on screen, or never mapped.
    Window ownWindow(const char* title, bool refusing) {
        Display* display = connection.display();
        const Window w =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
        XStoreName(display, w, title);
        XWMHints hints{};
        hints.flags = InputHint;
        hints.input = False;
        if (refusing) XSetWMHints(display, w, &hints), XMapWindow(display, w);
        XSync(display, False);
        return w;
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
    FakeSerialPort
        port;  // the feeding routine never reads the reader, asks the web or runs scripts
    FakeHttpClient http;
    FakeProcessLauncher processes;
    frmKorvex form{
        Services{clock, debug, ui, port, http, processes, layout, keys, windows, clipboard},
        ProgramInfo{}};
};

TEST_F(X11KeysTest, AppActivateFindsTheWindowByTheStartOrAPartOfItsTitle) {
    EXPECT_TRUE(windows.appActivate("Korvex Target"));
    EXPECT_TRUE(windows.appActivate("target window"));
    EXPECT_FALSE(windows.appActivate("Nobody Has This Title"));
    EXPECT_FALSE(windows.appActivate(""));
    bool listed = false;
    for (const auto& [id, title] : windows.topLevelWindows()) listed = listed || title == kTitle;
    EXPECT_TRUE(listed);
    EXPECT_NE(windows.foregroundWindow(), 0u);
}

// A window that takes no input (WM_HINTS input False, no WM_TAKE_FOCUS): no window manager
// gives it the focus, so keys sent after its activation would reach another window.
TEST_F(X11KeysTest, AppActivateFailsWhenTheWindowRefusesTheFocus) {
    const Window refusing = ownWindow("Korvex No Input", true);
    ASSERT_TRUE(waitUntil([] { return windowTitled("Korvex No Input"); }, 5s));
    const PlatformResult refused = windows.appActivate("Korvex No Input");
    EXPECT_EQ(refused.kind, PlatformResult::Kind::Refused);
    EXPECT_EQ(refused.message, "the window did not take the keyboard focus");
    EXPECT_NE(windows.lastError(), 0u);
    XDestroyWindow(connection.display(), refusing);
    XSync(connection.display(), False);
}

// A window manager lists a window that is not mapped (gone from the screen since): giving it
// the focus is a real BadMatch from the server, which the result must name.
TEST_F(X11KeysTest, AppActivateReportsTheXErrorOfAListedWindowThatIsNotOnScreen) {
    Display* display = connection.display();
    const Window root = DefaultRootWindow(display), hidden = ownWindow("Korvex Off Screen", false);
    const Atom clients = XInternAtom(display, "_NET_CLIENT_LIST", False);
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const bool ownCheck = !environment->display->withWindowManager();
    const auto* id = reinterpret_cast<const unsigned char*>(&hidden);
    if (ownCheck) XChangeProperty(display, root, check, XA_WINDOW, 32, PropModeReplace, id, 1);
    XChangeProperty(display, root, clients, XA_WINDOW, 32, PropModeAppend, id, 1);
    XSync(display, False);
    const PlatformResult result = windows.appActivate("Korvex Off Screen");
    EXPECT_EQ(result.kind, PlatformResult::Kind::SystemError) << result.describe();
    EXPECT_NE(result.message.find("BadMatch"), std::string::npos) << result.describe();
    if (ownCheck) XDeleteProperty(display, root, check), XDeleteProperty(display, root, clients);
    XDestroyWindow(display, hidden);  // a window manager drops it from its list
    XSync(display, False);
}

TEST_F(X11KeysTest, TheLayoutAnswersAsTheUsLayoutForPrintableCharacters) {
    UsKeyboardLayout us;
    for (int c = 0x20; c < 0x7F; ++c) {
        const auto ch = static_cast<unsigned char>(c);
        EXPECT_EQ(layout.vkKeyScan(ch), us.vkKeyScan(ch)) << "character " << c;
        EXPECT_EQ(layout.oemKeyScan(layout.charToOem(ch)) & 0xFF,
                  us.oemKeyScan(us.charToOem(ch)) & 0xFF)
            << "character " << c;
    }
    for (const uint32_t vk : {8u, 9u, 13u, 16u, 17u, 18u, 27u, 32u, 110u, 112u, 144u}) {
        EXPECT_EQ(layout.mapVirtualKey(vk), us.mapVirtualKey(vk)) << "virtual key " << vk;
    }
    EXPECT_EQ(layout.vkKeyScan(0xE0), -1);  // Hebrew alef: no key on a US keymap
}

TEST_F(X11KeysTest, EachRouteTypesIntoTheWindowOrNothingWithoutIt) {
    struct Case {
        const char* name;
        bool waitMode, clipboard;
        int keyPressDelay;  // above 0: the keybd engine, one key at a time
        const char* title;
        std::string text, expected;  // expected in UTF-8
        FeedOutcome outcome;
    };
    const std::string hebrew = "אבגדהוזחטיכךלמםנןסעפףצץקרשת";
    const std::vector<Case> cases = {
        {"the cheque template", false, false, 0, "Korvex Target",
         "12345678{TAB}10{TAB}800{TAB}123456{ENTER}", "12345678\t10\t800\t123456\r",
         FeedOutcome::Sent},
        // All 27 letters: more than the spare keycodes, so they are borrowed in rounds.
        {"Hebrew on a US layout", false, false, 0, "Korvex Target",
         cp1255::fromUtf8("שלום {TAB}" + hebrew + "!"), "שלום \t" + hebrew + "!",
         FeedOutcome::Sent},
        {"wait mode", true, false, 0, "Korvex Target", "x+y{ENTER}", "xY\r", FeedOutcome::Sent},
        {"the keybd engine", false, false, 5, "Korvex Target", "ab{TAB}C\xE0", "ab\tCא",
         FeedOutcome::Sent},
        {"the clipboard", false, true, 0, "Korvex Target", "1~2{TAB}3\xF9", "1\r\n2\t3ש",
         FeedOutcome::Sent},
        {"a missing target", false, false, 0, "Nobody Has This Title", "abc", "",
         FeedOutcome::Discarded},
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
        EXPECT_EQ(form.FeedStringToApp(c.text), c.outcome);
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
    form.FeedStringToApp("3.7");
    EXPECT_EQ(waitFor("12.50\t3.7"), "12.50\t3.7");
    EXPECT_TRUE(form.SendKeys().NumLockOn());
    form.FeedStringToApp("{NUMLOCK}");
}

}  // namespace
}  // namespace korvex::test
