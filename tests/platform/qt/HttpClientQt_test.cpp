// HttpClientQt against a real HTTP server on 127.0.0.1, served by the client's own local event
// loop while the request waits.

#include "platform/qt/HttpClientQt.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <string>

#include "text/Cp1255.h"

namespace korvex {
namespace {

QByteArray bytes(const std::string& text) { return QByteArray::fromStdString(text); }

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
                    if (!buffer->contains("\r\n\r\n")) return;
                    if (answer.silent) return;
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
    std::string url() const {
        return "http://127.0.0.1:" + std::to_string(server.serverPort()) + "/q";
    }
};

QByteArray page(const std::string& title, const std::string& body = "") {
    return bytes("<html><head><title>" + title + "</title></head><body>" + body + "</body></html>");
}

// Pages are decoded by the charset of their header or of a meta tag (the rules are the core's);
// failures carry their number and say why.
TEST(HttpClientQt, FetchesPagesOrSaysWhyNot) {
    TestHttpServer server;
    QTcpServer closed;  // a port nobody listens on: taken from the system, then given back
    closed.listen(QHostAddress::LocalHost, 0);
    const std::string refused = "http://127.0.0.1:" + std::to_string(closed.serverPort()) + "/q";
    closed.close();
    const std::string title = cp1255::fromUtf8("חשבון לא מוגבל"),
                      meta = "<meta charset=\"utf-8\"><title>";
    struct Case {
        std::string url;
        TestHttpServer::Answer answer;
        int seconds, error;
        std::string said;  // the page, or part of the failure's description
    };
    const Case cases[] = {
        {server.url(),
         {.contentType = "text/html; charset=utf-8", .body = page(cp1255::toUtf8(title))},
         5,
         0,
         std::string(page(title))},
        {server.url(), {.body = bytes(meta + cp1255::toUtf8(title))}, 5, 0, meta + title},
        {server.url(), {.status = 500, .body = page("500")}, 5, kHttpErrorStatus, "HTTP 500 Some"},
        {server.url(), {.silent = true}, 1, kHttpErrorTimeout, "after 1 seconds"},
        {refused, {}, 5, kHttpErrorConnect, ""},
        {server.url(),
         {.body = QByteArray(static_cast<qsizetype>(kHttpMaxPageBytes) + 1024, 'x')},
         10,
         kHttpErrorTooLarge,
         "larger than"},
        {"", {}, 1, kHttpErrorBadUrl, "web address"},
        {"not a url", {}, 1, kHttpErrorBadUrl, "web address: not a url"},
        {"ftp://127.0.0.1/x", {}, 1, kHttpErrorBadUrl, "web address"},
        {"file:///etc/passwd", {}, 1, kHttpErrorBadUrl, "web address"},
        {"http://", {}, 1, kHttpErrorBadUrl, "web address"},
    };
    HttpClientQt client;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url + " error " + std::to_string(c.error));
        server.answer = c.answer;
        QElapsedTimer elapsed;
        elapsed.start();
        const HttpResult result = client.get(c.url, c.seconds);
        EXPECT_EQ(result.ok, c.error == 0);
        EXPECT_EQ(result.errorNumber, c.error);
        EXPECT_EQ(result.page.empty(), c.error != 0);
        EXPECT_EQ(result.errorDescription.empty(), c.error == 0);
        if (c.error == 0)
            EXPECT_EQ(result.page, c.said);
        else
            EXPECT_NE(result.errorDescription.find(c.said), std::string::npos)
                << result.errorDescription;
        if (c.error == kHttpErrorTimeout) {
            EXPECT_GE(elapsed.elapsed(), 900);
        }
        EXPECT_LT(elapsed.elapsed(), 5000);
    }
}

}  // namespace
}  // namespace korvex
