#include "platform/qt/SerialPortQt.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "support/TempFolder.h"

namespace korvex {
namespace {

// A fresh pseudo-terminal pair: the test holds the master, the port opens the other end.
struct Pty {
    int master = -1;
    std::string device;
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            device = ::ptsname(master);
    }
    ~Pty() { hangUp(); }
    // The far end goes away, as when the reader's program dies.
    void hangUp() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    termios line() const {
        termios t{};
        ::tcgetattr(master, &t);
        return t;
    }
    std::string readAll() {
        std::string out;
        char buffer[4096];
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        for (int i = 0; i < 50; ++i) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0) {
                out.append(buffer, static_cast<std::size_t>(n));
                i = 40;
                continue;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return out;
    }
};

// Input appears without an event loop once the bytes have crossed the pty.
std::string inputWithin(SerialPortQt& port, std::size_t expected) {
    std::string got;
    for (int i = 0; i < 200 && got.size() < expected; ++i) {
        got += port.input();
        if (got.size() < expected) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return got;
}

TEST(SerialPortQt, OpensAPseudoTerminalWithTheLineSettings) {
    Pty pty;
    ASSERT_FALSE(pty.device.empty());
    SerialPortQt port;
    port.setPortName(pty.device);
    ASSERT_TRUE(port.setSettings(LineSettings{}));
    ASSERT_TRUE(port.open()) << port.lastError().description;
    // DTR fails on a pty; that must not be left as the port's error.
    EXPECT_EQ(port.lastError().number, 0) << port.lastError().description;
    termios t = pty.line();
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_cflag & PARENB);

    ASSERT_TRUE(port.setSettings({.baud = 115200, .stopBits = LineSettings::StopBits::Two}));
    t = pty.line();
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_EQ(lineSettingsText(port.settings()), "115200,n,8,2");

    // A pseudo-terminal always runs 8 bits without parity: a line it cannot take is refused
    // with the reason, and the line keeps its settings.
    EXPECT_FALSE(port.setSettings({.parity = LineSettings::Parity::Even, .dataBits = 7}));
    EXPECT_EQ(port.lastError().number, 8015);
    EXPECT_NE(port.lastError().description.find("9600,e,7,1"), std::string::npos);
    EXPECT_EQ(lineSettingsText(port.settings()), "115200,n,8,2");
    t = pty.line();
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));
}

TEST(SerialPortQt, BytesPassBothWaysUnchanged) {
    Pty pty;
    SerialPortQt port;
    port.setPortName(pty.device);
    ASSERT_TRUE(port.open());
    ASSERT_TRUE(port.output("VR\r"));
    EXPECT_EQ(pty.readAll(), "VR\r");

    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    ASSERT_EQ(::write(pty.master, bytes.data(), bytes.size()), 256);
    port.setInputMode(SerialPort::InputMode::Binary);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(port.inBufferCount(), 256u);
    EXPECT_EQ(port.input(100), bytes.substr(0, 100));
    EXPECT_EQ(inputWithin(port, 156), bytes.substr(100));
    EXPECT_EQ(port.input(), "");
}

TEST(SerialPortQt, FailuresCarryNumberAndDescription) {
    SerialPortQt port;
    port.setPortName("/dev/korvex-no-such-port");
    EXPECT_FALSE(port.open());
    EXPECT_EQ(port.lastError().number, 8002);
    EXPECT_NE(port.lastError().description.find("/dev/korvex-no-such-port"), std::string::npos);
    EXPECT_EQ(port.lastError().source, "QSerialPort");

    EXPECT_FALSE(port.output("x"));
    EXPECT_EQ(port.lastError().number, 8018);
    EXPECT_EQ(port.input(), "");
    EXPECT_FALSE(port.close());

    port.setPortName("");
    EXPECT_TRUE(port.setCommPort(3));
    EXPECT_EQ(port.deviceName(), "/dev/ttyS2");
    EXPECT_FALSE(port.setCommPort(0));
}

TEST(SerialPortQt, ClosesAndReopens) {
    Pty pty;
    SerialPortQt port;
    port.setPortName(pty.device);
    ASSERT_TRUE(port.open());
    EXPECT_FALSE(port.open());
    EXPECT_TRUE(port.close());
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(port.open());
    EXPECT_TRUE(port.isOpen());
}

TEST(SerialPortQt, AReaderThatGoesAwayIsAFailureAndTheSamePathReachesItsReturn) {
    test::TempFolder folder;
    const auto link = folder / "reader-line";
    auto first = std::make_unique<Pty>();
    std::filesystem::create_symlink(first->device, link);
    SerialPortQt port;
    std::vector<int> events;
    port.setCommEventHandler([&](int code) { events.push_back(code); });
    port.setPortName(link.string());
    ASSERT_TRUE(port.open()) << port.lastError().description;
    ASSERT_EQ(::write(first->master, "A\r", 2), 2);
    EXPECT_EQ(inputWithin(port, 2), "A\r");

    first->hangUp();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(port.input(), "");
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastError().number, 8010) << port.lastError().description;
    EXPECT_EQ(events, std::vector<int>{8010});

    // The reader comes back on a new device behind the same path: a reopen reaches it.
    Pty second;
    std::filesystem::remove(link);
    std::filesystem::create_symlink(second.device, link);
    first.reset();
    port.close();
    ASSERT_TRUE(port.open()) << port.lastError().description;
    EXPECT_TRUE(port.isOpen());
    ASSERT_EQ(::write(second.master, "B\r", 2), 2);
    EXPECT_EQ(inputWithin(port, 2), "B\r");
}

}  // namespace
}  // namespace korvex
