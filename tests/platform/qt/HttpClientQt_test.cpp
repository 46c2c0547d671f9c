// HttpClientQt against a real HTTP server on 127.0.0.1 that the test runs on its own thread's
// event loop (the client's local loop serves it while the request waits).

#include "platform/qt/HttpClientQt.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <string>
#include <vector>

#include "accounts/RestrictedAccounts.h"
#include "support/ScriptedOperatorUi.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

std::string he(const char* utf8) { return cp1255::fromUtf8(utf8); }

// A one-page HTTP server. Each connection gets the configured answer, or none at all.
class TestHttpServer {
public:
    struct Answer {
        int status = 200;
        QByteArray reason = "OK";
        QByteArray contentType = "text/html";
        QByteArray body;
        bool silent = false;  // accept, read, never answer
    };

    TestHttpServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                auto buffer = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                    buffer->append(socket->readAll());
                    const qsizetype end = buffer->indexOf("\r\n\r\n");
                    if (end < 0) return;
                    requestLines.push_back(buffer->left(buffer->indexOf("\r\n")).toStdString());
                    buffer->clear();
                    if (answer.silent) return;
                    QByteArray head =
                        "HTTP/1.1 " + QByteArray::number(answer.status) + " " + answer.reason +
                        "\r\nContent-Length: " + QByteArray::number(answer.body.size()) +
                        "\r\nConnection: close\r\n";
                    if (!answer.contentType.isEmpty())
                        head += "Content-Type: " + answer.contentType + "\r\n";
                    socket->write(head + "\r\n" + answer.body);
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    bool listening() const { return server_.isListening(); }
    std::string url(const std::string& path = "/q") const {
        return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + path;
    }

    Answer answer;
    std::vector<std::string> requestLines;

private:
    QTcpServer server_;
};

// A port on 127.0.0.1 that nobody listens on: taken from the system, then given back.
int freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    return port;
}

QByteArray bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArray page(const std::string& title, const std::string& body = "") {
    return bytes("<html><head><title>" + title + "</title></head><body>" + body + "</body></html>");
}

struct PageCase {
    const char* name;
    QByteArray contentType;
    QByteArray body;
    std::string expected;  // Windows-1255
};

// The decoding rules are the core's; here the header and the body reach them.
TEST(HttpClientQt, FetchesPagesAndDecodesThemByTheirCharset) {
    TestHttpServer server;
    ASSERT_TRUE(server.listening());
    HttpClientQt client;
    const std::string title = he("חשבון לא מוגבל");
    const std::vector<PageCase> cases = {
        {"utf-8 declared", "text/html; charset=utf-8", page(cp1255::toUtf8(title)),
         std::string(page(title))},
        {"utf-8 in a meta tag", "text/html",
         bytes("<meta charset=\"utf-8\"><title>" + cp1255::toUtf8(title) + "</title>"),
         "<meta charset=\"utf-8\"><title>" + title + "</title>"},
    };
    for (const auto& c : cases) {
        server.answer.contentType = c.contentType;
        server.answer.body = c.body;
        const HttpResult result = client.get(server.url(), 5);
        ASSERT_TRUE(result.ok) << c.name << ": " << result.errorDescription;
        EXPECT_EQ(result.page, c.expected) << c.name;
    }
}

TEST(HttpClientQt, AnswersTheRestrictedAccountQuery) {
    TestHttpServer server;
    ASSERT_TRUE(server.listening());
    HttpClientQt client;
    test::ScriptedOperatorUi ui;
    std::vector<std::string> logged;
    auto log = [&](const std::string& m) { logged.push_back(m); };

    server.answer.contentType = "text/html; charset=utf-8";
    server.answer.body =
        page(cp1255::toUtf8(he("חשבון מוגבל")), cp1255::toUtf8(he("חשבון מוגבל עד 31/12/2007.")));
    EXPECT_TRUE(CheckRestrictedOnline(client, server.url(), 5, "1234", "345", "14", ui, log));
    ASSERT_EQ(server.requestLines.size(), 1u);
    EXPECT_EQ(server.requestLines[0], "GET /q?bank=14&snif=345&acct=000001234 HTTP/1.1");
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_NE(ui.messageBoxes[0].text.find(he("מוגבל עד תאריך 31/12/2007")), std::string::npos);

    EXPECT_TRUE(logged.empty());
}

TEST(HttpClientQt, AnErrorStatusIsAFailure) {
    TestHttpServer server;
    ASSERT_TRUE(server.listening());
    server.answer.status = 500;
    server.answer.reason = "Internal Server Error";
    server.answer.body = page("500 Internal Server Error");
    HttpClientQt client;
    const HttpResult result = client.get(server.url(), 5);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorNumber, kHttpErrorStatus);
    EXPECT_NE(result.errorDescription.find("500"), std::string::npos);

    // Through the check: the connection warning and an "Error #" line.
    test::ScriptedOperatorUi ui;
    std::vector<std::string> logged;
    EXPECT_FALSE(CheckRestrictedOnline(client, server.url(), 5, "1", "2", "3", ui,
                                       [&](const std::string& m) { logged.push_back(m); }));
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].title, connectionWarningTitle());
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].rfind("Error #" + std::to_string(kHttpErrorStatus) + " - ", 0), 0u);
}

TEST(HttpClientQt, AServerThatNeverAnswersTimesOut) {
    TestHttpServer server;
    ASSERT_TRUE(server.listening());
    server.answer.silent = true;
    HttpClientQt client;
    QElapsedTimer elapsed;
    elapsed.start();
    const HttpResult result = client.get(server.url(), 1);
    const qint64 ms = elapsed.elapsed();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorNumber, kHttpErrorTimeout);
    EXPECT_EQ(server.requestLines.size(), 1u) << "the request did reach the server";
    EXPECT_GE(ms, 900);
    EXPECT_LT(ms, 5000);
}

TEST(HttpClientQt, ARefusedConnectionIsAConnectionFailure) {
    HttpClientQt client;
    const HttpResult result =
        client.get("http://127.0.0.1:" + std::to_string(freePort()) + "/q", 5);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorNumber, kHttpErrorConnect);
    EXPECT_FALSE(result.errorDescription.empty());
}

TEST(HttpClientQt, AnOversizedPageIsRefused) {
    TestHttpServer server;
    ASSERT_TRUE(server.listening());
    server.answer.body = QByteArray(static_cast<qsizetype>(kHttpMaxPageBytes) + 1024, 'x');
    HttpClientQt client;
    const HttpResult result = client.get(server.url(), 10);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorNumber, kHttpErrorTooLarge);
    EXPECT_TRUE(result.page.empty());
}

TEST(HttpClientQt, AddressesThatAreNotWebAddressesFailAtOnce) {
    HttpClientQt client;
    for (const char* url :
         {"", "not a url", "ftp://127.0.0.1/x", "file:///etc/passwd", "http://"}) {
        const HttpResult result = client.get(url, 1);
        EXPECT_FALSE(result.ok) << url;
        EXPECT_EQ(result.errorNumber, kHttpErrorBadUrl) << url;
    }
}

}  // namespace
}  // namespace korvex
