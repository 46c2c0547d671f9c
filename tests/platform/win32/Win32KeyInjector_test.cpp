// SendInput records built from the core's key events, and typing into a window of the test's own.
#include "platform/win32/Win32KeyInjector.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "TargetWindow.h"
#include "output/SendKeys.h"

namespace korvex {
namespace {

using test::TargetWindow;

TEST(Win32KeyInjector, RecordsOfKeyAndUnicodeEvents) {
    struct Record {
        WORD vk, scan;
        DWORD flags;
    };
    struct Case {
        const char* name;
        KeyEvent event;
        std::vector<Record> records;
    };
    const Case cases[] = {
        {"press", MakeKeyInput(0x41, 0x1E, 0), {{0x41, 0x1E, 0}}},
        {"release", MakeKeyInput(0x41, 0x1E, 2), {{0x41, 0x1E, KEYEVENTF_KEYUP}}},
        {"hebrew letter", KeyEvent::unicode(U'\u05D0', false), {{0, 0x05D0, KEYEVENTF_UNICODE}}},
        {"unicode release",
         KeyEvent::unicode(U'\u20AA', true),
         {{0, 0x20AA, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP}}},
        {"surrogate pair",
         KeyEvent::unicode(U'\U0001F600', false),
         {{0, 0xD83D, KEYEVENTF_UNICODE}, {0, 0xDE00, KEYEVENTF_UNICODE}}},
        {"lone surrogate",
         KeyEvent::unicode(char32_t{0xD800}, false),
         {{0, 0xFFFD, KEYEVENTF_UNICODE}}},
        {"beyond unicode",
         KeyEvent::unicode(char32_t{0x110000}, true),
         {{0, 0xFFFD, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP}}},
    };
    for (const Case& c : cases) {
        const std::vector<INPUT> records = makeInputRecords({c.event});
        ASSERT_EQ(records.size(), c.records.size()) << c.name;
        for (std::size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(records[i].type, static_cast<DWORD>(INPUT_KEYBOARD)) << c.name;
            EXPECT_EQ(records[i].ki.wVk, c.records[i].vk) << c.name;
            EXPECT_EQ(records[i].ki.wScan, c.records[i].scan) << c.name;
            EXPECT_EQ(records[i].ki.dwFlags, c.records[i].flags) << c.name;
            EXPECT_EQ(records[i].ki.dwExtraInfo, 0u) << c.name;
        }
    }
}

TEST(Win32KeyInjector, EventsCountedOnlyWhenAllTheirRecordsWentIn) {
    const std::vector<KeyEvent> events = {
        KeyEvent::key(0x41, 0x1E, false), KeyEvent::unicode(U'\U0001F600', false),
        KeyEvent::unicode(U'\U0001F600', true), KeyEvent::key(0x41, 0x1E, true)};
    // Records: 1, 2, 2, 1.
    const uint32_t expected[] = {0, 1, 1, 2, 2, 3, 4, 4};
    for (uint32_t inserted = 0; inserted < 8; ++inserted) {
        EXPECT_EQ(eventsDelivered(events, inserted), expected[inserted]) << inserted << " records";
    }
}

std::vector<KeyEvent> typed(const std::vector<std::pair<uint8_t, uint8_t>>& keys) {
    std::vector<KeyEvent> events;
    for (const auto& [vk, scan] : keys) {
        events.push_back(KeyEvent::key(vk, scan, false));
        events.push_back(KeyEvent::key(vk, scan, true));
    }
    return events;
}

TEST(Win32KeyInjector, SendInputTypesIntoTheFocusedWindow) {
    TargetWindow target(L"Korvex SendInput target");
    ASSERT_TRUE(target.focus());
    Win32KeyInjector keys;

    std::vector<KeyEvent> events = {KeyEvent::key(VK_SHIFT, 0x2A, false)};
    for (const auto& e : typed({{'K', 0x25}})) events.push_back(e);
    events.push_back(KeyEvent::key(VK_SHIFT, 0x2A, true));
    for (const auto& e : typed({{'O', 0x18}, {'1', 0x02}, {VK_SPACE, 0x39}})) events.push_back(e);
    for (const char32_t c : {U'\u05E9', U'\u05DC', U'\U0001F600'}) {
        events.push_back(KeyEvent::unicode(c, false));
        events.push_back(KeyEvent::unicode(c, true));
    }

    ASSERT_TRUE(keys.sendBatch(events));
    const std::wstring expected = L"Ko1 \u05E9\u05DC\U0001F600";
    EXPECT_TRUE(TargetWindow::pumpUntil([&] { return target.text() == expected; }))
        << "received " << target.text().size() << " units";
    EXPECT_EQ(keys.lastError(), 0u);
}

TEST(Win32KeyInjector, KeybdEventTypesOneKeyAtATime) {
    TargetWindow target(L"Korvex keybd_event target");
    ASSERT_TRUE(target.focus());
    Win32KeyInjector keys;
    for (const auto& e : typed({{'Q', 0x10}, {'7', 0x08}})) keys.sendKey(e);
    keys.sendKey(KeyEvent::unicode(U'\u05D0', false));
    keys.sendKey(KeyEvent::unicode(U'\u05D0', true));
    EXPECT_TRUE(TargetWindow::pumpUntil([&] { return target.text() == L"q7\u05D0"; }));
}

// A long text arrives whole and in order: 1,500 characters, Latin ones by their keys and
// Hebrew ones as themselves, in one batch.
TEST(Win32KeyInjector, ALongBatchArrivesWholeAndInOrder) {
    TargetWindow target(L"Korvex long batch target");
    ASSERT_TRUE(target.focus());
    std::vector<KeyEvent> events;
    std::wstring expected;
    for (int i = 0; i < 1500; ++i) {
        if (i % 3 == 2) {
            const char32_t letter = U'\u05D0' + static_cast<char32_t>(i % 27);
            events.push_back(KeyEvent::unicode(letter, false));
            events.push_back(KeyEvent::unicode(letter, true));
            expected.push_back(static_cast<wchar_t>(letter));
        } else {
            const auto letter = static_cast<uint8_t>('A' + i % 26);
            events.push_back(KeyEvent::key(letter, 0, false));
            events.push_back(KeyEvent::key(letter, 0, true));
            expected.push_back(static_cast<wchar_t>('a' + i % 26));
        }
    }
    Win32KeyInjector keys;
    ASSERT_TRUE(keys.sendBatch(events));
    EXPECT_TRUE(TargetWindow::pumpUntil([&] { return target.text().size() >= expected.size(); },
                                        std::chrono::milliseconds(10000)));
    EXPECT_EQ(target.text(), expected);
}

TEST(Win32KeyInjector, AnEmptyBatchInsertsNothing) {
    Win32KeyInjector keys;
    EXPECT_TRUE(keys.sendBatch({}));
}

// A target that reads its messages answers at once: the wait ends long before its limit, and the
// keys sent before it arrive in that thread's window.
TEST(Win32KeyInjector, TheWaitEndsWhenTheTargetAnswers) {
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> stop{false};
    std::wstring received;
    HWND targetWindow = nullptr;
    std::thread target([&] {
        TargetWindow window(L"Korvex answering target");
        window.focus();
        targetWindow = window.frame();
        ::SetEvent(ready);
        while (!stop) {
            TargetWindow::pump();
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        received = window.text();
    });
    ASSERT_EQ(::WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
    const bool inFront = ::GetForegroundWindow() == targetWindow;
    Win32KeyInjector keys(std::chrono::milliseconds(4000));
    const PlatformResult sent = keys.sendBatch(typed({{'W', 0x11}}));
    const auto start = std::chrono::steady_clock::now();
    keys.waitUntilProcessed();
    const auto took = std::chrono::steady_clock::now() - start;
    ::Sleep(200);
    stop = true;
    target.join();
    ::CloseHandle(ready);
    ASSERT_TRUE(inFront);
    EXPECT_TRUE(sent) << sent.describe();
    EXPECT_LT(took, std::chrono::milliseconds(2000));
    EXPECT_EQ(received, L"w");
}

// The wait must end even when the foreground window's thread never reads its messages.
TEST(Win32KeyInjector, TheWaitIsBoundedWhenTheTargetHangs) {
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND hungWindow = nullptr;
    std::thread hung([&] {
        TargetWindow window(L"Korvex hung target");
        window.focus();
        hungWindow = window.frame();
        ::SetEvent(ready);
        ::WaitForSingleObject(release, 10000);  // not reading messages meanwhile
    });
    ASSERT_EQ(::WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
    const bool hungInFront = ::GetForegroundWindow() == hungWindow;
    Win32KeyInjector keys(std::chrono::milliseconds(150));
    const auto start = std::chrono::steady_clock::now();
    keys.waitUntilProcessed();
    const auto took = std::chrono::steady_clock::now() - start;
    ::SetEvent(release);
    hung.join();
    ::CloseHandle(ready);
    ::CloseHandle(release);
    ASSERT_TRUE(hungInFront);
    // It did wait for the target (about the limit) and gave up instead of hanging.
    EXPECT_GE(took, std::chrono::milliseconds(100));
    EXPECT_LT(took, std::chrono::milliseconds(2000));
}

}  // namespace
}  // namespace korvex
