// The clipboard's text as other programs read it, and the paste command as the window gets it.
#include "platform/win32/Win32Clipboard.h"

#include <gtest/gtest.h>

#include "TargetWindow.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using test::TargetWindow;

std::wstring clipboardUnicodeText() {
    std::wstring text;
    if (!::OpenClipboard(nullptr)) return L"<clipboard not open>";
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

TEST(Win32Clipboard, PutsTheTextOnAsUnicode) {
    Win32Clipboard clipboard;
    struct Case {
        std::string text;
        std::wstring expected;
    };
    const Case cases[] = {
        {"12345678\r\n", L"12345678\r\n"},
        {cp1255::fromUtf8("שלום 12 ₪"), L"\u05E9\u05DC\u05D5\u05DD 12 \u20AA"},
        {std::string("a\0b", 3), L"ab"},  // a NUL would cut the text short
        {"", L""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(clipboard.setText(c.text));
        EXPECT_EQ(clipboardUnicodeText(), c.expected);
    }
}

TEST(Win32Clipboard, PasteSendsTheSystemCommandToTheWindow) {
    TargetWindow target(L"Korvex paste target");
    Win32Clipboard clipboard;
    EXPECT_TRUE(clipboard.paste(reinterpret_cast<uintptr_t>(target.frame())));
    ASSERT_EQ(target.systemCommands().size(), 1u);
    const WPARAM command = target.systemCommands()[0];
    EXPECT_EQ(command & 0xFFFF, 0xE001u);
    EXPECT_EQ(static_cast<uint32_t>(command), 0xFFFFE001u);  // -8191 as the 32-bit value
    // No window: nothing is sent anywhere, and the result says so.
    EXPECT_EQ(clipboard.paste(0).kind, PlatformResult::Kind::NotFound);
    EXPECT_EQ(target.systemCommands().size(), 1u);
}

}  // namespace
}  // namespace korvex
