// The reader routines over a real pseudo-terminal and QSerialPort, against the simulated reader.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/posix/SystemClock.h"
#include "platform/qt/SerialPortQt.h"
#include "reader/ImageTransfer.h"
#include "reader/InputAssembler.h"
#include "reader/ReadResponse.h"
#include "reader/ReaderSetup.h"
#include "reader/SerialSettings.h"
#include "support/ProcessHarness.h"
#include "support/ScriptedOperatorUi.h"
#include "support/TempFolder.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using test::ScriptedOperatorUi;
using test::SimulatedReader;
using test::TempFolder;

struct Link {
    SimulatedReader reader;
    TempFolder folder;
    SerialPortQt port;
    SystemClock clock;
    ScriptedOperatorUi ui;
    std::vector<std::string> logs;
    int programEnds = 0;
    ReaderIo io{port,
                clock,
                ui,
                [this](const std::string& m) { logs.push_back(m); },
                "\r",
                folder.path(),
                [this] { ++programEnds; }};

    Link(const std::vector<std::string>& options, const std::string& settings) : reader(options) {
        EXPECT_FALSE(reader.device().empty());
        port.setPortName(reader.device());
        port.setSettings(*parseLineSettings(settings));
    }
    // Something the reader sends on its own: it must have arrived before the routine asks.
    void drain() {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        port.input();
    }
};

std::string imageOf(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 31 + i / 1000) & 0xff);
    return bytes;
}

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(ReaderLinkOnPty, IdentifiesTheReaderAtItsRate) {
    struct Case {
        const char* name;
        std::string rate, configured, finalSettings;
    };
    for (const Case& c :
         {Case{"reader and settings at 9600", "9600", "9600,n,8,1", "9600,n,8,1"},
          Case{"reader at 115200, settings 9600", "115200", "9600,n,8,1", "115200,n,8,1"}}) {
        SCOPED_TRACE(c.name);
        Link link({"--rate", c.rate}, c.configured);
        ASSERT_TRUE(link.port.open()) << link.port.lastError().description;
        EXPECT_TRUE(CheckIsMagtek(link.io));
        EXPECT_EQ(lineSettingsText(link.port.settings()), c.finalSettings);
        EXPECT_EQ(link.programEnds, 0);
        EXPECT_TRUE(link.ui.messageBoxes.empty());
        // The set-up commands change the reader's registers.
        EXPECT_TRUE(SendTrackCommand(link.io, "1,3"));
        link.port.output("HW\r");
        EXPECT_EQ(ReadResponse(link.io, 10, 1500, 1500), "HW=0001 0100\r");
    }
}

TEST(ReaderLinkOnPty, ASilentReaderEndsTheProgramAfterAboutSixSeconds) {
    Link link({"--silent"}, "9600,n,8,1");
    ASSERT_TRUE(link.port.open());
    bool identified = true;
    const double seconds = secondsOf([&] { identified = CheckIsMagtek(link.io); });
    EXPECT_FALSE(identified);
    EXPECT_GE(seconds, 6.0);
    EXPECT_LT(seconds, 9.0);
    ASSERT_EQ(link.ui.messageBoxes.size(), 1u);
    EXPECT_EQ(link.ui.messageBoxes[0].title, identificationFailureTitle());
    EXPECT_EQ(link.programEnds, 1);
}

TEST(ReaderLinkOnPty, ImagesArriveWholeOrAsFarAsTheReaderSent) {
    struct Case {
        const char* name;
        std::size_t size;
        std::vector<std::string> options;
        std::size_t expected;
        double minSeconds, maxSeconds;
    };
    const std::vector<Case> cases = {
        {"200,000 bytes arriving whole", 200000, {"--rate", "115200"}, 200000, 0, 5},
        {"50,000 announced, 20,000 sent",
         50000,
         {"--rate", "115200", "--image-stops-at", "20000"},
         20000,
         15,
         19},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Link link(c.options, "115200,n,8,1");
        link.ui.detailsExists = true;
        const std::string image = imageOf(c.size);
        link.folder.write("held.tif", image);
        ASSERT_TRUE(link.port.open());
        link.reader.script("image " + (link.folder / "held.tif").string());
        link.reader.script("scan A0012345C12A456E1234567C");
        link.drain();
        std::string name = "out\\front.tif";
        ImageTransferResult result;
        const double seconds = secondsOf([&] { result = ReceiveImage(link.io, name, false); });
        EXPECT_EQ(result.announced, static_cast<int32_t>(c.size));
        EXPECT_EQ(result.received, static_cast<int32_t>(c.expected));
        EXPECT_EQ(link.folder.read("out/front.tif"), image.substr(0, c.expected));
        EXPECT_GE(seconds, c.minSeconds);
        EXPECT_LT(seconds, c.maxSeconds);
        EXPECT_NE(
            link.ui.readerData.find("<<<" + std::to_string(c.expected) + " bytes of image data>>>"),
            std::string::npos);
        EXPECT_EQ(link.port.inputMode(), SerialPort::InputMode::Text);
        EXPECT_EQ(
            link.ui.fileXferProgressDrawn.back().second,
            DrawProgress(0, static_cast<int32_t>(c.size), static_cast<int32_t>(c.expected)).text);
    }
}

TEST(ReaderLinkOnPty, TheTickAssemblesMessagesSentInPieces) {
    class Recording : public MessageDispatch {
    public:
        std::vector<std::string> cheques;
        int classify(const std::string& m) override { return m.rfind("A", 0) == 0 ? 1 : 0; }
        void cheque(const std::string& line) override { cheques.push_back(line); }
        void magStripe(const std::string&) override {}
        void genUSCheque(const std::string&) override {}
        void backsideImage() override {}
        void documentImage() override {}
    } dispatch;
    Link link({"--terminator", "13,10"}, "9600,n,8,1");
    link.io.terminator = "\r\n";
    ASSERT_TRUE(link.port.open());
    link.reader.script("split A0012345C12|A456E|1234567C");
    link.reader.script("wait 500");
    link.reader.script("noise 3000");
    InputAssembler assembler;
    std::string buffer;
    for (int tick = 0; tick < 20; ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        assembler.tick(link.io, buffer, {}, dispatch);
    }
    EXPECT_EQ(dispatch.cheques, std::vector<std::string>{"A0012345C12A456E1234567C"});
    // The noise has no terminator: it waits in the buffer, which stays bounded.
    EXPECT_EQ(buffer.size(), 3000u);
    EXPECT_GE(std::count_if(
                  link.logs.begin(), link.logs.end(),
                  [](const std::string& m) { return m.rfind("Received partial input", 0) == 0; }),
              2);
}

}  // namespace
}  // namespace korvex
