#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/HttpClient.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

struct CharsetCase {
    const char* name;
    std::string body;
    std::string contentType;
    std::string expected;
};

TEST(DecodeWebPage, FollowsTheDeclaredCharset) {
    const std::string word = "\xE7\xF9\xE1\xE5\xEF";  // "חשבון" in Windows-1255
    const std::string utf8 = cp1255::toUtf8(word);
    ASSERT_EQ(cp1255::fromUtf8(utf8), word);
    const std::vector<CharsetCase> cases = {
        {"header utf-8", utf8, "text/html; charset=utf-8", word},
        {"header UTF-8 quoted", utf8, "text/html; Charset=\"UTF-8\"", word},
        {"header utf8", utf8, "text/html;charset=utf8", word},
        {"header windows-1255", word, "text/html; charset=windows-1255", word},
        {"header iso-8859-8", word, "text/html; charset=iso-8859-8", word},
        {"nothing declared", word, "text/html", word},
        {"no header at all", word, "", word},
        {"meta charset", "<html><head><meta charset=\"utf-8\"><title>" + utf8 + "</title>",
         "text/html", "<html><head><meta charset=\"utf-8\"><title>" + word + "</title>"},
        {"meta http-equiv",
         "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">" + utf8, "",
         "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">" + word},
        {"meta windows-1255", "<meta charset=windows-1255>" + word, "",
         "<meta charset=windows-1255>" + word},
        {"header wins over meta", "<meta charset=utf-8>" + word, "text/html; charset=windows-1255",
         "<meta charset=utf-8>" + word},
        {"charset outside a meta tag", "<p>charset=utf-8</p>" + word, "",
         "<p>charset=utf-8</p>" + word},
        {"byte-order mark", "\xEF\xBB\xBF" + utf8, "", word},
        {"byte-order mark and header", "\xEF\xBB\xBF" + utf8, "text/html; charset=utf-8", word},
        {"character outside the code page",
         "a\xE2\x82\xAC\xE4\xB8\xAD"
         "b",
         "text/html; charset=utf-8", "a\x80?b"},
        {"broken utf-8", "a\xC3", "text/html; charset=utf-8", "a?"},
        {"binary, nothing declared", std::string("\0\xff\xfe", 3), "",
         std::string("\0\xff\xfe", 3)},
        {"charset without value", word, "text/html; charset=", word},
        {"empty", "", "text/html; charset=utf-8", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeWebPage(c.body, c.contentType), c.expected) << c.name;
}

}  // namespace
}  // namespace korvex
