// The built program on a private X server against the simulated reader: the port, the keys in a
// real window and the files.
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "ProgramFolder.h"
// Last: Xlib's macros (None, Bool) clash with names in the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace korvex::test {
namespace {

constexpr const char* kTargetTitle = "Korvex system target";
const std::string kChequeKeys = "<12345\t12\t345\t123456>\r";
const std::string kTwoChequesKeys = kChequeKeys + "<67890\t12\t345\t123456>\r";

// Bytes of every value, CR and NUL among them: the image must pass the line unchanged.
std::string imageBytes(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xff);
    return bytes;
}

// The id of the top-level window titled `title`; 0 when there is none.
std::uint64_t windowId(const std::string& title) {
    x11::X11Connection connection;
    for (const auto& [id, name] : x11::X11WindowActivator(connection).topLevelWindows()) {
        if (name == title) return id;
    }
    return 0;
}

class ChequeRoad : public ::testing::Test {
protected:
    OrphanGuard orphans;  // declared first: ends whatever is left, last
    ProgramFolder folder;
    VirtualDisplay display;
    SimulatedReader reader;
    ChildProcess target, program;

    void SetUp() override {
        ASSERT_FALSE(display.display().empty()) << "Xvfb did not start";
        display.useHere();
    }

    // Everything up until the program polls; started elsewhere, it finds its folder by itself.
    // `beforeProgram` runs once the target window is up.
    void startPolling(const std::string& extraKeys = {},
                      const std::function<void()>& beforeProgram = {}) {
        ASSERT_TRUE(
            reader.start({"--rate", "9600"}, folder / "reader-line", folder / "reader.out"));
        folder.writeConfig(
            "[Config]|SplashScreenTime=750|PortName=" + reader.device() +
            "|CommSettings=9600,n,8,1|DataTerminationChars=13|DefaultProfileName=System|[System]|"
            "ActivateWindow=1|ActivateWindowTitle=" +
            kTargetTitle +
            "|LetUserFillDetails=0|CSVFile=Log.CSV|ChequeNumStart=-13|ChequeNumLength=13|"
            "ChequeNumLeadingZeros=0|ChequeBranchNumLength=3|ChequeAccountNumStart=-13|"
            "ChequeAccountNumLength=13|ChequeAccountNumLeadingZeros=0|ChequeBackTimeout=0|"
            "ImageFileNameTemplate=images\\{ChequeNum}_{AccountNum}.tif|ChequeTemplate="
            "<{ChequeNum}{TAB}{BankNum}{TAB}{BranchNum}{TAB}{AccountNum}>{ENTER}" +
            extraKeys);
        ASSERT_TRUE(target.start({KORVEX_TARGET_WINDOW, "--title", kTargetTitle, "--out",
                                  (folder / "received.txt").string()},
                                 {display.environment(), folder / "target.log", -1, -1}));
        ASSERT_TRUE(waitUntil([] { return windowId(kTargetTitle) != 0; }, 20s))
            << "no target window: " << folder.read("target.log");
        if (beforeProgram) beforeProgram();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(program.start({folder.program().string()},
                                  {display.environment(), folder / "korvex.log", -1, -1}));
        ASSERT_TRUE(polled()) << programLog();
    }
    // Polling has begun once a probe is reported as unidentified (start-up discards earlier ones).
    bool polled() {
        return waitUntil(
            [&] {
                const std::string name = "PROBE" + std::to_string(++probes_);
                reader.script("scan " + name);
                return waitUntil(
                    [&] { return programLog().find("Unidentified: " + name) != std::string::npos; },
                    1500ms);
            },
            30s);
    }
    std::string programLog() const { return folder.read("korvex.log"); }
    // What the target received once `size` bytes are there, and a moment more to catch extras.
    std::string received(std::size_t size) {
        EXPECT_TRUE(waitUntil([&] { return folder.read("received.txt").size() >= size; }, 20s))
            << programLog();
        std::this_thread::sleep_for(700ms);
        return folder.read("received.txt");
    }

private:
    int probes_ = 0;
};

// After a cheque the reader dies and comes back: the program polls it again and types the next.
TEST_F(ChequeRoad, ChequesReachTheTargetTheLogAndTheImagesAcrossAReaderRestart) {
    startPolling();
    if (HasFatalFailure()) return;
    folder.write("front.tif", imageBytes(6000));
    reader.script("image " + (folder / "front.tif").string());
    reader.script("scan A0012345 C12A345E 000123456C");
    EXPECT_EQ(received(kChequeKeys.size()), kChequeKeys);
    const auto image = folder / "images" / "12345_123456.tif";
    EXPECT_TRUE(waitUntil([&] { return readWholeFile(image) == imageBytes(6000); }, 20s));
    const std::regex line(
        R"(0012345,12,345,000123456,\d\d:\d\d:\d\d,\d\d/\d\d/\d{4},,,"images\\12345_123456\.tif"\r\n)");
    EXPECT_TRUE(std::regex_match(folder.read("Log.CSV"), line)) << folder.read("Log.CSV");

    // Held still while the reader dies and comes back, the program next finds its line hung up.
    kill(program.pid(), SIGSTOP);
    kill(reader.process.pid(), SIGKILL);
    ASSERT_TRUE(reader.process.waitForExit(5s).has_value());
    ASSERT_TRUE(reader.start({"--rate", "9600"}, folder / "reader-line", folder / "reader.out"));
    kill(program.pid(), SIGCONT);
    ASSERT_TRUE(polled()) << programLog();  // reopened: the probe reached it on the new line
    reader.script("image " + (folder / "front.tif").string());
    reader.script("scan A0067890 C12A345E 000123456C");
    EXPECT_EQ(received(kTwoChequesKeys.size()), kTwoChequesKeys);
}

// A window manager caught while it starts, with the target already on screen: it has announced
// itself and framed the target, but lists no client yet (openbox started beside a running
// program passes through this for up to a second). KORVEX_TEST_WM=openbox starts the real one.
void frameAsAStartingWindowManager(Display* display, const std::string& title) {
    const Window root = DefaultRootWindow(display);
    const auto target = static_cast<Window>(windowId(title));
    ASSERT_NE(target, None);
    Window check = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    XChangeProperty(display, root, XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False),
                    XA_WINDOW, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&check), 1);
    const Window frame = XCreateSimpleWindow(display, root, 0, 0, 600, 400, 0, 0, 0);
    XMapWindow(display, frame);
    XAddToSaveSet(display, target);
    XReparentWindow(display, target, frame, 0, 20);
    XSync(display, False);
}

TEST_F(ChequeRoad, ChequesReachATargetThatWasUpBeforeTheWindowManager) {
    ChildProcess openbox;
    Display* x = XOpenDisplay(nullptr);  // held open: its frame goes with it
    ASSERT_NE(x, nullptr);
    startPolling("|WhenActivateWindowFails=0", [&] {
        if (openboxWanted()) {
            ASSERT_TRUE(
                openbox.start({"openbox", "--sm-disable"}, {display.environment(), {}, -1, -1}));
        } else {
            frameAsAStartingWindowManager(x, kTargetTitle);
        }
    });
    reader.script("scan A0012345 C12A345E 000123456C");
    reader.script("scan A0067890 C12A345E 000123456C");
    EXPECT_EQ(received(kTwoChequesKeys.size()), kTwoChequesKeys) << programLog();
    XCloseDisplay(x);
}

}  // namespace
}  // namespace korvex::test
