// The web page decoding, and the answer read from a query page. Input: the Content-Type header,
// 0x01, the body.

#include "FuzzCheck.h"
#include "accounts/RestrictedAccounts.h"
#include "platform/HttpClient.h"

using namespace korvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::string contentType = in.text();
    const std::string body = in.rest();
    const std::string page = decodeWebPage(body, contentType);
    // Every character decoded is one byte of the code page, and it took at least one byte.
    KORVEX_FUZZ_CHECK(page.size() <= body.size(), "decoding never grows a page");
    // A page declared in the code page itself by its header passes as it came.
    KORVEX_FUZZ_CHECK(decodeWebPage(body, "text/html; charset=windows-1255") == body,
                      "a windows-1255 page passes unchanged");
    const std::string title = TextBetween(1 + size % 7, page, "<title>", "</title>");
    KORVEX_FUZZ_CHECK(page.find(title) != std::string::npos, "the title is part of the page");
    return 0;
}
