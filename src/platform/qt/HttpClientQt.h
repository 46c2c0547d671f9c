#pragma once
// HttpClient over Qt Network. The GET runs in a local event loop, so the core sees a blocking
// call; user input is held back meanwhile, timers and sockets keep running.
//
// Needs a QCoreApplication (or QApplication) and must be used on its thread.

#include <QNetworkAccessManager>

#include "platform/HttpClient.h"

namespace korvex {

class HttpClientQt : public HttpClient {
public:
    HttpClientQt();
    ~HttpClientQt() override;
    HttpClientQt(const HttpClientQt&) = delete;
    HttpClientQt& operator=(const HttpClientQt&) = delete;

    HttpResult get(const std::string& url, int timeoutSeconds) override;

private:
    QNetworkAccessManager manager_;
};

}  // namespace korvex
