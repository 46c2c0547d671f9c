#include "text/Convert.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace korvex {
namespace {

TEST(Convert, Int16) {
    const struct {
        const char* text;
        std::optional<int16_t> expected;
    } cases[] = {
        {"0", 0},
        {"  42  ", 42},
        {"-7", -7},
        {"+7", 7},
        {"12.5", 12},
        {"13.5", 14},
        {"-2.5", -2},
        {"2.51", 3},
        {"&H0D", 13},
        {"&h1f", 31},
        {"&HFFFF", -1},
        {"&O17", 15},
        {"32767", 32767},
        {"-32768", -32768},
        {"32768", std::nullopt},
        {"-32769", std::nullopt},
        {"1e3", 1000},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"x", std::nullopt},
        {"12x", std::nullopt},
        {"1 2", std::nullopt},
        {"&H", std::nullopt},
        {"&HG", std::nullopt},
        {"&X10", std::nullopt},
        {"1e", std::nullopt},
        {".5", 0},
        {"1.5", 2},
        {"&H10000", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(toInt16(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Convert, ByteAndInt32) {
    EXPECT_EQ(toByte("255"), uint8_t{255});
    EXPECT_EQ(toByte("300"), std::nullopt);
    EXPECT_EQ(toByte("-1"), std::nullopt);
    EXPECT_EQ(toByte("&HFF"), uint8_t{255});
    EXPECT_EQ(toByte(" 0.4 "), uint8_t{0});
    EXPECT_EQ(toInt32("2147483647"), 2147483647);
    EXPECT_EQ(toInt32("-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(toInt32("99999999999"), std::nullopt);
    EXPECT_EQ(toInt32("&HFFFFFFFF"), -1);
    EXPECT_EQ(toInt32("&H10000"), 65536);
    EXPECT_EQ(toInt32("-13"), -13);
}

TEST(Convert, SwitchAndTruth) {
    EXPECT_EQ(toSwitch("0"), false);
    EXPECT_EQ(toSwitch("-1"), true);
    EXPECT_EQ(toSwitch("2"), true);
    EXPECT_EQ(toSwitch("yes"), std::nullopt);
    EXPECT_EQ(toSwitch("70000"), std::nullopt);
    EXPECT_EQ(toTruth("TRUE"), true);
    EXPECT_EQ(toTruth("true"), true);
    EXPECT_EQ(toTruth(" False "), false);
    EXPECT_EQ(toTruth("1"), true);
    EXPECT_EQ(toTruth("0"), false);
    EXPECT_EQ(toTruth("yes"), std::nullopt);
    EXPECT_EQ(toTruth(""), std::nullopt);
}

TEST(Convert, LeadingNumber) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"13", 13}, {" 1 3 ", 13}, {"&H0D", 13},    {"&o17", 15}, {"", 0},
        {"x", 0},   {"12abc", 12}, {"12.5x", 12.5}, {"-4", -4},   {"1e2", 100},
        {"&H", 0},  {"&Z1", 0},    {"5,000", 5},    {"\t9", 9},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.expected) << c.text;
}

TEST(Convert, RoundHalfEven) {
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
}

}  // namespace
}  // namespace korvex
