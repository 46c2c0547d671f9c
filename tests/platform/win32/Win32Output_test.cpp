// The road to the operator's application on Windows: the window chosen and brought to the front,
// keys typed into a window of the test's own, and the clipboard.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32KeyInjector.h"
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
        {"cheques", 1},    // equal (letter case ignored) wins over the earlier "contains"
        {"Cheques l", 2},  // starts with
        {"ques", 0},       // contains: the first in order
        {cp1255::fromUtf8("חשבונות"), 4},
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
        {std::string("Korvex\0odd", 10), nullptr},
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

// The wait for the foreground window is bounded when its thread never reads its messages.
TEST(Win32KeyInjector, TheWaitForAHungTargetEndsAfterItsLimit) {
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> stop{false};
    HWND window = nullptr;
    std::thread thread([&] {
        const TargetWindow target(L"Korvex waiting target");
        target.focus();
        window = target.frame;
        ::SetEvent(ready);
        while (!stop) ::Sleep(10);  // never reads its messages
    });
    ASSERT_EQ(::WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
    const bool inFront = ::GetForegroundWindow() == window;
    Win32KeyInjector keys(std::chrono::milliseconds(150));
    const auto start = std::chrono::steady_clock::now();
    keys.waitUntilProcessed();
    const auto took = std::chrono::steady_clock::now() - start;
    stop = true;
    thread.join();
    ::CloseHandle(ready);
    ASSERT_TRUE(inFront);
    EXPECT_GE(took, std::chrono::milliseconds(100));  // it did wait
    EXPECT_LT(took, std::chrono::milliseconds(2000));
}

// The text as other programs read it, and the paste command as the window gets it (-8191).
TEST(Win32Clipboard, PutsTheTextOnAsUnicodeAndSendsThePasteCommand) {
    Win32Clipboard clipboard;
    const std::pair<std::string, std::wstring> cases[] = {
        {cp1255::fromUtf8("שלום 12 ₪\r\n"), L"\u05E9\u05DC\u05D5\u05DD 12 \u20AA\r\n"},
        {std::string("a\0b", 3), L"ab"},  // a NUL would cut the text short
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
    ASSERT_EQ(systemCommands.size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(systemCommands[0]), 0xFFFFE001u);
}

}  // namespace
}  // namespace korvex
