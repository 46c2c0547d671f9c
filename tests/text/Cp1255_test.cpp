#include "text/Cp1255.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace korvex {
namespace {

// Each byte against iconv's table is on POSIX systems; here what the table cannot show.
TEST(Cp1255, CharactersOutsideTheCodePageAndMalformedUtf8BecomeQuestionMarks) {
    const std::pair<std::string, std::string> cases[] = {
        {"קורא ₪", "\xF7\xE5\xF8\xE0 \xA4"},
        {"a\xD0\x96z", "a?z"},      // Cyrillic Zhe
        {"\xF0\x9F\x98\x80", "?"},  // an emoji
        {"\xC3", "?"},              // truncated two-byte sequence
        {"\xE2\x82", "?"},          // truncated three-byte sequence
        {"\x80\x80", "??"},         // stray continuation bytes
        {"\xC0\xAF", "?"},          // overlong "/"
        {"\xED\xA0\x80", "?"},      // a surrogate
        {"\xF4\x90\x80\x80", "?"},  // beyond U+10FFFF
        {"a\xC3(b", "a?(b"},        // interrupted sequence keeps what follows
        {"\0x"s, "\0x"s}};
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(cp1255::fromUtf8(input), expected) << input;
    EXPECT_EQ(cp1255::fromUnicode(0x4E2D), '?');
}

TEST(Cp1255, Utf8EncoderAndDecoderHandleEveryLength) {
    const std::string utf8 = "a\xD7\x90\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(cp1255::encodeUtf8(U"a\u05D0\u20AC\U0001F600"), utf8);
    EXPECT_EQ(cp1255::decodeUtf8(utf8 + "\x7F\x80"), U"a\u05D0\u20AC\U0001F600\u007F\uFFFD");
}

}  // namespace
}  // namespace korvex
