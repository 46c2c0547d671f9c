// The Win32 shell's own windows driven through their messages: the input box, the transfer
// window, the tray menu's commands, the polling timer and the session end.
#include "ui/win32/Win32OperatorUi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace korvex::win32ui {
namespace {

// Runs the thread's messages until `done` holds or two seconds have passed.
bool pumpUntil(OperatorUi& ui, const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        ui.doEvents();
        ::Sleep(5);
    }
    return true;
}

void typeInto(HWND control, const std::wstring& text) {
    for (const wchar_t c : text) ::PostMessageW(control, WM_CHAR, c, 0);
}

void press(HWND control, UINT key) {
    ::PostMessageW(control, WM_KEYDOWN, key, 0);
    ::PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

TEST(Win32InputBox, ReturnsWhatWasTypedOnOkAndNothingOtherwise) {
    struct Case {
        const char* name;
        std::string defaultText;
        std::wstring typed;
        std::function<void(HWND box)> finish;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"typed, Enter", "", L"abc",
         [](HWND box) { press(::GetDlgItem(box, kInputBoxEdit), VK_RETURN); }, "abc"},
        {"Hebrew typed, OK clicked", "", L"\u05E9\u05DC\u05D5\u05DD",
         [](HWND box) { ::PostMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0); },
         "\xF9\xEC\xE5\xED"},
        {"the default replaced by typing", "old", L"new",
         [](HWND box) { press(::GetDlgItem(box, kInputBoxEdit), VK_RETURN); }, "new"},
        {"typed, Escape", "", L"abc",
         [](HWND box) { press(::GetDlgItem(box, kInputBoxEdit), VK_ESCAPE); }, ""},
        {"typed, Cancel clicked", "x", L"abc",
         [](HWND box) { ::PostMessageW(::GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0); }, ""},
        {"closed through the frame", "x", L"abc",
         [](HWND box) { ::PostMessageW(box, WM_CLOSE, 0, 0); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring prompt;
        const std::string answer =
            runInputBox(nullptr, "Prompt", "Title", c.defaultText, [&](HWND box) {
                HWND edit = ::GetDlgItem(box, kInputBoxEdit);
                EXPECT_EQ(::GetFocus(), edit);
                typeInto(edit, c.typed);
                c.finish(box);
            });
        EXPECT_EQ(answer, c.expected);
    }
}

TEST(Win32TransferWindow, ShowsTheProgressTextUnactivatedAtTheBottomRightAndHidesOnAClick) {
    Win32OperatorUi ui;
    HWND before = ::GetForegroundWindow();
    ui.fileXferShow("12345_123456.tif");
    HWND window = ui.fileXferWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(::GetForegroundWindow(), before);
    EXPECT_NE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT frame, work;
    ::GetWindowRect(window, &frame);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(frame.right, work.right * 98 / 100);
    EXPECT_EQ(frame.bottom, work.bottom * 98 / 100);

    ui.fileXferProgress(0.37, "37% ");
    wchar_t text[16] = {};
    ::GetWindowTextW(ui.fileXferPicture(), text, 16);
    EXPECT_EQ(std::wstring(text), L"37% ");

    ::SendMessageW(ui.fileXferPicture(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_FALSE(::IsWindowVisible(window));
    ui.fileXferClose();
    EXPECT_EQ(ui.fileXferWindow(), nullptr);
    EXPECT_FALSE(::IsWindow(window));
}

TEST(Win32Tray, MenuCommandsReachTheHooksAndTheCheckMarksFollowTheCalls) {
    Win32OperatorUi ui;
    std::vector<std::string> calls;
    Win32OperatorUi::Hooks hooks;
    hooks.tray.renameCsv = [&] { calls.push_back("rename"); };
    hooks.tray.showDetails = [&] { calls.push_back("details"); };
    hooks.tray.exit = [&] { calls.push_back("exit"); };
    hooks.tray.loadProfile = [&](int32_t n) { calls.push_back("profile " + std::to_string(n)); };
    hooks.sessionEnding = [&] { calls.push_back("session end"); };
    ui.setHooks(hooks);
    ui.addProfileMenuItem(1, "One");
    ui.addProfileMenuItem(2, "Two");
    ui.setNoProfilesItemVisible(false);

    const UINT commands[] = {kMenuRenameCsv,       kMenuDetails,     kMenuProfileBase + 2,
                             kMenuProfileBase + 3, kMenuProfileBase, kMenuExit};
    for (const UINT id : commands) ::PostMessageW(ui.messageWindow(), WM_COMMAND, id, 0);
    ::PostMessageW(ui.messageWindow(), WM_ENDSESSION, TRUE, 0);
    ::PostMessageW(ui.messageWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(pumpUntil(ui, [&] { return calls.size() >= 6; }));
    ui.doEvents();
    EXPECT_EQ(calls, (std::vector<std::string>{"rename", "details", "profile 2", "exit",
                                               "session end", "session end"}));
    EXPECT_EQ(::SendMessageW(ui.messageWindow(), WM_QUERYENDSESSION, 0, 0), TRUE);

    HMENU profiles = ::GetSubMenu(ui.trayMenu(), 2);
    ASSERT_NE(profiles, nullptr);
    EXPECT_EQ(::GetMenuItemCount(profiles), 2);  // the placeholder is gone
    EXPECT_TRUE(ui.setProfileMenuChecked(2, true));
    EXPECT_FALSE(ui.setProfileMenuChecked(3, true));
    EXPECT_FALSE(ui.setProfileMenuChecked(0, true));
    EXPECT_EQ(::GetMenuState(profiles, kMenuProfileBase + 2, MF_BYCOMMAND) & MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(::GetMenuState(profiles, kMenuProfileBase + 1, MF_BYCOMMAND) & MF_CHECKED, 0u);
    ui.setNoProfilesItemVisible(true);
    EXPECT_EQ(::GetMenuItemCount(profiles), 3);
    EXPECT_NE(::GetMenuState(ui.trayMenu(), kMenuRenameCsv, MF_BYCOMMAND) & MF_GRAYED, 0u);
    ui.setRenameCsvEnabled(true);
    EXPECT_EQ(::GetMenuState(ui.trayMenu(), kMenuRenameCsv, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

TEST(Win32Timer, TicksWhileEnabledAndNotAfter) {
    Win32OperatorUi ui;
    int ticks = 0;
    Win32OperatorUi::Hooks hooks;
    hooks.timerTick = [&] { ++ticks; };
    ui.setHooks(hooks);
    ui.setPollingTimerEnabled(true);
    EXPECT_TRUE(ui.pollingTimerEnabled());
    EXPECT_TRUE(pumpUntil(ui, [&] { return ticks >= 3; }));
    ui.setPollingTimerEnabled(false);
    EXPECT_FALSE(ui.pollingTimerEnabled());
    const int stopped = ticks;
    pumpUntil(ui, [] { return false; });
    EXPECT_EQ(ticks, stopped);
}

}  // namespace
}  // namespace korvex::win32ui
