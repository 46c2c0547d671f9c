// The Win32 operator windows driven through their messages, as an operator's keys and clicks
// reach them. The rules behind them are the core's and are tested there.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

#include "support/TempFolder.h"
#include "text/Cp1255.h"
#include "ui/OperatorWindowRules.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Win32OperatorUi.h"
#include "ui/win32/Win32Windows.h"
#include "ui/win32/WinUi.h"

namespace korvex::win32ui {
namespace {

constexpr CalendarDate kToday{6, 12, 2026};

ChequeDialogInput input(const char* c, const char* b, const char* br, const char* a,
                        uint8_t tabChar = 32) {
    ChequeDialogInput in;
    in.ChequeNum = c, in.BankNum = b, in.BranchNum = br, in.AccountNum = a, in.TabChar = tabChar;
    return in;
}

void type(HWND box, const std::wstring& chars) {
    for (wchar_t c : chars) SendMessageW(box, WM_CHAR, c, 1);
    pumpMessages();
}

// A key pressed and released in `box`, posted to go through the pump as an operator's would.
void key(HWND box, UINT vk) {
    SetFocus(box);
    pumpMessages();
    PostMessageW(box, WM_KEYDOWN, vk, 1);
    PostMessageW(box, WM_KEYUP, vk, LPARAM(0xC0000001));
    pumpMessages();
    pumpMessages();
}

// frmChequeFull or frmChequeData, checking that it came up. Checks inside the callback use
// EXPECT: an ASSERT would leave it before the dialog is closed, and the test would hang.
ChequeDialogResult dialog(bool full, const ChequeDialogInput& in, const OnShown& onShown) {
    bool shown = false;
    const OnShown run = [&](HWND d) { shown = true, onShown(d); };
    const auto r = full ? runChequeFull(nullptr, in, kToday, run) : runChequeData(nullptr, in, run);
    EXPECT_TRUE(shown) << "the dialog never came up";
    return r;
}

void click(HWND dialog, int controlId) {
    SendMessageW(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

// Answers the next message box with `button` and records what it said.
struct BoxAnswer {
    int button = IDOK;
    std::string text;
    bool seen = false;
};
BoxAnswer* pendingAnswer = nullptr;

void CALLBACK answerMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowW(L"#32770", nullptr);  // the windows under test have classes of their own
    if (!box || !IsWindowVisible(box) || !pendingAnswer) return;
    KillTimer(nullptr, timer);
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (getText(c).size() > pendingAnswer->text.size()) pendingAnswer->text = getText(c);
    }
    pendingAnswer->seen = true;
    PostMessageW(box, WM_COMMAND, WPARAM(pendingAnswer->button), 0);
}

void answerNextBox(BoxAnswer& answer) {
    pendingAnswer = &answer;
    SetTimer(nullptr, 0, 20, answerMessageBox);
}

TEST(Win32ChequeDialogs, OkCancelEnterAndCloseGiveTheirResults) {
    enum Action { Ok, Cancel, Close, Enter, Escape, EnterAtCancel };
    const struct {
        bool full;
        Action action;
        bool cancelled;
        const char* dateText;
    } cases[] = {
        {false, Enter, false, ""}, {false, Cancel, true, ""},       {true, Ok, false, "06/12/2026"},
        {true, Escape, true, ""},  {true, EnterAtCancel, true, ""}, {true, Close, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.full << " " << c.action);
        auto in = input("123", "10", "456", "789");
        in.verifyCaption = cp1255::fromUtf8("קוד 888");
        const auto r = dialog(c.full, in, [&c](HWND d) {
            click(d, id::VerifyCode);
            if (c.action == Ok) click(d, id::cmdOK);
            if (c.action == Cancel) click(d, id::cmdCancel);
            if (c.action == Close) SendMessageW(d, WM_CLOSE, 0, 0);
            if (c.action == Enter) key(GetDlgItem(d, id::ChequeNum), VK_RETURN);
            if (c.action == Escape) key(GetDlgItem(d, id::BankNum), VK_ESCAPE);
            if (c.action == EnterAtCancel) key(GetDlgItem(d, id::cmdCancel), VK_RETURN);
        });
        EXPECT_EQ(r.Cancelled, c.cancelled);
        EXPECT_EQ(r.MagtekLine, c.cancelled ? "" : "A123 C10A456E 789C");
        EXPECT_EQ(r.DateText, c.dateText);
        EXPECT_TRUE(r.VerifyCodeTicked);
    }
}

// The picture of the cheque shows; TabChar enters itself and moves on, to a box whose unreadable
// part is selected again; the full stop's key on a Hebrew layout (final tsadi) is a point in the
// amount; an incomplete date keeps the dialog with a message; typed digits reach the date box.
TEST(Win32ChequeDialogs, TypingInTheBoxes) {
    test::TempFolder folder;
    folder.write("front.gif", std::string("GIF87a\x03\x00\x02\x00\xa2\x00\x00\xff\x00\x00\xc8\xc8"
                                          "\xc8\x00\xff\x00\x09\x09\x09\x00\x00\xff\x32\x3c\x46"
                                          "\x00\x00\x00\x00\x00\x00\x2c\x00\x00\x00\x00\x03\x00"
                                          "\x02\x00\x00\x03\x04\x08\x42\x13\x95\x00\x3b",
                                          55));
    auto in = input("", "1@@", "3", "4", '*');
    in.imageFile = folder / "front.gif";
    BoxAnswer answer;
    const auto r = dialog(true, in, [&answer](HWND d) {
        HWND cheque = GetDlgItem(d, id::ChequeNum), bank = GetDlgItem(d, id::BankNum);
        HWND date = GetDlgItem(d, id::txtDate);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, id::Image1)));
        SendMessageW(bank, EM_SETSEL, 0, 0);
        SetFocus(cheque);
        type(cheque, L"5*");
        EXPECT_EQ(GetFocus(), bank);
        EXPECT_EQ(SendMessageW(bank, EM_GETSEL, 0, 0), MAKELRESULT(1, 3));
        type(bank, L"2");
        type(GetDlgItem(d, id::txtAmount), L"12\u05E550");
        setText(date, "12/__/26");
        answerNextBox(answer);
        click(d, id::cmdOK);
        EXPECT_TRUE(IsWindowVisible(d));
        SendMessageW(date, EM_SETSEL, 0, 1);
        for (wchar_t digit : std::wstring(L"311299")) {
            SendMessageW(date, WM_KEYDOWN, digit, 1);
            SendMessageW(date, WM_CHAR, digit, 1);
            SendMessageW(date, WM_KEYUP, digit, LPARAM(0xC0000001));
        }
        click(d, id::cmdOK);
    });
    EXPECT_EQ(answer.text, cp1255::fromUtf8("תאריך לא תקין, נא לתקן."));
    EXPECT_EQ(r.MagtekLine, "A5* C12A3E 4C");
    EXPECT_EQ(r.AmountText, "12.50");
    EXPECT_EQ(r.DateText, "31/12/2099");
}

// The operator's profile choice calls back; the typed string is processed when the question is
// answered Yes, and not on No.
TEST(Win32DetailsWindow, ProfileChoiceAndTryString) {
    std::vector<std::string> cheques;
    std::vector<int32_t> chosen;
    ui::DetailsHooks h;
    h.classify = [](const std::string&) { return 1; };
    h.processCheque = [&](const std::string& t) { cheques.push_back(t); };
    h.profileChosen = [&](int32_t n) { chosen.push_back(n); };
    DetailsWindow window(h);
    HWND w = window.hwnd();
    HWND list = GetDlgItem(w, id::cmbProfiles);
    for (const char* name : {"A", "B", "C"}) window.addProfile(name);
    SendMessageW(list, CB_SETCURSEL, 2, 0);
    SendMessageW(w, WM_COMMAND, MAKEWPARAM(id::cmbProfiles, CBN_SELCHANGE), LPARAM(list));
    EXPECT_EQ(chosen, std::vector<int32_t>{3});

    setText(GetDlgItem(w, id::ManualData), "A1 C2A3E 4C");
    for (const int button : {IDNO, IDYES}) {
        BoxAnswer answer{button, "", false};
        answerNextBox(answer);
        click(w, id::TryString);
        ASSERT_TRUE(answer.seen);
        EXPECT_EQ(answer.text.rfind(tryStringQuestion(1).substr(0, 12), 0), 0u);
    }
    EXPECT_EQ(cheques, std::vector<std::string>{"A1 C2A3E 4C"});
}

// Cont returns the choices, kept for the next time; Exit ends the program at once.
TEST(Win32DebugWindow, ContKeepsTheChoicesAndExitEndsAtOnce) {
    int terminated = -1;
    ManualDebugWindow window([&](int code) { terminated = code; });
    const auto first = window.run(nullptr, [](HWND d) { click(d, id::cmdCont); });
    EXPECT_EQ(first.bank, "Combo1");
    const auto second = window.run(nullptr, [](HWND d) {
        SendMessageW(GetDlgItem(d, id::cmbBank), CB_SETCURSEL, 1, 0);
        setText(GetDlgItem(d, id::cmbAcc), "999");
        SendMessageW(d, WM_CLOSE, 0, 0);  // the frame's close continues too
    });
    EXPECT_EQ(second.bank, "12");
    EXPECT_EQ(second.account, "999");
    const auto third = window.run(nullptr, [](HWND d) {
        click(d, id::Command2);  // the real handler never returns; this one does
        click(d, id::cmdCont);
    });
    EXPECT_EQ(terminated, 0);
    EXPECT_EQ(third.account, "999");
}

// The input box, its edit focused: what was typed on OK or Enter, nothing otherwise.
TEST(Win32InputBox, ReturnsWhatWasTypedOnOkAndNothingOtherwise) {
    const struct {
        std::string defaultText;
        std::wstring typed;
        int finish;  // a key into the edit, or a button's click
        std::string expected;
    } cases[] = {
        {"", L"\u05E9\u05DC\u05D5\u05DD", IDOK, "\xF9\xEC\xE5\xED"},
        {"old", L"new", VK_RETURN, "new"},  // the default replaced by typing
        {"x", L"abc", VK_ESCAPE, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected + " " + std::to_string(c.finish));
        const auto answer = runInputBox(nullptr, "Prompt", "Title", c.defaultText, [&](HWND box) {
            HWND edit = GetDlgItem(box, kInputBoxEdit);
            EXPECT_EQ(GetFocus(), edit);
            // Posted only: the box's own loop must see the keys, as an operator's.
            for (const wchar_t ch : c.typed) PostMessageW(edit, WM_CHAR, ch, 0);
            HWND button = GetDlgItem(box, c.finish);
            if (c.finish == IDOK || c.finish == IDCANCEL) PostMessageW(button, BM_CLICK, 0, 0);
            if (c.finish > IDCANCEL) PostMessageW(edit, WM_KEYDOWN, WPARAM(c.finish), 0);
        });
        EXPECT_EQ(answer, c.expected);
    }
}

// Runs the thread's messages until `done` holds or two seconds have passed.
bool pumpUntil(OperatorUi& ui, const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (; !done(); Sleep(5)) {
        if (std::chrono::steady_clock::now() >= end) return false;
        ui.doEvents();
    }
    return true;
}

TEST(Win32TransferWindow, ShowsTheProgressTextUnactivatedAndHidesOnAClick) {
    Win32OperatorUi ui;
    HWND before = GetForegroundWindow();
    ui.fileXferShow("12345_123456.tif");
    HWND window = ui.fileXferWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetForegroundWindow(), before);
    ui.fileXferProgress(0.37, "37% ");
    EXPECT_EQ(getText(ui.fileXferPicture()), "37% ");
    SendMessageW(ui.fileXferPicture(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST(Win32Tray, MenuCommandsReachTheHooksAndTheTimerTicksWhileEnabled) {
    Win32OperatorUi ui;
    std::vector<std::string> calls;
    Win32OperatorUi::Hooks hooks;
    hooks.tray.renameCsv = [&] { calls.push_back("rename"); };
    hooks.tray.showDetails = [&] { calls.push_back("details"); };
    hooks.tray.exit = [&] { calls.push_back("exit"); };
    hooks.tray.loadProfile = [&](int32_t n) { calls.push_back("profile " + std::to_string(n)); };
    hooks.sessionEnding = [&] { calls.push_back("session end"); };
    hooks.timerTick = [&] { calls.push_back("tick"); };
    ui.setHooks(hooks);
    ui.addProfileMenuItem(1, "One");
    ui.addProfileMenuItem(2, "Two");
    for (const UINT id : {UINT{kMenuRenameCsv}, UINT{kMenuDetails}, kMenuProfileBase + 2,
                          kMenuProfileBase + 3, UINT{kMenuExit}})
        PostMessageW(ui.messageWindow(), WM_COMMAND, id, 0);
    PostMessageW(ui.messageWindow(), WM_ENDSESSION, TRUE, 0);
    PostMessageW(ui.messageWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(pumpUntil(ui, [&] { return calls.size() >= 6; }));
    ui.doEvents();
    EXPECT_EQ(calls, (std::vector<std::string>{"rename", "details", "profile 2", "exit",
                                               "session end", "session end"}));
    EXPECT_TRUE(ui.setProfileMenuChecked(2, true));
    EXPECT_EQ(
        GetMenuState(GetSubMenu(ui.trayMenu(), 2), kMenuProfileBase + 2, MF_BYCOMMAND) & MF_CHECKED,
        UINT{MF_CHECKED});

    calls.clear();
    ui.setPollingTimerEnabled(true);
    EXPECT_TRUE(pumpUntil(ui, [&] { return calls.size() >= 3; }));
    ui.setPollingTimerEnabled(false);
    const std::size_t stopped = calls.size();
    pumpUntil(ui, [] { return false; });
    EXPECT_EQ(calls.size(), stopped);
}

}  // namespace
}  // namespace korvex::win32ui
