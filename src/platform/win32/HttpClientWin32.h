#pragma once
// HttpClient on WinHTTP, with HttpClientQt's contract: one deadline for the whole request, the
// size cap, error statuses as failures, and the page decoded by its charset.
//
// The call returns when the request has ended, as the web control the configuration was written
// for did, but the caller's windows keep answering meanwhile: the request runs synchronously on a
// worker thread, and each WinHTTP step there may wait only for what is left of the deadline, so a
// server that trickles bytes cannot hold the program past it either.

#include "platform/HttpClient.h"

namespace korvex {

class HttpClientWin32 : public HttpClient {
public:
    HttpClientWin32();
    ~HttpClientWin32() override;
    HttpClientWin32(const HttpClientWin32&) = delete;
    HttpClientWin32& operator=(const HttpClientWin32&) = delete;

    HttpResult get(const std::string& url, int timeoutSeconds) override;

private:
    HttpResult fetch(const std::string& url, int timeoutSeconds);

    void* session_ = nullptr;  // HINTERNET, opened once for the client's life
};

}  // namespace korvex
