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

// A one-page HTTP server: each connection gets the present answer, or none at all.
class TestHttpServer {
public:
    struct Answer {
        std::string status = "200 OK";
        std::string contentType = "text/html";
        std::string body;
        bool declareLength = true;
        bool silent = false;  // read the request, never answer
    };

    TestHttpServer() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        int size = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(listener_, 4) == 0 &&
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
            port_ = ::ntohs(address.sin_port);
        }
        thread_ = std::thread([this] { serve(); });
    }
    ~TestHttpServer() {
        ::closesocket(listener_);  // ends the accept
        thread_.join();
        ::WSACleanup();
    }

    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/q?a=1&b=2"; }
    void setAnswer(const Answer& answer) {
        std::lock_guard lock(mutex_);
        answer_ = answer;
    }
    std::string requestLine() {
        std::lock_guard lock(mutex_);
        return requestLine_;
    }

private:
    void serve() {
        for (;;) {
            const SOCKET client = ::accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            std::string request;
            char buffer[4096];
            int got = 0;
            while (request.find("\r\n\r\n") == std::string::npos &&
                   (got = ::recv(client, buffer, sizeof buffer, 0)) > 0) {
                request.append(buffer, static_cast<std::size_t>(got));
            }
            Answer answer;
            {
                std::lock_guard lock(mutex_);
                requestLine_ = request.substr(0, request.find("\r\n"));
                answer = answer_;
            }
            if (answer.silent) {
                // Until the client gives up; a client that never does fails the case in 6 s.
                const DWORD limitMs = 6000;
                ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO,
                             reinterpret_cast<const char*>(&limitMs), sizeof limitMs);
                while (::recv(client, buffer, sizeof buffer, 0) > 0) {
                }
            } else {
                std::string reply = "HTTP/1.1 " + answer.status + "\r\nConnection: close\r\n";
                if (answer.declareLength)
                    reply += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
                if (!answer.contentType.empty())
                    reply += "Content-Type: " + answer.contentType + "\r\n";
                reply += "\r\n" + answer.body;
                for (std::size_t sent = 0; sent < reply.size();) {
                    const int n = ::send(client, reply.data() + sent,
                                         static_cast<int>(reply.size() - sent), 0);
                    if (n <= 0) break;  // the client stopped reading
                    sent += static_cast<std::size_t>(n);
                }
            }
            ::closesocket(client);
        }
    }

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    Answer answer_;
    std::string requestLine_;
};

// A port on 127.0.0.1 that nobody listens on: taken from the system, then given back.
int freePort() {
    const SOCKET probe = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    ::closesocket(probe);
    return ::ntohs(address.sin_port);
}

// The decoding rules are the core's; here the header and the body must reach them, and each
// failure must come back as its kind, within the request's time.
TEST(HttpClientWin32, AnswersAsTheQtClientDoes) {
    TestHttpServer server;
    HttpClientWin32 client;
    const std::string title = cp1255::fromUtf8("חשבון לא מוגבל");
    const std::string big(static_cast<std::size_t>(kHttpMaxPageBytes) + 1024, 'x');
    struct Case {
        const char* name;
        TestHttpServer::Answer answer;
        std::string url;  // empty: the server's
        int timeout = 5;
        int error = 0;         // 0: the page
        std::string expected;  // the page, or a part of the description
        long long minimumMs = 0;
    };
    using Answer = TestHttpServer::Answer;
    const auto page = [](std::string body, std::string contentType = "text/html") {
        Answer a;
        a.body = std::move(body);
        a.contentType = std::move(contentType);
        return a;
    };
    Answer notFound = page("gone"), silent, undeclared = page(big);
    notFound.status = "404 Not Found";
    silent.silent = true;
    undeclared.declareLength = false;
    const Case cases[] = {
        {"utf-8 declared", page("<b>" + cp1255::toUtf8(title), "text/html; charset=utf-8"), "", 5,
         0, "<b>" + title},
        {"utf-8 in a meta tag", page("<meta charset=\"utf-8\">" + cp1255::toUtf8(title)), "", 5, 0,
         "<meta charset=\"utf-8\">" + title},
        {"windows-1255 as it is", page(title), "", 5, 0, title},
        {"an error status", notFound, "", 5, kHttpErrorStatus, "404 Not Found"},
        {"a server that never answers", silent, "", 1, kHttpErrorTimeout, "1 seconds", 900},
        {"a declared length over the cap", page(big), "", 10, kHttpErrorTooLarge, ""},
        {"an undeclared length over the cap", undeclared, "", 10, kHttpErrorTooLarge, ""},
        {"a refused connection",
         {},
         "http://127.0.0.1:" + std::to_string(freePort()) + "/",
         5,
         kHttpErrorConnect,
         ""},
        {"not a web address", {}, "ftp://127.0.0.1/x", 5, kHttpErrorBadUrl, "ftp://"},
        {"no host", {}, "http://", 5, kHttpErrorBadUrl, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.setAnswer(c.answer);
        const auto start = std::chrono::steady_clock::now();
        const HttpResult result = client.get(c.url.empty() ? server.url() : c.url, c.timeout);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
        EXPECT_EQ(result.errorNumber, c.error) << result.errorDescription;
        EXPECT_EQ(result.ok, c.error == 0);
        if (c.error == 0) {
            EXPECT_EQ(result.page, c.expected);
            EXPECT_EQ(server.requestLine(), "GET /q?a=1&b=2 HTTP/1.1");
        } else {
            EXPECT_TRUE(result.page.empty());
            EXPECT_NE(result.errorDescription.find(c.expected), std::string::npos)
                << result.errorDescription;
        }
        EXPECT_GE(ms, c.minimumMs);
        EXPECT_LT(ms, 5000);
    }
}

}  // namespace
}  // namespace korvex
