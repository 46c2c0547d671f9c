// The clipboard route: the paste text and the paste command.
#include <gtest/gtest.h>

#include "KeyEngineFixture.h"

namespace korvex::test {
namespace {

TEST(KeyPaste, TurnsNotationIntoPlainText) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"+a", "a"},
        {"^%a", "a"},
        {"{TAB 2}", "\t\t"},
        {"1~2", "1\r\n2"},
        {"{F5}{UP}{HOME}", ""},
        {"{NUMPADENTER}", "\r\n"},
        {"{ENTER}{SEPARATOR}", "\r\n\r\n"},
        {"{BS}{BKSP}{BACKSPACE}{ESC}{ESCAPE}{SPACE}", "\b\b\b\x1b\x1b "},
        {"{MULTIPLY}{ADD}{DECIMAL}{SUBTRACT}{DIVIDE}", "*+.-/"},
        {"{abc 2}{x 0}", "abcabc"},
        {"12.50", "12.50"},
        {"{+}{{}", "+{"},
        {"\xE0\xE1", "\xE0\xE1"},
        {"", ""},
    };
    for (const auto& [text, paste] : cases) {
        EXPECT_EQ(pasteTextOf(text), paste) << text;
        KeyEngineFixture f;
        ASSERT_TRUE(f.engines.VbSendPaste(text));
        EXPECT_EQ(f.clipboard.text, paste) << text;
        EXPECT_TRUE(f.keys.events.empty());
    }
}

TEST(KeyPaste, AnEmptyTextStillSendsThePasteCommand) {
    KeyEngineFixture f;
    f.windows.foreground = 77;
    ASSERT_TRUE(f.engines.VbSendPaste(""));
    f.engines.PasteIntoForeground();
    EXPECT_EQ(f.clipboard.text, "");
    EXPECT_EQ(f.clipboard.pastes, std::vector<uint64_t>{77});
    EXPECT_TRUE(f.log.empty());
}

TEST(KeyPaste, NoForegroundWindowLogsAndPastesNothing) {
    KeyEngineFixture f;
    f.windows.foreground = 0;
    f.windows.error = 1400;
    f.engines.PasteIntoForeground();
    EXPECT_TRUE(f.clipboard.pastes.empty());
    EXPECT_EQ(f.log, (std::vector<std::string>{"Cannot find target", "1400"}));
}

TEST(KeyPaste, ARefusedClipboardIsReported) {
    KeyEngineFixture f;
    f.clipboard.refuse = true;
    EXPECT_FALSE(f.engines.VbSendPaste("abc"));
    EXPECT_EQ(f.clipboard.text, "earlier content");
}

TEST(KeyPaste, AHugeRepeatCountIsRefusedWithoutTouchingTheClipboard) {
    KeyEngineFixture f;
    EXPECT_FALSE(f.engines.VbSendPaste("{abcdefghij 200000}"));
    EXPECT_EQ(f.clipboard.text, "earlier content");
    ASSERT_EQ(f.log.size(), 1u);
    EXPECT_NE(f.log[0].find("Key text not sent"), std::string::npos);
    // A large count that fits is pasted in full.
    ASSERT_TRUE(f.engines.VbSendPaste("{abcdefghij 90000}"));
    EXPECT_EQ(f.clipboard.text.size(), 900000u);
}

}  // namespace
}  // namespace korvex::test
