#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/HttpClient.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

TEST(DecodeWebPage, FollowsTheDeclaredCharset) {
    const std::string word = "\xE7\xF9\xE1\xE5\xEF";  // "חשבון" in Windows-1255
    const std::string utf8 = cp1255::toUtf8(word);
    const std::string meta =
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">";
    const struct {
        const char* name;
        std::string body, contentType, expected;
    } cases[] = {
        {"header utf-8", utf8, "text/html; charset=utf-8", word},
        {"header UTF-8 quoted", utf8, "text/html; Charset=\"UTF-8\"", word},
        {"header utf8", utf8, "text/html;charset=utf8", word},
        {"header windows-1255", word, "text/html; charset=windows-1255", word},
        {"nothing declared", word, "", word},
        {"meta charset", "<meta charset=\"utf-8\"><title>" + utf8, "text/html",
         "<meta charset=\"utf-8\"><title>" + word},
        {"meta http-equiv", meta + utf8, "", meta + word},
        {"header wins over meta", "<meta charset=utf-8>" + word, "text/html; charset=windows-1255",
         "<meta charset=utf-8>" + word},
        {"charset outside a meta tag", "<p>charset=utf-8</p>" + word, "",
         "<p>charset=utf-8</p>" + word},
        {"byte-order mark", "\xEF\xBB\xBF" + utf8, "", word},
        {"outside the code page", "a\xE2\x82\xAC\xE4\xB8\xAD", "text/html; charset=utf-8",
         "a\x80?"},
        {"broken utf-8", "a\xC3", "text/html; charset=utf-8", "a?"},
        {"binary, nothing declared", std::string("\0\xff\xfe", 3), "",
         std::string("\0\xff\xfe", 3)},
        {"charset without value", word, "text/html; charset=", word},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeWebPage(c.body, c.contentType), c.expected) << c.name;
}

}  // namespace
}  // namespace korvex
