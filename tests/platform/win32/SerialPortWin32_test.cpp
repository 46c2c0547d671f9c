// The Win32 serial port. The reader test runs under SerialUnderWine, skipped without it.
#include "platform/win32/SerialPortWin32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/posix/SystemClock.h"
#include "reader/ImageTransfer.h"
#include "reader/ReadResponse.h"
#include "reader/ReaderSetup.h"
#include "support/ScriptedOperatorUi.h"
#include "support/TempFolder.h"

namespace korvex {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

TEST(SerialPortWin32, FailuresCarryNumberAndDescription) {
    SerialPortWin32 port;
    port.setPortName("COM77");
    EXPECT_FALSE(port.open());
    EXPECT_EQ(port.lastError().number, 8002);
    EXPECT_NE(port.lastError().description.find("\\\\.\\COM77"), std::string::npos);

    EXPECT_FALSE(port.output("x"));
    EXPECT_EQ(port.lastError().number, 8018);
    port.setPortName("");
    EXPECT_TRUE(port.setCommPort(12));
    EXPECT_EQ(port.deviceName(), "\\\\.\\COM12");
}

TEST(SerialPortWin32UnderSim, IdentifiesFetchesAnImageAndReachesTheReaderAgain) {
    const std::string com = environment("KORVEX_SIM_PORT");
    if (com.empty()) GTEST_SKIP() << "KORVEX_SIM_PORT is not set";
    const std::filesystem::path signals = environment("KORVEX_SIM_SIGNALS");
    const auto signal = [&](const char* name) { std::ofstream(signals / name) << name; };

    SerialPortWin32 port;
    std::vector<int> events;
    port.setCommEventHandler([&](int code) { events.push_back(code); });
    port.setPortName(com);
    ASSERT_TRUE(port.setSettings(LineSettings{}));
    ASSERT_TRUE(port.open()) << port.lastError().description;
    SystemClock clock;
    test::ScriptedOperatorUi ui;
    test::TempFolder folder;
    ReaderIo io{port, clock, ui, [](const std::string&) {}, "\r", folder.path(), {}};

    // The reader runs at 115200: 9600 hears nothing, and the other rate answers.
    ASSERT_TRUE(CheckIsMagtek(io)) << port.lastError().description;
    EXPECT_EQ(port.settings().baud, 115200);

    signal("scan");
    EXPECT_EQ(ReadResponse(io, 10, 10000, 10000), "12345\r");
    std::string name = "front.tif";
    const ImageTransferResult image = ReceiveImage(io, name, true);
    EXPECT_GT(image.announced, 0);
    EXPECT_EQ(image.received, image.announced);
    std::ifstream sent(environment("KORVEX_SIM_IMAGE"), std::ios::binary);
    EXPECT_EQ(folder.read("front.tif"), std::string(std::istreambuf_iterator<char>(sent), {}));

    // The reader's program dies: a read finds the device gone, and says so once.
    signal("kill");
    for (int i = 0; i < 200 && port.isOpen(); ++i) {
        EXPECT_EQ(port.input(), "");
        clock.sleep(std::chrono::milliseconds(50));
    }
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastError().number, 8010) << port.lastError().description;
    for (int i = 0; i < 3; ++i) port.input();
    EXPECT_EQ(events, std::vector<int>{8010});

    // It comes back at 9600 behind the same port: a close and an open reach it.
    bool reopened = false;
    for (int i = 0; i < 100 && !reopened; ++i) {
        port.close();
        reopened = port.open();
        if (!reopened) clock.sleep(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(reopened) << port.lastError().description;
    ASSERT_TRUE(port.setSettings(LineSettings{})) << port.lastError().description;
    EXPECT_TRUE(CheckIsMagtek(io, true));
    EXPECT_EQ(port.settings().baud, 9600);
    EXPECT_TRUE(ui.messageBoxes.empty());
}

}  // namespace
}  // namespace korvex
