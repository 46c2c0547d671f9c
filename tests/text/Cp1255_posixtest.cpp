// The codec against the C library's own CP1255 table, byte by byte.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "text/Cp1255.h"

namespace korvex {
namespace {

// What iconv makes of one CP1255 byte, as UTF-8; empty when iconv rejects it.
std::string iconvByte(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-8", "CP1255");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "<no iconv>";
    char in[1] = {static_cast<char>(byte)};
    char out[16] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1, outLeft = sizeof out;
    // glibc holds back a Hebrew letter in case a combining point follows; the flush call
    // releases it.
    const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const bool rejected = r == static_cast<size_t>(-1) && inLeft != 0;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    iconv_close(cd);
    if (rejected) return {};
    return std::string(out, sizeof out - outLeft);
}

TEST(Cp1255, AgreesWithIconvOnEveryByte) {
    for (unsigned b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string expected = iconvByte(static_cast<unsigned char>(b));
        ASSERT_NE(expected, "<no iconv>");
        if (expected.empty()) {  // undefined bytes keep their value as a code point
            EXPECT_EQ(cp1255::toUnicode(static_cast<unsigned char>(b)), char32_t{b}) << b;
        } else {
            EXPECT_EQ(cp1255::toUtf8(byte), expected) << "byte " << b;
            EXPECT_EQ(cp1255::fromUtf8(expected), byte) << "byte " << b;
        }
        EXPECT_EQ(cp1255::fromUtf8(cp1255::toUtf8(byte)), byte) << "round trip " << b;
    }
}

}  // namespace
}  // namespace korvex
