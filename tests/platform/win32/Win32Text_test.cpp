// Windows-1255 and UTF-8 against the UTF-16 of the wide Windows functions.
#include "platform/win32/Win32Text.h"

#include <gtest/gtest.h>

#include "text/Cp1255.h"

namespace korvex {
namespace {

TEST(Win32Text, RoundTripsAndReplacements) {
    struct Case {
        std::string cp1255;
        std::wstring wide;
    };
    const Case cases[] = {
        {"abc 123", L"abc 123"},
        {cp1255::fromUtf8("שלום ₪"), L"\u05E9\u05DC\u05D5\u05DD \u20AA"},
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
        {"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::widen(c.cp1255), c.wide);
        EXPECT_EQ(win32::narrow(c.wide), c.cp1255);
    }
    // Every byte survives the way there and back.
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(win32::narrow(win32::widen(all)), all);
}

TEST(Win32Text, CharactersOutsideTheCodePage) {
    EXPECT_EQ(win32::narrow(L"\u4E2D\U0001F600x"), "??x");
    EXPECT_EQ(win32::narrow(std::wstring(1, wchar_t(0xD800)) + L"y"), "?y");  // lone surrogate
    EXPECT_EQ(win32::toUtf8(L"\u05D0\U0001F600"), "\u05D0\U0001F600");
    EXPECT_EQ(win32::toUtf8(std::wstring(1, wchar_t(0xDC00))), "\uFFFD");
}

}  // namespace
}  // namespace korvex
