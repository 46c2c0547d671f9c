// The road to the operator's application on Windows: the window chosen and brought to the front,
// the keyboard layout's answers, keys typed into a window of the test's own, and the clipboard.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include "output/UsKeyboardLayout.h"
#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32KeyInjector.h"
#include "platform/win32/Win32KeyboardLayout.h"
#include "platform/win32/Win32WindowActivator.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

void pump() {
    for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        ::TranslateMessage(&message);  // key messages become characters
        ::DispatchMessageW(&message);
    }
}

std::vector<WPARAM> systemCommands;  // the paste commands a target got, recorded, not acted on

LRESULT CALLBACK targetProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_SYSCOMMAND || (wParam & 0xFFFF) >= 0xF000)
        return ::DefWindowProcW(window, message, wParam, lParam);
    systemCommands.push_back(wParam);
    return 0;
}

// A window of the test's own: its edit control holds what it received.
struct TargetWindow {
    HWND frame, edit;
    explicit TargetWindow(const std::wstring& title) {
        static const WNDCLASSW windowClass{
            0,       &targetProcedure, 0,       0,       ::GetModuleHandleW(nullptr),
            nullptr, nullptr,          nullptr, nullptr, L"KorvexTarget"};
        static const ATOM registered = ::RegisterClassW(&windowClass);
        frame = ::CreateWindowExW(0, reinterpret_cast<LPCWSTR>(uintptr_t{registered}),
                                  title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 200,
                                  nullptr, nullptr, nullptr, nullptr);
        edit = ::CreateWindowExW(0, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0, 380,
                                 150, frame, nullptr, nullptr, nullptr);
    }
    ~TargetWindow() { ::DestroyWindow(frame), pump(); }
    bool focus() const {
        ::SetForegroundWindow(frame);
        ::SetFocus(edit);
        pump();
        return ::GetForegroundWindow() == frame && ::GetFocus() == edit;
    }
    std::wstring text() const {
        wchar_t buffer[4096] = {};
        return std::wstring(buffer, std::size_t(::GetWindowTextW(edit, buffer, 4096)));
    }
};

TEST(Win32WindowActivator, PicksEqualThenStartsWithThenContains) {
    const std::vector<std::string> titles = {"Ledger - cheques",
                                             "Cheques",
                                             "cheques ledger",
                                             "Bank CHEQUES",
                                             cp1255::fromUtf8("הנהלת חשבונות"),
                                             cp1255::fromUtf8("חשבון")};
    const std::pair<std::string, std::optional<std::size_t>> cases[] = {
        {"cheques", 1},         // equal (letter case ignored) wins over the earlier "contains"
        {"CHEQUES LEDGER", 2},  // equal
        {"Cheques l", 2},       // starts with
        {"bank", 3},            // starts with
        {"- cheq", 0},          // contains only
        {"ques", 0},            // contains: the first in order
        {cp1255::fromUtf8("חשבון"), 5},
        {cp1255::fromUtf8("חשבונות"), 4},
        {"nothing like it", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, pick] : cases) EXPECT_EQ(pickWindowTitle(titles, text), pick) << text;
}

TEST(Win32WindowActivator, BringsTheMatchingVisibleWindowToTheFront) {
    const TargetWindow first(L"Korvex Activation Ledger 4711"), other(L"Other window"),
        second(L"\u05D4\u05E0\u05D4\u05DC\u05EA Korvex 4711"), hidden(L"Korvex hidden 5150");
    ::ShowWindow(hidden.frame, SW_HIDE);
    ASSERT_TRUE(other.focus());
    ::ShowWindow(first.frame, SW_MINIMIZE);  // a minimised window comes back
    pump();
    Win32WindowActivator activator;
    // No match leaves the front window alone; a text cut at its NUL would match "Korvex".
    const std::pair<std::string, HWND> cases[] = {
        {"Korvex hidden 5150", nullptr},
        {"no window has this title 90210", nullptr},
        {"", nullptr},
        {std::string("Korvex\0odd", 10), nullptr},
        {std::string(100000, 'K'), nullptr},
        {"\xFF\xFE\x01\x02", nullptr},
        {"korvex activation ledger", first.frame},
        {cp1255::fromUtf8("הנהלת"), second.frame},
        {"Ledger 4711", first.frame},
    };
    HWND front = other.frame;
    for (const auto& [text, window] : cases) {
        SCOPED_TRACE(text.substr(0, 40));
        const PlatformResult result = activator.appActivate(text);
        EXPECT_EQ(result.kind, window ? PlatformResult::Kind::Ok : PlatformResult::Kind::NotFound);
        EXPECT_EQ(activator.lastError(), window ? 0u : uint32_t{ERROR_INVALID_WINDOW_HANDLE});
        front = window ? window : front;
        EXPECT_EQ(activator.foregroundWindow(), reinterpret_cast<uintptr_t>(front));
    }
    EXPECT_FALSE(::IsIconic(first.frame));
    EXPECT_EQ(activator.appActivate("").message, "no visible window has this title");
}

// Windows' answers for the US layout where the fixed table used by the tools and the core's tests
// does not reach, then every printable character and key code against that table.
TEST(Win32KeyboardLayout, AnswersAsWindowsAndAsTheFixedUsTable) {
    Win32KeyboardLayout real;
    EXPECT_EQ(real.vkKeyScan(0xE0), -1);  // no key on the US layout
    EXPECT_EQ(real.mapVirtualKey(0x0300), 0u);
    EXPECT_EQ(real.charToOem('A'), 'A');
    EXPECT_EQ(real.charToOem(0), 0);
    UsKeyboardLayout fixed;
    std::ostringstream differences;
    for (unsigned char c = 0x20; c < 0x7F; ++c) {
        if (real.vkKeyScan(c) != fixed.vkKeyScan(c)) differences << "VkKeyScanA " << +c << "\n";
        if (real.oemKeyScan(c) != fixed.oemKeyScan(c)) differences << "OemKeyScan " << +c << "\n";
    }
    for (uint32_t vk = 0; vk < 256; ++vk)
        if (real.mapVirtualKey(vk) != fixed.mapVirtualKey(vk))
            differences << "MapVK " << vk << "\n";
    EXPECT_EQ(differences.str(), "");
}

TEST(Win32KeyInjector, EventsCountedOnlyWhenAllTheirRecordsWentIn) {
    const std::vector<KeyEvent> events = {
        KeyEvent::key(0x41, 0x1E, false), KeyEvent::unicode(U'\U0001F600', false),
        KeyEvent::unicode(U'\U0001F600', true), KeyEvent::key(0x41, 0x1E, true)};
    const uint32_t expected[] = {0, 1, 1, 2, 2, 3, 4, 4};  // the events take 1, 2, 2 and 1 records
    for (uint32_t inserted = 0; inserted < 8; ++inserted)
        EXPECT_EQ(eventsDelivered(events, inserted), expected[inserted]) << inserted;
}

void press(std::vector<KeyEvent>& events, KeyEvent event) {
    events.push_back(event);
    event.keyUp = true;
    events.push_back(event);
}

// A long batch arrives whole and in order: keys, surrogate pairs, U+FFFD for code points that are
// no characters; then keybd_event types one key at a time.
TEST(Win32KeyInjector, TypesIntoTheFocusedWindow) {
    const TargetWindow target(L"Korvex typing target");
    ASSERT_TRUE(target.focus());
    std::vector<KeyEvent> events = {KeyEvent::key(VK_SHIFT, 0x2A, false)};
    press(events, KeyEvent::key('K', 0x25, false));
    events.push_back(KeyEvent::key(VK_SHIFT, 0x2A, true));
    for (const char32_t c : {U'\U0001F600', char32_t{0xD800}, char32_t{0x110000}})
        press(events, KeyEvent::unicode(c, false));
    std::wstring expected = L"K\U0001F600\uFFFD\uFFFD";
    for (int i = 0; i < 500; ++i) {
        press(events, KeyEvent::key(static_cast<uint8_t>('A' + i % 26), 0, false));
        press(events, KeyEvent::unicode(U'\u05D0' + static_cast<char32_t>(i % 27), false));
        expected += {static_cast<wchar_t>('a' + i % 26), static_cast<wchar_t>(0x5D0 + i % 27)};
    }
    Win32KeyInjector keys;
    ASSERT_TRUE(keys.sendBatch(events));
    EXPECT_EQ(keys.lastError(), 0u);
    events.clear();
    press(events, KeyEvent::key('Q', 0x10, false));
    press(events, KeyEvent::unicode(U'\u20AA', false));
    for (const KeyEvent& e : events) keys.sendKey(e);
    expected += L"q\u20AA";
    for (int i = 0; i < 2000 && target.text().size() < expected.size(); ++i) pump(), ::Sleep(5);
    EXPECT_EQ(target.text(), expected);
}

// The wait for the foreground window ends as soon as its thread answers, and is bounded when the
// thread never reads its messages.
TEST(Win32KeyInjector, TheWaitEndsWhenTheTargetAnswersOrAfterItsLimit) {
    for (const bool hangs : {false, true}) {
        SCOPED_TRACE(hangs ? "hung target" : "answering target");
        HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::atomic<bool> stop{false};
        HWND window = nullptr;
        std::thread thread([&] {
            const TargetWindow target(L"Korvex waiting target");
            target.focus();
            window = target.frame;
            ::SetEvent(ready);
            for (; !stop; ::Sleep(10))
                if (!hangs) pump();
        });
        ASSERT_EQ(::WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
        const bool inFront = ::GetForegroundWindow() == window;
        Win32KeyInjector keys(std::chrono::milliseconds(hangs ? 150 : 4000));
        const auto start = std::chrono::steady_clock::now();
        keys.waitUntilProcessed();
        const auto took = std::chrono::steady_clock::now() - start;
        stop = true;
        thread.join();
        ::CloseHandle(ready);
        ASSERT_TRUE(inFront);
        EXPECT_GE(took, std::chrono::milliseconds(hangs ? 100 : 0));  // it did wait
        EXPECT_LT(took, std::chrono::milliseconds(2000));
    }
}

// The text as other programs read it from the clipboard, and the paste command as the window
// gets it (-8191 as a 32-bit value).
TEST(Win32Clipboard, PutsTheTextOnAsUnicodeAndSendsThePasteCommand) {
    Win32Clipboard clipboard;
    const std::pair<std::string, std::wstring> cases[] = {
        {cp1255::fromUtf8("שלום 12 ₪\r\n"), L"\u05E9\u05DC\u05D5\u05DD 12 \u20AA\r\n"},
        {std::string("a\0b", 3), L"ab"},  // a NUL would cut the text short
        {"", L""},
    };
    for (const auto& [text, expected] : cases) {
        ASSERT_TRUE(clipboard.setText(text));
        ASSERT_TRUE(::OpenClipboard(nullptr));
        HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
        const auto* chars = static_cast<const wchar_t*>(data ? ::GlobalLock(data) : nullptr);
        EXPECT_EQ(std::wstring(chars ? chars : L"<none>"), expected);
        if (chars) ::GlobalUnlock(data);
        ::CloseClipboard();
    }
    const TargetWindow target(L"Korvex paste target");
    EXPECT_TRUE(clipboard.paste(reinterpret_cast<uintptr_t>(target.frame)));
    EXPECT_EQ(clipboard.paste(0).kind, PlatformResult::Kind::NotFound);  // sent nowhere
    ASSERT_EQ(systemCommands.size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(systemCommands[0]), 0xFFFFE001u);
}

}  // namespace
}  // namespace korvex
