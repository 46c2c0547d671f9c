// The reader routines over a real pseudo-terminal and QSerialPort, against the simulated reader.
// Their timing and their rules are the core's; here the bytes must pass the real line.
#include <gtest/gtest.h>

#include "platform/posix/SystemClock.h"
#include "platform/qt/SerialPortQt.h"
#include "reader/ImageTransfer.h"
#include "reader/ReadResponse.h"
#include "reader/ReaderSetup.h"
#include "reader/SerialSettings.h"
#include "support/ProcessHarness.h"
#include "support/ScriptedOperatorUi.h"
#include "support/TempFolder.h"

namespace korvex {
namespace {

struct Link {
    test::SimulatedReader reader;
    test::TempFolder folder;
    SerialPortQt port;
    SystemClock clock;
    test::ScriptedOperatorUi ui;
    int programEnds = 0;
    ReaderIo io{
        port, clock, ui, [](const std::string&) {}, "\r", folder.path(), [this] { ++programEnds; }};

    Link(const std::string& rate, const std::string& settings) : reader({"--rate", rate}) {
        EXPECT_FALSE(reader.device().empty());
        port.setPortName(reader.device());
        port.setSettings(*parseLineSettings(settings));
        EXPECT_TRUE(port.open()) << port.lastError().description;
    }
};

TEST(ReaderLinkOnPty, IdentifiesTheReaderAtItsRate) {
    const struct {
        const char *rate, *configured, *found;
    } cases[] = {{"9600", "9600,n,8,1", "9600,n,8,1"}, {"115200", "9600,n,8,1", "115200,n,8,1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        Link link(c.rate, c.configured);
        EXPECT_TRUE(CheckIsMagtek(link.io));
        EXPECT_EQ(lineSettingsText(link.port.settings()), c.found);
        EXPECT_EQ(link.programEnds, 0);
        EXPECT_TRUE(link.ui.messageBoxes.empty());
        // The set-up commands change the reader's registers.
        EXPECT_TRUE(SendTrackCommand(link.io, "1,3"));
        link.port.output("HW\r");
        EXPECT_EQ(ReadResponse(link.io, 10, 1500, 1500), "HW=0001 0100\r");
    }
}

// Every byte value, CR and NUL among them, in binary mode; the port is left in text mode.
TEST(ReaderLinkOnPty, AnImageArrivesWhole) {
    Link link("115200", "115200,n,8,1");
    link.ui.detailsExists = true;
    std::string image(200000, '\0');
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = char((i * 31 + i / 1000) & 0xff);
    link.folder.write("held.tif", image);
    link.reader.script("image " + (link.folder / "held.tif").string());
    link.reader.script("scan A0012345C12A456E1234567C");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    link.port.input();  // the scan's line, which the routine must not see
    std::string name = "out\\front.tif";
    const auto start = std::chrono::steady_clock::now();
    const ImageTransferResult result = ReceiveImage(link.io, name, false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(result.announced, 200000);
    EXPECT_EQ(result.received, 200000);
    EXPECT_TRUE(link.folder.read("out/front.tif") == image);
    EXPECT_NE(link.ui.readerData.find("<<<200000 bytes of image data>>>"), std::string::npos);
    EXPECT_EQ(link.port.inputMode(), SerialPort::InputMode::Text);
}

}  // namespace
}  // namespace korvex
