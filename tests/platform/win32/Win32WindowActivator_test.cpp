// AppActivate's choice of window and the activation of real windows of the test's own.
#include "platform/win32/Win32WindowActivator.h"

#include <gtest/gtest.h>

#include "TargetWindow.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using test::TargetWindow;

TEST(Win32WindowActivator, PicksEqualThenStartsWithThenContains) {
    const std::vector<std::string> titles = {"Ledger - cheques", "Cheques", "cheques ledger",
                                             "Bank CHEQUES"};
    struct Case {
        const char* text;
        std::optional<std::size_t> pick;
    };
    const Case cases[] = {
        {"cheques", 1},         // equal (letter case ignored) wins over the earlier "contains"
        {"CHEQUES LEDGER", 2},  // equal
        {"Cheques l", 2},       // starts with
        {"bank", 3},            // starts with
        {"- cheq", 0},          // contains only
        {"ques", 0},            // contains: the first in order
        {"nothing like it", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(pickWindowTitle(titles, c.text), c.pick) << c.text;
}

TEST(Win32WindowActivator, HebrewTitlesMatchAsWindows1255Text) {
    const std::vector<std::string> titles = {cp1255::fromUtf8("הנהלת חשבונות"),
                                             cp1255::fromUtf8("חשבון")};
    EXPECT_EQ(pickWindowTitle(titles, cp1255::fromUtf8("חשבון")), 1u);
    EXPECT_EQ(pickWindowTitle(titles, cp1255::fromUtf8("הנהלת")), 0u);
    EXPECT_EQ(pickWindowTitle(titles, cp1255::fromUtf8("חשבונות")), 0u);
}

TEST(Win32WindowActivator, ActivatesTheMatchingWindow) {
    TargetWindow first(L"Korvex Activation Ledger 4711");
    TargetWindow second(L"\u05D4\u05E0\u05D4\u05DC\u05EA Korvex 4711");  // Hebrew title
    TargetWindow third(L"Other window");
    TargetWindow::pump();
    Win32WindowActivator activator;

    ASSERT_TRUE(third.focus());
    EXPECT_TRUE(activator.appActivate("korvex activation ledger"));
    EXPECT_EQ(activator.foregroundWindow(), reinterpret_cast<uintptr_t>(first.frame()));

    EXPECT_TRUE(activator.appActivate(cp1255::fromUtf8("הנהלת")));
    EXPECT_EQ(activator.foregroundWindow(), reinterpret_cast<uintptr_t>(second.frame()));
    EXPECT_EQ(activator.lastError(), 0u);

    // A minimised window comes back.
    ::ShowWindow(first.frame(), SW_MINIMIZE);
    TargetWindow::pump();
    EXPECT_TRUE(activator.appActivate("Ledger 4711"));
    EXPECT_FALSE(::IsIconic(first.frame()));
    EXPECT_EQ(activator.foregroundWindow(), reinterpret_cast<uintptr_t>(first.frame()));
}

TEST(Win32WindowActivator, NoMatchChangesNothingAndSaysWhy) {
    TargetWindow window(L"Korvex quiet window");
    ASSERT_TRUE(window.focus());
    Win32WindowActivator activator;
    const PlatformResult missing = activator.appActivate("no window has this title 90210");
    EXPECT_EQ(missing.kind, PlatformResult::Kind::NotFound);
    EXPECT_EQ(missing.message, "no visible window has this title");
    EXPECT_EQ(activator.lastError(), static_cast<uint32_t>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(activator.appActivate(""));
    EXPECT_EQ(activator.foregroundWindow(), reinterpret_cast<uintptr_t>(window.frame()));
}

TEST(Win32WindowActivator, OddTextsFindNothingAndBreakNothing) {
    TargetWindow window(L"Korvex odd texts window");
    ASSERT_TRUE(window.focus());
    Win32WindowActivator activator;
    for (const std::string& text : {std::string("Korvex\0odd", 10), std::string(100000, 'K'),
                                    std::string("\xFF\xFE\x01\x02")}) {
        EXPECT_FALSE(activator.appActivate(text));
        EXPECT_EQ(activator.foregroundWindow(), reinterpret_cast<uintptr_t>(window.frame()));
    }
}

TEST(Win32WindowActivator, HiddenWindowsAreNotCandidates) {
    TargetWindow shown(L"Korvex shown window");
    TargetWindow hidden(L"Korvex hidden window 5150");
    ::ShowWindow(hidden.frame(), SW_HIDE);
    ASSERT_TRUE(shown.focus());
    Win32WindowActivator activator;
    EXPECT_FALSE(activator.appActivate("Korvex hidden window 5150"));
    EXPECT_EQ(activator.foregroundWindow(), reinterpret_cast<uintptr_t>(shown.frame()));
}

}  // namespace
}  // namespace korvex
