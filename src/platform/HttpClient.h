#pragma once
// Fetching a web page as text: the restricted-account query page.
//
// A blocking call on the user-interface thread: it returns when the page has arrived, the
// time-out has passed or the request failed. It never throws.

#include <string>
#include <string_view>

namespace korvex {

// Stable failure numbers; the caller logs them as "Error #" number " - " description.
inline constexpr int kHttpErrorTimeout = 35761;   // no complete answer within the time-out
inline constexpr int kHttpErrorConnect = 35754;   // refused, unreachable, name not found
inline constexpr int kHttpErrorStatus = 35755;    // the server answered with an error status
inline constexpr int kHttpErrorTooLarge = 35756;  // the page exceeds kHttpMaxPageBytes
inline constexpr int kHttpErrorBadUrl = 35757;    // the address is not a valid http(s) URL
inline constexpr int kHttpErrorOther = 35760;     // any other transfer failure

// A page larger than this is not a query answer; the transfer is abandoned.
inline constexpr long long kHttpMaxPageBytes = 4LL * 1024 * 1024;

struct HttpResult {
    bool ok = false;
    std::string page;  // Windows-1255 text of the body, decoded by its declared charset
    int errorNumber = 0;
    std::string errorDescription;
};

// The body of a page as Windows-1255 text. The charset comes from the Content-Type header's
// "charset=" parameter, else from the page's own <meta> declaration, else a UTF-8 byte-order
// mark; UTF-8 is converted (characters outside the code page become "?"), windows-1255 and its
// Hebrew relatives (iso-8859-8, cp1255) pass unchanged, and so does any page declaring nothing.
std::string decodeWebPage(std::string_view body, std::string_view contentType);

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // GET `url` (Windows-1255 text). Gives up after `timeoutSeconds` in all (a value below 1 is
    // taken as 60, so a request never waits for ever). The body is decoded by the charset of
    // its Content-Type header or of its <meta> tag (UTF-8 or windows-1255; windows-1255 when
    // none is declared).
    virtual HttpResult get(const std::string& url, int timeoutSeconds) = 0;
};

}  // namespace korvex
