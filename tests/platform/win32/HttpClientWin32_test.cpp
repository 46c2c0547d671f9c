// HttpClientWin32 against a real HTTP server on 127.0.0.1 that the test runs on a Winsock thread.
#include "platform/win32/HttpClientWin32.h"

#include <winsock2.h>

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "text/Cp1255.h"

namespace korvex {
namespace {

// A one-page server: each connection gets the present answer; the request line is kept.
struct Answer {
    std::string status = "200 OK", contentType = "text/html", body = {};
    bool silent = false;
};
struct TestHttpServer {
    WSADATA data;
    int started = ::WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    int port = 0;
    Answer answer;
    std::string requestLine;
    std::mutex mutex;  // over the two above
    std::thread thread;

    TestHttpServer() {
        sockaddr_in address{AF_INET, 0, {}, {}};
        address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        int size = sizeof address;
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            ::listen(listener, 4) == 0 &&
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port = ::ntohs(address.sin_port);
        thread = std::thread([this] {
            for (SOCKET client; (client = ::accept(listener, nullptr, nullptr)) != INVALID_SOCKET;
                 ::closesocket(client)) {
                std::string request, reply = "HTTP/1.1 ";
                char buffer[4096];
                for (int got = 0; request.find("\r\n\r\n") == std::string::npos &&
                                  (got = ::recv(client, buffer, sizeof buffer, 0)) > 0;)
                    request.append(buffer, std::size_t(got));
                std::unique_lock lock(mutex);
                requestLine = request.substr(0, request.find("\r\n"));
                const Answer a = answer;
                lock.unlock();
                // Silent until the client gives up; a client that never does fails in 6 s.
                const DWORD limitMs = 6000;
                ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO,
                             reinterpret_cast<const char*>(&limitMs), sizeof limitMs);
                while (a.silent && ::recv(client, buffer, sizeof buffer, 0) > 0) {
                }
                if (a.silent) continue;
                reply += a.status + "\r\nConnection: close\r\nContent-Type: " + a.contentType +
                         "\r\n\r\n" + a.body;  // no length: the client reads to the end
                for (int sent = 0, n = 1; sent < int(reply.size()) && n > 0; sent += n)
                    n = ::send(client, reply.data() + sent, int(reply.size()) - sent, 0);
            }
        });
    }
    ~TestHttpServer() {
        ::closesocket(listener);  // ends the accept
        thread.join();
        ::WSACleanup();
    }
};

// The decoding is the core's: here the page must reach it, and each failure come back in time.
TEST(HttpClientWin32, AnswersAsTheQtClientDoes) {
    TestHttpServer server;
    HttpClientWin32 client;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port) + "/q?a=1&b=2";
    const std::string title = cp1255::fromUtf8("חשבון לא מוגבל");
    const std::string big(std::size_t(kHttpMaxPageBytes) + 1024, 'x');
    const struct {
        Answer answer;
        std::string url;       // empty: the server's
        int timeout, error;    // error 0: the page
        std::string expected;  // the page, or a part of the description
    } cases[] = {
        {{.contentType = "text/html; charset=utf-8", .body = "<b>" + cp1255::toUtf8(title)},
         "",
         5,
         0,
         "<b>" + title},
        {{.status = "404 Not Found", .body = "gone"}, "", 5, kHttpErrorStatus, "404 Not Found"},
        {{.silent = true}, "", 1, kHttpErrorTimeout, "1 seconds"},
        {{.body = big}, "", 10, kHttpErrorTooLarge, ""},
        {{}, "http://127.0.0.1:1/", 5, kHttpErrorConnect, ""},  // nobody listens on port 1
        {{}, "ftp://127.0.0.1/x", 5, kHttpErrorBadUrl, "ftp://"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url + " error " + std::to_string(c.error));
        std::unique_lock lock(server.mutex);
        server.answer = c.answer;
        lock.unlock();
        const auto start = std::chrono::steady_clock::now();
        const HttpResult result = client.get(c.url.empty() ? url : c.url, c.timeout);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(result.errorNumber, c.error) << result.errorDescription;
        EXPECT_EQ(result.page, c.error == 0 ? c.expected : "");
        lock.lock();
        EXPECT_TRUE(c.error != 0 || server.requestLine == "GET /q?a=1&b=2 HTTP/1.1");
        EXPECT_NE(result.errorDescription.find(c.error != 0 ? c.expected : ""), std::string::npos)
            << result.errorDescription;
        EXPECT_GE(took, std::chrono::milliseconds(c.error == kHttpErrorTimeout ? 900 : 0));
        EXPECT_LT(took, std::chrono::seconds(5));
    }
}

}  // namespace
}  // namespace korvex
