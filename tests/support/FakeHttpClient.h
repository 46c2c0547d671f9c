#pragma once
// An HttpClient that answers from a queue the test fills and records every request.

#include <deque>
#include <string>
#include <vector>

#include "platform/HttpClient.h"

namespace korvex::test {

class FakeHttpClient : public HttpClient {
public:
    struct Request {
        std::string url;
        int timeoutSeconds;
    };

    // When empty: a connection failure.
    std::deque<HttpResult> answers;
    std::vector<Request> requests;

    HttpResult get(const std::string& url, int timeoutSeconds) override {
        requests.push_back({url, timeoutSeconds});
        if (answers.empty()) return failure(kHttpErrorConnect, "Cannot connect to the server");
        HttpResult r = answers.front();
        answers.pop_front();
        return r;
    }

    static HttpResult page(std::string text) {
        HttpResult r;
        r.ok = true;
        r.page = std::move(text);
        return r;
    }
    static HttpResult failure(int number, std::string description) {
        HttpResult r;
        r.errorNumber = number;
        r.errorDescription = std::move(description);
        return r;
    }
};

}  // namespace korvex::test
