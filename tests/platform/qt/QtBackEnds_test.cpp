// The serial port on a pseudo-terminal and the HTTP client against 127.0.0.1, in main()'s Qt loop.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/qt/HttpClientQt.h"
#include "platform/qt/SerialPortQt.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

struct Pty {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    std::string device = ::grantpt(master) == 0 && ::unlockpt(master) == 0 ? ::ptsname(master) : "";
    ~Pty() { ::close(master); }
    termios line() const {
        termios t{};
        ::tcgetattr(master, &t);
        return t;
    }
};

// Polls `read` until `expected` bytes came or a second has passed.
template <typename Read>
std::string within(std::size_t expected, Read read) {
    std::string got = read();
    for (int i = 0; i < 200 && got.size() < expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        got += read();
    }
    return got;
}

// A missing device is error 8002 naming it; Port n names a device by itself.
TEST(SerialPortQt, OpensWithTheLineSettingsAndPassesBytesBothWaysOrSaysWhyNot) {
    SerialPortQt port;
    port.setPortName("/dev/korvex-no-such-port");
    EXPECT_FALSE(port.open());
    EXPECT_EQ(port.lastError().number, 8002);
    EXPECT_NE(port.lastError().description.find("/dev/korvex-no-such-port"), std::string::npos);
    port.setPortName("");
    EXPECT_TRUE(port.setCommPort(3));
    EXPECT_EQ(port.deviceName(), "/dev/ttyS2");
    Pty pty;
    port.setPortName(pty.device);
    ASSERT_TRUE(port.open()) << port.lastError().description;
    // DTR fails on a pty; that must not be left as the port's error.
    EXPECT_EQ(port.lastError().number, 0) << port.lastError().description;
    termios t = pty.line();
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t{CS8});
    ASSERT_TRUE(port.setSettings({.baud = 115200, .stopBits = LineSettings::StopBits::Two}));
    t = pty.line();
    EXPECT_EQ(::cfgetospeed(&t), speed_t{B115200});

    ASSERT_TRUE(port.output("VR\r"));
    char buffer[8];
    EXPECT_EQ(within(3,
                     [&] {
                         const ssize_t n = ::read(pty.master, buffer, sizeof buffer);
                         return std::string(buffer, n > 0 ? std::size_t(n) : 0);
                     }),
              "VR\r");
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    ASSERT_EQ(::write(pty.master, bytes.data(), bytes.size()), 256);
    port.setInputMode(SerialPort::InputMode::Binary);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(port.inBufferCount(), 256u);
    EXPECT_EQ(port.input(100), bytes.substr(0, 100));
    EXPECT_EQ(within(156, [&] { return port.input(); }), bytes.substr(100));
}

// A one-page HTTP server: every request gets `answer`, or nothing at all when it is silent.
struct TestHttpServer {
    struct Answer {
        int status = 200;
        QByteArray contentType = "text/html", body = {};
        bool silent = false;  // accept, read, never answer
    } answer;
    QTcpServer server;

    TestHttpServer() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                auto buffer = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                    buffer->append(socket->readAll());
                    if (!buffer->contains("\r\n\r\n") || answer.silent) return;
                    socket->write("HTTP/1.1 " + QByteArray::number(answer.status) +
                                  " Some Reason\r\nContent-Length: " +
                                  QByteArray::number(answer.body.size()) +
                                  "\r\nConnection: close\r\nContent-Type: " + answer.contentType +
                                  "\r\n\r\n" + answer.body);
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
};

// The decoding is the core's: here the page must reach it, and each failure come back in time.
TEST(HttpClientQt, FetchesPagesOrSaysWhyNot) {
    TestHttpServer server;
    const std::string u = "http://127.0.0.1:" + std::to_string(server.server.serverPort()) + "/q";
    const std::string title = cp1255::fromUtf8("חשבון לא מוגבל");
    const QByteArray page = "<b>" + QByteArray::fromStdString(cp1255::toUtf8(title));
    const struct {
        std::string url;
        TestHttpServer::Answer answer;
        int seconds, error;
        std::string said;  // the page, or part of the failure's description
    } cases[] = {
        {u, {.contentType = "text/html; charset=utf-8", .body = page}, 5, 0, "<b>" + title},
        {u, {.status = 500, .body = "x"}, 5, kHttpErrorStatus, "HTTP 500 Some"},
        {u, {.silent = true}, 1, kHttpErrorTimeout, "after 1 seconds"},
        {"http://127.0.0.1:1/q", {}, 5, kHttpErrorConnect, ""},  // nobody listens on port 1
        {"ftp://127.0.0.1/x", {}, 1, kHttpErrorBadUrl, "web address: ftp://"},
    };
    HttpClientQt client;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url + " error " + std::to_string(c.error));
        server.answer = c.answer;
        QElapsedTimer elapsed;
        elapsed.start();
        const HttpResult result = client.get(c.url, c.seconds);
        EXPECT_EQ(result.ok, c.error == 0);
        EXPECT_EQ(result.errorNumber, c.error);
        EXPECT_EQ(result.page, c.error == 0 ? c.said : "");
        EXPECT_NE(result.errorDescription.find(c.error != 0 ? c.said : ""), std::string::npos)
            << result.errorDescription;
        EXPECT_GE(elapsed.elapsed(), c.error == kHttpErrorTimeout ? 900 : 0);
        EXPECT_LT(elapsed.elapsed(), 5000);
    }
}

}  // namespace
}  // namespace korvex

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
