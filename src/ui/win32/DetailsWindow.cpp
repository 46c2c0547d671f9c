// frmDetails on Win32: the last text sent, the reader's raw data, the profile list and a box
// for trying a reader message by hand. Made once and kept; closing it hides it and resets its
// contents, minimising hides it.

#include "ui/win32/WinUi.h"
// After windows.h, which WinUi.h brings in.
#include <commctrl.h>

#include <algorithm>

#include "platform/win32/Win32Text.h"
#include "text/Cp1255.h"
#include "ui/OperatorWindowRules.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Win32Windows.h"

namespace korvex::win32ui {

namespace {

constexpr const char* kSampleMessage = "A1234567 C12A12345E 123456C";

// The window is laid out in twips; 12 twips a pixel gives a readable window on today's screens.
// Labels get at least the height of a line of the font.
struct Twips {
    int left, top, width, height;
};

}  // namespace

struct DetailsWindow::Impl : Window {
    ui::DetailsHooks hooks;
    HWND profiles = nullptr, lastDataSent = nullptr, readerData = nullptr, manualData = nullptr;
    int current = -1;  // the selected profile entry, as the operator last saw it

    HWND place(const wchar_t* cls, const char* utf8, DWORD style, Twips t, int controlId,
               DWORD exStyle = 0, int minHeight = 0) {
        return addControl(cls, utf8, style, t.left / 12, t.top / 12, t.width / 12,
                          std::max(t.height / 12, minHeight), controlId, exStyle);
    }

    void build() {
        create(nullptr, "קורא שיקים וכרטיסים של Ovra",
               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 5235 / 12, 5355 / 12,
               true);
        if (!hwnd()) return;
        HWND logo = place(L"STATIC", "Ovra", SS_CENTER | SS_CENTERIMAGE | WS_BORDER,
                          {0, 0, 1305, 915}, id::picOvraLogo);
        SendMessageW(logo, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont(true)), FALSE);
        place(L"STATIC", "פרופיל נוכחי:", SS_LEFT, {3960, 120, 1215, 255}, id::DetailsLabel1, 0,
              18);
        // The height includes the drop-down list.
        profiles = place(L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                         {1560, 120, 2175, 2400}, id::cmbProfiles);
        place(L"STATIC", "מידע אחרון שהועבר ליישום:", SS_LEFT, {2760, 810, 2415, 210}, 0, 0, 18);
        const DWORD textStyle = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL;
        lastDataSent = place(L"EDIT", "", textStyle, {0, 1125, 5175, 1230}, id::LastDataSent,
                             WS_EX_CLIENTEDGE);
        place(L"BUTTON", "העתק מידע מהקורא ללוח", WS_TABSTOP | BS_PUSHBUTTON, {15, 2415, 2805, 285},
              id::Copy);
        place(L"STATIC", "מידע שהתקבל מהקורא:", SS_LEFT, {2925, 2445, 2235, 210}, 0, 0, 18);
        readerData =
            place(L"EDIT", "", textStyle, {0, 2745, 5175, 1590}, id::ReaderData, WS_EX_CLIENTEDGE);
        manualData = place(L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, {0, 4470, 3840, 285},
                           id::ManualData, WS_EX_CLIENTEDGE);
        place(L"BUTTON", "נסה מחרוזת", WS_TABSTOP | BS_PUSHBUTTON, {3930, 4470, 1230, 285},
              id::TryString);
        // The code lines and key texts read left to right.
        for (HWND box : {lastDataSent, readerData, manualData}) {
            SetWindowLongPtrW(box, GWL_EXSTYLE,
                              GetWindowLongPtrW(box, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_LAYOUTRTL));
        }
        resetContents();
    }

    void resetContents() {
        clearProfiles();
        setText(manualData, kSampleMessage);
        setText(readerData, "");
        setText(lastDataSent, "");
    }

    void clearProfiles() {
        SendMessageW(profiles, CB_RESETCONTENT, 0, 0);
        SendMessageW(profiles, CB_SETCUEBANNER, 0,
                     reinterpret_cast<LPARAM>(win32::widenUtf8("אין פרופילים!").c_str()));
        current = -1;
    }

    void Copy_Click() {
        if (!OpenClipboard(hwnd())) return;
        EmptyClipboard();
        // An empty text would still own the clipboard with an empty entry; leave it empty.
        const std::wstring text = win32::widen(getText(readerData));
        if (!text.empty()) {
            const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
            if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
                std::copy_n(text.c_str(), text.size() + 1,
                            static_cast<wchar_t*>(GlobalLock(memory)));
                GlobalUnlock(memory);
                if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
            }
        }
        CloseClipboard();
    }

    void TryString_Click() {
        const std::string text = getText(manualData);
        const int inputClass = hooks.classify ? hooks.classify(text) : 0;
        const MsgResult answer =
            messageBox(hwnd(), tryStringQuestion(inputClass), cp1255::fromUtf8(kTryStringTitleUtf8),
                       MsgIcon::Information, MsgButtons::YesNo);
        if (answer != MsgResult::Yes) return;
        const TryStringRoute route = tryStringRoute(inputClass, text);
        switch (route.kind) {
            case TryStringRoute::Kind::Cheque:
                if (hooks.processCheque) hooks.processCheque(route.text);
                break;
            case TryStringRoute::Kind::MagStripe:
                if (hooks.processMagStripe) hooks.processMagStripe(route.text);
                break;
            case TryStringRoute::Kind::Nothing: break;
        }
    }

    bool handle(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
        switch (message) {
            case WM_COMMAND:
                if (LOWORD(wParam) == id::Copy && HIWORD(wParam) == BN_CLICKED) Copy_Click();
                if (LOWORD(wParam) == id::TryString && HIWORD(wParam) == BN_CLICKED) {
                    TryString_Click();
                }
                if (LOWORD(wParam) == id::cmbProfiles && HIWORD(wParam) == CBN_SELCHANGE) {
                    // Only the operator's choice calls back, and only a change of entry.
                    const int index = int(SendMessageW(profiles, CB_GETCURSEL, 0, 0));
                    if (index >= 0 && index != current) {
                        current = index;
                        if (hooks.profileChosen) hooks.profileChosen(index + 1);
                    }
                }
                result = 0;
                return true;
            case WM_SIZE:
                if (wParam == SIZE_MINIMIZED) ShowWindow(hwnd(), SW_HIDE);
                return false;
            case WM_CLOSE:
                // Closing unloads the contents; the window stays for the next opening.
                ShowWindow(hwnd(), SW_HIDE);
                resetContents();
                result = 0;
                return true;
            default: return false;
        }
    }
};

DetailsWindow::DetailsWindow(ui::DetailsHooks hooks) : impl_(std::make_unique<Impl>()) {
    impl_->hooks = std::move(hooks);
    impl_->build();
}

DetailsWindow::~DetailsWindow() = default;

void DetailsWindow::clearProfiles() { impl_->clearProfiles(); }

void DetailsWindow::addProfile(const std::string& name) {
    SendMessageW(impl_->profiles, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(win32::widen(name).c_str()));
}

bool DetailsWindow::selectProfile(int32_t index) {
    const auto count = int32_t(SendMessageW(impl_->profiles, CB_GETCOUNT, 0, 0));
    if (index < 0 || index >= count) return false;
    SendMessageW(impl_->profiles, CB_SETCURSEL, WPARAM(index), 0);
    impl_->current = index;
    return true;
}

std::string DetailsWindow::readerData() const { return getText(impl_->readerData); }

void DetailsWindow::setReaderData(const std::string& text) {
    // A NUL would end the box's text; the box shows a blank for it.
    std::string shown = text;
    std::replace(shown.begin(), shown.end(), '\0', ' ');
    setText(impl_->readerData, shown);
    const auto end = WPARAM(GetWindowTextLengthW(impl_->readerData));
    SendMessageW(impl_->readerData, EM_SETSEL, end, LPARAM(end));
    SendMessageW(impl_->readerData, EM_SCROLLCARET, 0, 0);
}

void DetailsWindow::setLastDataSent(const std::string& text) { setText(impl_->lastDataSent, text); }

void DetailsWindow::showDetails() {
    HWND w = impl_->hwnd();
    ShowWindow(w, IsIconic(w) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(w);
    BringWindowToTop(w);
    SetFocus(w);
}

HWND DetailsWindow::hwnd() const { return impl_->hwnd(); }

}  // namespace korvex::win32ui
