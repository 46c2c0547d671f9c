// The Win32 operator windows driven through their messages, as an operator's keys and clicks
// reach them: characters and keys into the focused control, clicks on the buttons, the frame's
// close. The rules behind them are the core's and are tested there.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/win32/Win32Text.h"
#include "text/Cp1255.h"
#include "ui/OperatorWindowRules.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Win32Windows.h"
#include "ui/win32/WinUi.h"

namespace korvex::win32ui {
namespace {

constexpr CalendarDate kToday{6, 12, 2026};

ChequeDialogInput input(const char* c, const char* b, const char* br, const char* a,
                        uint8_t tabChar = 32) {
    ChequeDialogInput in;
    in.ChequeNum = c;
    in.BankNum = b;
    in.BranchNum = br;
    in.AccountNum = a;
    in.TabChar = tabChar;
    return in;
}

std::string text(HWND w) { return getText(w); }

std::pair<int, int> selection(HWND box) {
    DWORD start = 0, end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {int(start), int(end)};
}

void type(HWND box, const std::wstring& chars) {
    for (wchar_t c : chars) SendMessageW(box, WM_CHAR, c, 1);
    pumpMessages();
}

// Checks inside a dialog's callback use EXPECT: an ASSERT would leave the callback before the
// dialog is closed, and the test would wait for ever.

// A key pressed and released while the focus is in `box`: posted, so that the dialog keys go
// through the same pump as an operator's.
void key(HWND box, UINT vk) {
    SetFocus(box);
    pumpMessages();
    PostMessageW(box, WM_KEYDOWN, vk, 1);
    PostMessageW(box, WM_KEYUP, vk, LPARAM(0xC0000001));
    pumpMessages();
    pumpMessages();  // what the key posted in turn
}

// The dialogs, checking that the dialog came up and its callback ran.
ChequeDialogResult data(const ChequeDialogInput& in, const OnShown& onShown) {
    bool shown = false;
    const auto r = runChequeData(nullptr, in, [&](HWND d) { shown = true, onShown(d); });
    EXPECT_TRUE(shown) << "the dialog never came up";
    return r;
}
ChequeDialogResult full(const ChequeDialogInput& in, const OnShown& onShown) {
    bool shown = false;
    const auto r = runChequeFull(nullptr, in, kToday, [&](HWND d) { shown = true, onShown(d); });
    EXPECT_TRUE(shown) << "the dialog never came up";
    return r;
}

void click(HWND dialog, int controlId) {
    SendMessageW(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

// Answers the next message box of this thread with `button` and records what it said.
struct BoxAnswer {
    int button = IDOK;
    std::string title, text;
    bool seen = false;
};
BoxAnswer* pendingAnswer = nullptr;

void CALLBACK answerMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM found) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(w, cls, 16);
            if (std::wstring(cls) != L"#32770" || !IsWindowVisible(w)) return TRUE;
            *reinterpret_cast<HWND*>(found) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    if (!box || !pendingAnswer) return;
    KillTimer(nullptr, timer);
    pendingAnswer->title = getText(box);
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

TEST(Win32ChequeDialogs, UnreadablePartsAreSelectedAndComeBackWhenReached) {
    for (bool isFull : {false, true}) {
        const auto in = input("12?4?6", "@@", "9;9;", "123");
        auto check = [isFull](HWND d) {
            HWND cheque = GetDlgItem(d, id::ChequeNum), bank = GetDlgItem(d, id::BankNum),
                 account = GetDlgItem(d, id::AccountNum);
            EXPECT_EQ(selection(cheque), std::make_pair(2, 5)) << isFull;
            EXPECT_EQ(selection(bank), std::make_pair(0, 2)) << isFull;
            // Reached with Tab, which selects a whole box, a box shows its mark again; a field
            // read in full is not selected, so typing does not replace it.
            key(GetDlgItem(d, id::BranchNum), VK_TAB);
            EXPECT_EQ(GetFocus(), account) << isFull;
            EXPECT_EQ(selection(account), std::make_pair(3, 3)) << isFull;
            SendMessageW(bank, EM_SETSEL, 0, 0);
            key(cheque, VK_TAB);
            EXPECT_EQ(GetFocus(), bank) << isFull;
            EXPECT_EQ(selection(bank), std::make_pair(0, 2)) << isFull;
            // Once the operator changed the text, the box's own select-all stays.
            type(bank, L"7");
            key(cheque, VK_TAB);
            EXPECT_EQ(text(bank), "7");
            EXPECT_EQ(selection(bank), std::make_pair(0, 1)) << isFull;
            click(d, id::cmdCancel);
        };
        isFull ? full(in, check) : data(in, check);
    }
}

TEST(Win32ChequeDialogs, TabCharEntersTheCharacterAndMovesOn) {
    for (uint8_t tabChar : {uint8_t{32}, uint8_t{'*'}}) {
        data(input("", "", "", "", tabChar), [tabChar](HWND d) {
            HWND cheque = GetDlgItem(d, id::ChequeNum), bank = GetDlgItem(d, id::BankNum);
            SetFocus(cheque);
            type(cheque, std::wstring{L'5', wchar_t(tabChar)});
            EXPECT_EQ(text(cheque), std::string("5") + char(tabChar));
            EXPECT_EQ(GetFocus(), bank) << int(tabChar);
            type(bank, L"1");  // another character does not move the focus
            EXPECT_EQ(GetFocus(), bank);
            SendMessageW(d, WM_CLOSE, 0, 0);
        });
    }
}

TEST(Win32ChequeDialogs, OkCancelEnterAndCloseGiveTheirResults) {
    enum Action { Ok, Cancel, Close, Enter, Escape, EnterAtCancel };
    const struct {
        bool full;
        Action action;
        bool cancelled;
        const char* magtek;
        const char* dateText;
    } cases[] = {
        {false, Ok, false, "A123 C10A456E 789C", ""},
        {false, Enter, false, "A123 C10A456E 789C", ""},
        {false, Cancel, true, "", ""},
        {false, Close, true, "", ""},
        {true, Ok, false, "A123 C10A456E 789C", "06/12/2026"},
        {true, Enter, false, "A123 C10A456E 789C", "06/12/2026"},
        {true, Escape, true, "", ""},
        {true, EnterAtCancel, true, "", ""},
        {true, Close, true, "", ""},
    };
    for (const auto& c : cases) {
        auto in = input("123", "10", "456", "789");
        in.verifyCaption = cp1255::fromUtf8("קוד 888");
        auto drive = [&c](HWND d) {
            HWND verify = GetDlgItem(d, id::VerifyCode);
            EXPECT_TRUE(IsWindowVisible(verify));
            EXPECT_EQ(text(verify), cp1255::fromUtf8("קוד 888"));
            click(d, id::VerifyCode);
            if (c.action == Ok) click(d, id::cmdOK);
            if (c.action == Cancel) click(d, id::cmdCancel);
            if (c.action == Close) SendMessageW(d, WM_CLOSE, 0, 0);
            if (c.action == Enter) key(GetDlgItem(d, id::ChequeNum), VK_RETURN);
            if (c.action == Escape) key(GetDlgItem(d, id::BankNum), VK_ESCAPE);
            if (c.action == EnterAtCancel) key(GetDlgItem(d, id::cmdCancel), VK_RETURN);
        };
        const ChequeDialogResult r = c.full ? full(in, drive) : data(in, drive);
        EXPECT_EQ(r.Cancelled, c.cancelled) << c.full << c.action;
        EXPECT_EQ(r.MagtekLine, c.magtek) << c.full << c.action;
        EXPECT_EQ(r.NonusLine, c.cancelled ? "" : ":123 <10:456> 789<");
        EXPECT_EQ(r.DateText, c.dateText) << c.full << c.action;
        EXPECT_TRUE(r.VerifyCodeTicked);
    }
    // Without a caption the box stays hidden.
    data(input("1", "2", "3", "4"), [](HWND d) {
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, id::VerifyCode)));
        click(d, id::cmdCancel);
    });
}

TEST(Win32ChequeDialogs, EnterWalksTheFieldsWhenItIsTheTabChar) {
    const auto r = full(input("1", "2", "3", "4", 13), [](HWND d) {
        key(GetDlgItem(d, id::ChequeNum), VK_RETURN);
        EXPECT_EQ(GetFocus(), GetDlgItem(d, id::BankNum));
        EXPECT_EQ(text(GetDlgItem(d, id::BankNum)), "2");
        key(GetDlgItem(d, id::txtDate), VK_RETURN);
        EXPECT_EQ(GetFocus(), GetDlgItem(d, id::cmdOK));
        EXPECT_TRUE(IsWindowVisible(d));
        key(GetDlgItem(d, id::cmdOK), VK_RETURN);  // where the chain ends, Enter confirms
    });
    EXPECT_FALSE(r.Cancelled);
    EXPECT_EQ(r.MagtekLine, "A1 C2A3E 4C");
}

TEST(Win32ChequeDialogs, AmountTakesAPointForFinalTsadiAndTypingIsLimited) {
    const auto r = full(input("", "1?3", "", ""), [](HWND d) {
        type(GetDlgItem(d, id::txtAmount),
             L"12\x05E5"
             L"50");
        EXPECT_EQ(text(GetDlgItem(d, id::txtAmount)), "12.50");
        // The reader's long bank group is put in whole; the operator cannot lengthen it, and once
        // shortened it takes two characters.
        HWND bank = GetDlgItem(d, id::BankNum);
        EXPECT_EQ(text(bank), "1?3");
        SendMessageW(bank, EM_SETSEL, 3, 3);
        type(bank, L"4");
        EXPECT_EQ(text(bank), "1?3");
        type(bank, L"\b\b56");
        EXPECT_EQ(text(bank), "15");
        type(GetDlgItem(d, id::ChequeNum), L"1234567890123456");
        EXPECT_EQ(text(GetDlgItem(d, id::ChequeNum)).size(), 13u);
        click(d, id::cmdOK);
    });
    EXPECT_EQ(r.AmountText, "12.50");
}

TEST(Win32ChequeDialogs, DateBoxTypingAndCaret) {
    // From one selected character, a key: the text and the selection after it.
    const struct {
        int from;
        UINT vk;
        wchar_t typed;
        int start, end;
        const char* text;
    } cases[] = {
        {0, '1', L'1', 1, 2, "16/12/26"},         //
        {4, VK_NUMPAD9, L'9', 6, 7, "06/19/26"},  //
        {0, VK_RIGHT, 0, 1, 2, "06/12/26"},       //
        {3, VK_LEFT, 0, 1, 2, "06/12/26"},        //
        {6, VK_HOME, 0, 0, 1, "06/12/26"},        //
        {3, VK_DELETE, 0, 3, 3, "06/_2/26"},      //
        {4, VK_BACK, L'\b', 4, 4, "06/1_/26"},    //
    };
    for (const auto& c : cases) {
        full(input("1", "2", "3", "4"), [&c](HWND d) {
            HWND date = GetDlgItem(d, id::txtDate);
            EXPECT_EQ(text(date), "06/12/26");
            SetFocus(date);
            SendMessageW(date, EM_SETSEL, c.from, c.from + 1);
            SendMessageW(date, WM_KEYDOWN, c.vk, 1);
            if (c.typed) SendMessageW(date, WM_CHAR, c.typed, 1);
            SendMessageW(date, WM_KEYUP, c.vk, LPARAM(0xC0000001));
            pumpMessages();  // the Left arrow a Right arrow sends back
            pumpMessages();
            EXPECT_EQ(text(date), c.text) << c.from << " " << c.vk;
            EXPECT_EQ(selection(date), std::make_pair(c.start, c.end)) << c.from << " " << c.vk;
            click(d, id::cmdCancel);
        });
    }
    // Typed from the start, the date becomes the full date; an incomplete one keeps the dialog.
    BoxAnswer answer;
    const auto r = full(input("1", "2", "3", "4"), [&answer](HWND d) {
        HWND date = GetDlgItem(d, id::txtDate);
        SendMessageW(date, EM_SETSEL, 0, 1);
        setText(date, "12/__/26");
        answerNextBox(answer);
        click(d, id::cmdOK);
        EXPECT_TRUE(answer.seen);
        EXPECT_TRUE(IsWindowVisible(d));
        EXPECT_EQ(GetFocus(), date);
        SendMessageW(date, EM_SETSEL, 0, 1);
        for (wchar_t digit : std::wstring(L"311299")) {
            SendMessageW(date, WM_KEYDOWN, digit, 1);
            SendMessageW(date, WM_CHAR, digit, 1);
            SendMessageW(date, WM_KEYUP, digit, LPARAM(0xC0000001));
        }
        click(d, id::cmdOK);
    });
    EXPECT_EQ(answer.text, cp1255::fromUtf8("תאריך לא תקין, נא לתקן."));
    EXPECT_EQ(answer.title, cp1255::fromUtf8("בעיה בהזנת פרטי צ'ק"));
    EXPECT_FALSE(r.Cancelled);
    EXPECT_EQ(r.DateText, "31/12/2099");
}

// A 3 x 2 pixel GIF, one of the formats WIC decodes for the reader's pictures.
const std::string kGif(
    "GIF87a\x03\x00\x02\x00\xa2\x00\x00\xff\x00\x00\xc8\xc8\xc8\x00\xff\x00\x09\x09\x09\x00"
    "\x00\xff\x32\x3c\x46\x00\x00\x00\x00\x00\x00\x2c\x00\x00\x00\x00\x03\x00\x02\x00\x00"
    "\x03\x04\x08\x42\x13\x95\x00\x3b",
    55);

TEST(Win32ChequeDialogs, PictureOfTheChequeOrAShorterDialog) {
    const auto dir = std::filesystem::temp_directory_path() / "korvex_ui_win32_test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "front.gif", std::ios::binary) << kGif;
    std::ofstream(dir / "noise.tif", std::ios::binary) << std::string("II*\0\xff\x01 noise", 12);
    const struct {
        const char* file;
        bool shown;
    } cases[] = {{"front.gif", true}, {"missing.tif", false}, {"noise.tif", false}};
    int heights[2] = {0, 0};
    for (const auto& c : cases) {
        auto in = input("1", "2", "3", "4");
        in.imageFile = dir / c.file;
        full(in, [&](HWND d) {
            HWND image = GetDlgItem(d, id::Image1);
            EXPECT_EQ(bool(IsWindowVisible(image)), c.shown) << c.file;
            BITMAP info{};
            auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(image, STM_GETIMAGE, 0, 0));
            if (c.shown) {
                EXPECT_TRUE(GetObjectW(bitmap, sizeof info, &info));
                EXPECT_EQ(info.bmWidth, 3);
                EXPECT_EQ(info.bmHeight, 2);
            }
            RECT r;
            GetWindowRect(d, &r);
            heights[c.shown] = r.bottom - r.top;
            // A window half as wide again keeps the controls in proportion.
            HWND cheque = GetDlgItem(d, id::ChequeNum);
            RECT before, after, client;
            GetWindowRect(cheque, &before);
            GetClientRect(d, &client);
            SetWindowPos(d, nullptr, 0, 0, r.right - r.left + client.right / 2, r.bottom - r.top,
                         SWP_NOMOVE | SWP_NOZORDER);
            GetWindowRect(cheque, &after);
            EXPECT_NEAR(after.right - after.left, 1.5 * (before.right - before.left), 2);
            EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
            click(d, id::cmdCancel);
        });
    }
    EXPECT_LT(heights[0], heights[1]);
    std::filesystem::remove_all(dir);
}

TEST(Win32DetailsWindow, ProfilesReaderDataCloseAndTryString) {
    std::vector<std::string> classified, cheques, cards;
    std::vector<int32_t> chosen;
    int classAnswer = 1;
    ui::DetailsHooks h;
    h.classify = [&](const std::string& t) {
        classified.push_back(t);
        return classAnswer;
    };
    h.processCheque = [&](const std::string& t) { cheques.push_back(t); };
    h.processMagStripe = [&](const std::string& t) { cards.push_back(t); };
    h.profileChosen = [&](int32_t n) { chosen.push_back(n); };
    DetailsWindow window(h);
    HWND w = window.hwnd();
    HWND list = GetDlgItem(w, id::cmbProfiles);
    EXPECT_EQ(text(w), cp1255::fromUtf8("קורא שיקים וכרטיסים של Ovra"));
    EXPECT_EQ(text(GetDlgItem(w, id::ManualData)), "A1234567 C12A12345E 123456C");
    EXPECT_TRUE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    for (int pass = 0; pass < 2; ++pass) {  // reopening does not duplicate the list
        window.clearProfiles();
        for (const char* name : {"A", "B", "C"}) window.addProfile(name);
        EXPECT_TRUE(window.selectProfile(1));
    }
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 3);
    EXPECT_FALSE(window.selectProfile(3));
    EXPECT_TRUE(chosen.empty());
    // The operator's choice calls back; choosing the current entry again does not.
    for (int index : {1, 2}) {
        SendMessageW(list, CB_SETCURSEL, WPARAM(index), 0);
        SendMessageW(w, WM_COMMAND, MAKEWPARAM(id::cmbProfiles, CBN_SELCHANGE), LPARAM(list));
    }
    EXPECT_EQ(chosen, std::vector<int32_t>{3});

    window.setReaderData("A1 C2\r\nline");
    EXPECT_EQ(window.readerData(), "A1 C2\r\nline");
    EXPECT_EQ(selection(GetDlgItem(w, id::ReaderData)), std::make_pair(11, 11));
    window.setLastDataSent(cp1255::fromUtf8("שלום{TAB}"));
    EXPECT_EQ(text(GetDlgItem(w, id::LastDataSent)), cp1255::fromUtf8("שלום{TAB}"));
    click(w, id::Copy);
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE copied = GetClipboardData(CF_UNICODETEXT);
    EXPECT_EQ(copied ? std::wstring(static_cast<const wchar_t*>(GlobalLock(copied))) : L"",
              L"A1 C2\r\nline");
    if (copied) GlobalUnlock(copied);
    CloseClipboard();
    window.showDetails();
    EXPECT_TRUE(IsWindowVisible(w));
    ShowWindow(w, SW_MINIMIZE);  // minimising hides, keeping the contents
    EXPECT_FALSE(IsWindowVisible(w));
    window.showDetails();
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_FALSE(IsIconic(w));
    EXPECT_EQ(window.readerData(), "A1 C2\r\nline");
    SendMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(window.readerData(), "");
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 0);

    const struct {
        int cls, answer;
        const char* typed;
        std::vector<std::string> cheques, cards;
    } cases[] = {
        {1, IDYES, "A1 C2A3E 4C", {"A1 C2A3E 4C"}, {}},
        {1, IDNO, "A1 C2A3E 4C", {}, {}},
        {2, IDYES, "%B4580;123?", {}, {"%B4580;123?"}},
    };
    for (const auto& c : cases) {
        classified.clear(), cheques.clear(), cards.clear();
        classAnswer = c.cls;
        setText(GetDlgItem(w, id::ManualData), c.typed);
        BoxAnswer answer;
        answer.button = c.answer;
        answerNextBox(answer);
        click(w, id::TryString);
        ASSERT_TRUE(answer.seen);
        EXPECT_EQ(answer.title, cp1255::fromUtf8("מידע ידני"));
        EXPECT_EQ(answer.text.rfind(tryStringQuestion(c.cls).substr(0, 12), 0), 0u);
        EXPECT_EQ(classified, std::vector<std::string>{c.typed});
        EXPECT_EQ(cheques, c.cheques) << c.cls;
        EXPECT_EQ(cards, c.cards) << c.cls;
    }
}

TEST(Win32DebugWindow, ContKeepsTheChoicesAndExitEndsAtOnce) {
    int terminated = -1;
    ManualDebugWindow window([&](int code) { terminated = code; });
    const auto first = window.run(nullptr, [](HWND d) {
        EXPECT_EQ(text(d), "Debug");
        EXPECT_EQ(SendMessageW(GetDlgItem(d, id::cmbAcc), CB_GETCOUNT, 0, 0), 4);
        click(d, id::cmdCont);
    });
    EXPECT_EQ(first.bank, "Combo1");
    EXPECT_EQ(first.account, "Combo1");
    const auto second = window.run(nullptr, [](HWND d) {
        SendMessageW(GetDlgItem(d, id::cmbBank), CB_SETCURSEL, 1, 0);
        setText(GetDlgItem(d, id::cmbAcc), "999");
        SendMessageW(d, WM_CLOSE, 0, 0);  // the frame's close continues too
    });
    EXPECT_EQ(second.bank, "12");
    EXPECT_EQ(second.branch, "Combo1");
    EXPECT_EQ(second.account, "999");
    const auto third = window.run(nullptr, [](HWND d) {
        click(d, id::Command2);  // the real handler never returns; this one does
        click(d, id::cmdCont);
    });
    EXPECT_EQ(terminated, 0);
    EXPECT_EQ(third.bank, "12");
    EXPECT_EQ(third.account, "999");
}

}  // namespace
}  // namespace korvex::win32ui
