#include "text/Cp1255.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

TEST(Cp1255, HebrewAndSymbolsConvertBothWays) {
    const std::string hebrew = "\xF7\xE5\xF8\xE0";  // "קורא"
    EXPECT_EQ(cp1255::toUtf8(hebrew), "קורא");
    EXPECT_EQ(cp1255::fromUtf8("קורא צ'קים"), "\xF7\xE5\xF8\xE0 \xF6'\xF7\xE9\xED");
    EXPECT_EQ(cp1255::fromUtf8("₪€"), "\xA4\x80");
}

TEST(Cp1255, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(cp1255::fromUtf8("a\xD0\x96z"), "a?z");      // Cyrillic Zhe
    EXPECT_EQ(cp1255::fromUtf8("\xF0\x9F\x98\x80"), "?");  // an emoji
    EXPECT_EQ(cp1255::fromUnicode(0x4E2D), '?');
}

TEST(Cp1255, MalformedUtf8NeverCrashesAndBecomesQuestionMarks) {
    const struct {
        std::string input, expected;
    } cases[] = {
        {"\xC3", "?"},              // truncated two-byte sequence
        {"\xE2\x82", "?"},          // truncated three-byte sequence
        {"\x80\x80", "??"},         // stray continuation bytes
        {"\xC0\xAF", "?"},          // overlong "/"
        {"\xED\xA0\x80", "?"},      // a surrogate
        {"\xF4\x90\x80\x80", "?"},  // beyond U+10FFFF
        {"a\xC3(b", "a?(b"},        // interrupted sequence keeps what follows
        {std::string("\0x", 2), std::string("\0x", 2)},
    };
    for (const auto& c : cases) EXPECT_EQ(cp1255::fromUtf8(c.input), c.expected) << c.input;
}

TEST(Cp1255, Utf8EncoderHandlesEveryLength) {
    EXPECT_EQ(cp1255::encodeUtf8(U"a\u05D0\u20AC\U0001F600"),
              "a\xD7\x90\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(cp1255::decodeUtf8("a\xD7\x90\xE2\x82\xAC\xF0\x9F\x98\x80"),
              U"a\u05D0\u20AC\U0001F600");
    EXPECT_EQ(cp1255::decodeUtf8("\x7F\x80"), U"\u007F\uFFFD");  // a stray continuation byte
}

}  // namespace
}  // namespace korvex
