#include "platform/win32/HttpClientWin32.h"

#include "platform/win32/Win32Api.h"
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32Text.h"

namespace korvex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultTimeoutSeconds = 60;
// A day; beyond that the millisecond count would not fit an int.
constexpr int kMaxTimeoutSeconds = 86400;
constexpr DWORD kReadChunk = 64 * 1024;

HttpResult failure(int number, std::string description) {
    HttpResult result;
    result.errorNumber = number;
    result.errorDescription = std::move(description);
    return result;
}

int failureNumber(DWORD error) {
    switch (error) {
        case ERROR_WINHTTP_TIMEOUT: return kHttpErrorTimeout;
        case ERROR_WINHTTP_CANNOT_CONNECT:
        case ERROR_WINHTTP_CONNECTION_ERROR:
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        case ERROR_WINHTTP_SECURE_FAILURE: return kHttpErrorConnect;
        case ERROR_WINHTTP_INVALID_URL:
        case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return kHttpErrorBadUrl;
        default: return kHttpErrorOther;
    }
}

class Handle {
public:
    explicit Handle(HINTERNET handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != nullptr) ::WinHttpCloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HINTERNET get() const { return handle_; }

private:
    HINTERNET handle_;
};

// A header as text (ASCII in practice); empty when the answer has none.
std::wstring header(HINTERNET request, DWORD which) {
    DWORD bytes = 0;
    ::WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                          &bytes, WINHTTP_NO_HEADER_INDEX);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return {};
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (!::WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &bytes,
                               WINHTTP_NO_HEADER_INDEX)) {
        return {};
    }
    text.resize(bytes / sizeof(wchar_t));
    return text;
}

bool numberHeader(HINTERNET request, DWORD which, DWORD& value) {
    DWORD bytes = sizeof value;
    return ::WinHttpQueryHeaders(request, which | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &value, &bytes,
                                 WINHTTP_NO_HEADER_INDEX) != FALSE;
}

}  // namespace

HttpClientWin32::HttpClientWin32() {
    // The system's proxy settings where Windows offers them (8.1 and later), else WinHTTP's own.
    session_ = ::WinHttpOpen(L"Korvex", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0);
    if (session_ == nullptr) {
        session_ = ::WinHttpOpen(L"Korvex", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                 WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    }
}

HttpClientWin32::~HttpClientWin32() {
    if (session_ != nullptr) ::WinHttpCloseHandle(session_);
}

HttpResult HttpClientWin32::fetch(const std::string& url, int timeoutSeconds) {
    const int seconds =
        timeoutSeconds < 1 ? kDefaultTimeoutSeconds : std::min(timeoutSeconds, kMaxTimeoutSeconds);
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(seconds);
    const auto timedOut = [&] {
        return failure(kHttpErrorTimeout,
                       "The request timed out after " + std::to_string(seconds) + " seconds");
    };

    const std::wstring wide = win32::widen(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength =
        parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (wide.empty() || !::WinHttpCrackUrl(wide.c_str(), 0, 0, &parts) ||
        parts.dwHostNameLength == 0 ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
        return failure(kHttpErrorBadUrl, "Not a valid web address: " + url);
    }
    if (session_ == nullptr) return failure(kHttpErrorOther, "WinHTTP could not be started");

    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    // Each step waits at most for what is left of the whole request's time.
    const auto limit = [&](HINTERNET handle) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        const int ms = static_cast<int>(left);  // 0 would mean no limit at all
        ::WinHttpSetTimeouts(handle, ms, ms, ms, ms);
        // The wait for the answer's head has a limit of its own, which WinHttpSetTimeouts leaves.
        DWORD response = static_cast<DWORD>(ms);
        ::WinHttpSetOption(handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &response,
                           sizeof response);
        return true;
    };
    const auto failed = [&](DWORD error) {
        if (Clock::now() >= deadline || error == ERROR_WINHTTP_TIMEOUT) return timedOut();
        return failure(failureNumber(error), win32::errorText(error, L"winhttp.dll"));
    };

    const Handle connection(::WinHttpConnect(session_, host.c_str(), parts.nPort, 0));
    if (connection.get() == nullptr) return failed(::GetLastError());
    const Handle request(
        ::WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                             WINHTTP_DEFAULT_ACCEPT_TYPES,
                             parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
    if (request.get() == nullptr) return failed(::GetLastError());

    if (!limit(request.get())) return timedOut();
    if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                              WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
        return failed(::GetLastError());
    }
    if (!limit(request.get())) return timedOut();
    if (!::WinHttpReceiveResponse(request.get(), nullptr)) return failed(::GetLastError());

    DWORD status = 0;
    if (!numberHeader(request.get(), WINHTTP_QUERY_STATUS_CODE, status)) {
        return failed(::GetLastError());
    }
    if (status >= 400) {
        const std::string reason = win32::narrow(header(request.get(), WINHTTP_QUERY_STATUS_TEXT));
        return failure(kHttpErrorStatus, "The server answered HTTP " + std::to_string(status) +
                                             (reason.empty() ? "" : " " + reason));
    }
    const auto tooLarge = [] {
        return failure(kHttpErrorTooLarge,
                       "The page is larger than " + std::to_string(kHttpMaxPageBytes) + " bytes");
    };
    DWORD declared = 0;
    if (numberHeader(request.get(), WINHTTP_QUERY_CONTENT_LENGTH, declared) &&
        declared > kHttpMaxPageBytes) {
        return tooLarge();
    }
    const std::string contentType =
        win32::narrow(header(request.get(), WINHTTP_QUERY_CONTENT_TYPE));

    std::string body;
    std::string chunk(kReadChunk, '\0');
    for (;;) {
        if (!limit(request.get())) return timedOut();
        DWORD got = 0;
        if (!::WinHttpReadData(request.get(), chunk.data(), kReadChunk, &got)) {
            return failed(::GetLastError());
        }
        if (got == 0) break;
        body.append(chunk, 0, got);
        if (static_cast<long long>(body.size()) > kHttpMaxPageBytes) return tooLarge();
    }

    HttpResult result;
    result.ok = true;
    result.page = decodeWebPage(body, contentType);
    return result;
}

HttpResult HttpClientWin32::get(const std::string& url, int timeoutSeconds) {
    HANDLE finished = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (finished == nullptr) return fetch(url, timeoutSeconds);
    HttpResult result;
    std::thread worker([&] {
        result = fetch(url, timeoutSeconds);
        ::SetEvent(finished);
    });
    // Meanwhile this thread's windows keep answering (the tray, the timer, repaints), as the Qt
    // client's event loop keeps them. A quit request is kept for the loop it was meant for.
    std::optional<WPARAM> quit;
    while (::MsgWaitForMultipleObjects(1, &finished, FALSE, INFINITE, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = message.wParam;
                continue;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    worker.join();
    ::CloseHandle(finished);
    if (quit) ::PostQuitMessage(static_cast<int>(*quit));
    return result;
}

}  // namespace korvex
