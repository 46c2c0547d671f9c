#include "text/Convert.h"
#include "text/Cp1255.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace korvex {
namespace {

TEST(Convert, Int16) {
    const std::optional<int16_t> no;
    const std::pair<const char*, std::optional<int16_t>> cases[] = {
        {"0", 0},         {"  42  ", 42},     {"-7", -7},      {"12.5", 12},   {"13.5", 14},
        {"-2.5", -2},     {"&H0D", 13},       {"&h1f", 31},    {"&HFFFF", -1}, {"&O17", 15},
        {"32767", 32767}, {"-32768", -32768}, {"32768", no},   {"-32769", no}, {"1e3", 1000},
        {"", no},         {"x", no},          {"1 2", no},     {"&H", no},     {"&HG", no},
        {"1e", no},       {"1.5", 2},         {"&H10000", no}, {"&H0FFFF", no}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(toInt16(text), expected) << text;
}

TEST(Convert, ByteInt32SwitchAndTruth) {
    EXPECT_EQ(std::tuple(toByte("255"), toByte("&HFF"), toByte(" 0.4 ")),
              std::tuple(uint8_t{255}, uint8_t{255}, uint8_t{0}));
    EXPECT_FALSE(toByte("300") || toByte("-1"));
    EXPECT_EQ(toInt32("-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(toInt32("99999999999"), std::nullopt);
    EXPECT_EQ(std::tuple(toInt32("&HFFFFFFFF"), toInt32("&H10000"), toInt32("-13")),
              std::tuple(-1, 65536, -13));
    const std::optional<bool> no;
    const std::tuple<const char*, std::optional<bool>, std::optional<bool>> cases[] = {
        // text, as a switch, as a truth
        {"0", false, false},    {"-1", true, true},  {"2", true, true},  {"1", true, true},
        {"yes", no, no},        {"70000", no, true}, {"TRUE", no, true}, {"true", no, true},
        {" False ", no, false}, {"", no, no}};
    for (const auto& [text, asSwitch, asTruth] : cases) {
        EXPECT_EQ(toSwitch(text), asSwitch) << text;
        EXPECT_EQ(toTruth(text), asTruth) << text;
    }
}

TEST(Convert, LeadingNumberAndRoundHalfEven) {
    const std::pair<const char*, double> cases[] = {
        {"13", 13}, {" 1 3 ", 13}, {"&H0D", 13},    {"&o17", 15}, {"", 0},
        {"x", 0},   {"12abc", 12}, {"12.5x", 12.5}, {"-4", -4},   {"1e2", 100},
        {"&H", 0},  {"&Z1", 0},    {"5,000", 5},    {"\t9", 9}};
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(text), expected) << text;
    const std::pair<double, int> rounded[] = {{0.5, 0},  {1.5, 2},   {2.5, 2},
                                              {-0.5, 0}, {-1.5, -2}, {2.4999, 2}};
    for (const auto& [value, expected] : rounded)
        EXPECT_EQ(roundHalfEven(value), expected) << value;
}

// Each byte against iconv's table is on POSIX systems; here what the table cannot show.
TEST(Cp1255, CharactersOutsideTheCodePageAndMalformedUtf8BecomeQuestionMarks) {
    const std::pair<std::string, std::string> cases[] = {
        {"קורא ₪", "\xF7\xE5\xF8\xE0 \xA4"},
        {"a\xD0\x96z", "a?z"},      // Cyrillic Zhe
        {"\xF0\x9F\x98\x80", "?"},  // an emoji
        {"a\xC3(b", "a?(b"}};       // interrupted sequence keeps what follows
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(cp1255::fromUtf8(input), expected) << input;
    const std::string utf8 = "a\xD7\x90\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(cp1255::encodeUtf8(U"a\u05D0\u20AC\U0001F600"), utf8);
    EXPECT_EQ(cp1255::decodeUtf8(utf8 + "\x7F\x80"), U"a\u05D0\u20AC\U0001F600\u007F\uFFFD");
}

}  // namespace
}  // namespace korvex
