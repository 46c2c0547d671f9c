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

bool windowManagerAnnounced() {
    x11::X11Connection connection;
    Display* d = connection.display();
    if (d == nullptr) return false;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(d, DefaultRootWindow(d), XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False),
                       0, 1, False, AnyPropertyType, &type, &format, &items, &after, &data);
    if (data != nullptr) XFree(data);
    return items > 0;
}

class X11Environment : public ::testing::Environment {
public:
    void SetUp() override {
        display = std::make_unique<VirtualDisplay>();
        if (display->display().empty()) error = "Xvfb did not start";
        if (!error.empty()) return;
        display->useHere();
        if (openboxWanted() && !display->startWindowManager(windowManagerAnnounced)) {
            error = "openbox did not start";
        }
        static int argc = 1;
        static char name[] = "korvex_x11_tests";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override {
        app.reset();
        display.reset();
    }
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
        out = folder / "received.txt";
        ASSERT_TRUE(
            target.start({KORVEX_TARGET_WINDOW_PATH, "--title", kTitle, "--out", out.string()}));
        // The window exists once it can be activated; give Qt a moment to finish showing it.
        const auto until = std::chrono::steady_clock::now() + 15s;
        while (!windows.appActivate(kTitle) && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(50ms);
        }
        ASSERT_TRUE(windows.appActivate(kTitle)) << "the target window did not appear";
        std::this_thread::sleep_for(300ms);
        ProfileSettings p = form.profile();
        p.ActivateWindow = true;
        p.ActivateWindowTitle = "Korvex Target";
        form.setProfileForTesting(p);
    }
    Services services() {
        return {clock, debug, ui, port, http, processes, layout, keys, windows, clipboard};
    }

    std::string received() { return folder.read("received.txt"); }

    // Waits until the target has received `expected` (running this process's events, which
    // serve the clipboard), then a little longer to catch anything extra.
    std::string waitFor(const std::string& expected) {
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (received().size() < expected.size() && std::chrono::steady_clock::now() < until) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(10ms);
        }
        for (int i = 0; i < 20; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(10ms);
        }
        return received();
    }

    static constexpr const char* kTitle = "Korvex Target Window";
    TempFolder folder;
    std::filesystem::path out;
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
    frmKorvex form{services(), ProgramInfo{}};
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

TEST_F(X11KeysTest, AppActivateFailsWhenTheWindowRefusesTheFocus) {
    // A window that takes no input (WM_HINTS input False, no WM_TAKE_FOCUS): no window manager
    // gives it the focus, so keys sent after its activation would reach another window.
    Display* display = connection.display();
    const Window refusing =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
    XStoreName(display, refusing, "Korvex No Input");
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = False;
    XSetWMHints(display, refusing, &hints);
    XMapWindow(display, refusing);
    XSync(display, False);
    const auto listed = [&] {
        for (const auto& entry : windows.topLevelWindows()) {
            if (entry.second == "Korvex No Input") return true;
        }
        return false;
    };
    for (int i = 0; i < 250 && !listed(); ++i) std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(listed());
    const PlatformResult refused = windows.appActivate("Korvex No Input");
    EXPECT_EQ(refused.kind, PlatformResult::Kind::Refused);
    EXPECT_EQ(refused.message, "the window did not take the keyboard focus");
    EXPECT_NE(windows.lastError(), 0u);
    XDestroyWindow(display, refusing);
    XSync(display, False);
}

TEST_F(X11KeysTest, AppActivateReportsTheXErrorOfAListedWindowThatIsNotOnScreen) {
    // A window manager lists a window that is not mapped (gone from the screen since): giving it
    // the focus is a real BadMatch from the server, which the result must name.
    Display* display = connection.display();
    const Window root = DefaultRootWindow(display);
    const Window hidden = XCreateSimpleWindow(display, root, 0, 0, 200, 100, 0, 0, 0);
    XStoreName(display, hidden, "Korvex Off Screen");
    const Atom clients = XInternAtom(display, "_NET_CLIENT_LIST", False);
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const bool ownCheck = !environment->display->withWindowManager();
    const long id = static_cast<long>(hidden);
    if (ownCheck) {
        XChangeProperty(display, root, check, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&id), 1);
    }
    XChangeProperty(display, root, clients, XA_WINDOW, 32, PropModeAppend,
                    reinterpret_cast<const unsigned char*>(&id), 1);
    XSync(display, False);
    const PlatformResult result = windows.appActivate("Korvex Off Screen");
    EXPECT_EQ(result.kind, PlatformResult::Kind::SystemError) << result.describe();
    EXPECT_NE(result.message.find("BadMatch"), std::string::npos) << result.describe();
    if (ownCheck) {
        XDeleteProperty(display, root, check);
        XDeleteProperty(display, root, clients);
    }
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
        const char* title;
        std::string text, expected;  // expected in UTF-8
        FeedOutcome outcome;
    };
    const std::vector<Case> cases = {
        {"the cheque template", false, false, "Korvex Target",
         "12345678{TAB}10{TAB}800{TAB}123456{ENTER}", "12345678\t10\t800\t123456\r",
         FeedOutcome::Sent},
        // All 27 letters: more than the spare keycodes, so they are borrowed in rounds.
        {"Hebrew on a US layout", false, false, "Korvex Target",
         cp1255::fromUtf8("שלום {TAB}אבגדהוזחטיכךלמםנןסעפףצץקרשת!"),
         "שלום \tאבגדהוזחטיכךלמםנןסעפףצץקרשת!", FeedOutcome::Sent},
        {"wait mode", true, false, "Korvex Target", "x+y{ENTER}", "xY\r", FeedOutcome::Sent},
        {"the clipboard", false, true, "Korvex Target", "1~2{TAB}3\xF9", "1\r\n2\t3ש",
         FeedOutcome::Sent},
        {"a missing target", false, false, "Nobody Has This Title", "abc", "",
         FeedOutcome::Discarded},
    };
    std::string all;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProfileSettings p = form.profile();
        p.WaitMode = c.waitMode;
        p.ClipboardWin98DOS = c.clipboard;
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

TEST_F(X11KeysTest, TheKeybdEngineWaitsBeforeEachKey) {
    ProfileSettings p = form.profile();
    p.KeyPressDelay = 20;
    p.DoEventsOnDelay = true;
    form.setProfileForTesting(p);
    const auto start = std::chrono::steady_clock::now();
    form.FeedStringToApp("ab{TAB}C\xE0");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(waitFor("ab\tCא"), "ab\tCא");
    EXPECT_GE(took, 100ms);
    EXPECT_GE(ui.doEventsCalls, 10);
}

}  // namespace
}  // namespace korvex::test
