// frmManuallDebug on Win32: bank, branch and account picked or typed; "Cont" hands them on,
// "Exit" ends the program at once. The window is made once and kept hidden between runs, so
// its boxes show the last choices.

#include "platform/win32/Win32Text.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Win32Windows.h"
#include "ui/win32/WinUi.h"

namespace korvex::win32ui {

struct ManualDebugWindow::Impl : Window {
    std::function<void(int)> terminateAtOnce;
    DebugWindowResult results;
    bool ended = false;
    HWND bank = nullptr, branch = nullptr, account = nullptr;

    void build(HWND owner) {
        create(owner, "Debug", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOPMOST, 300, 190, true);
        if (!hwnd()) return;
        HWND heading = addControl(L"STATIC", "Debug Mode", SS_LEFT, 10, 8, 280, 26);
        SendMessageW(heading, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont(true)), FALSE);
        addControl(L"STATIC", "Bank", SS_LEFT, 10, 44, 70, 24);
        addControl(L"STATIC", "Branch", SS_LEFT, 10, 76, 70, 24);
        addControl(L"STATIC", "Account", SS_LEFT, 10, 108, 70, 24);
        // Sample values: two banks, three branches, four accounts.
        bank = combo(id::cmbBank, 44, {"10", "12"});
        branch = combo(id::cmbBranch, 76, {"800", "936", "123"});
        account = combo(id::cmbAcc, 108, {"123456", "2003456", "39857", "400012"});
        addControl(L"BUTTON", "Cont", WS_TABSTOP | BS_DEFPUSHBUTTON, 90, 146, 95, 28, id::cmdCont);
        addControl(L"BUTTON", "Exit", WS_TABSTOP | BS_PUSHBUTTON, 195, 146, 95, 28, id::Command2);
    }

    HWND combo(int controlId, int top, std::initializer_list<const char*> samples) {
        // The height includes the drop-down list.
        HWND c =
            addControl(L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                       90, top, 200, 140, controlId);
        for (const char* s : samples) {
            SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::widenUtf8(s).c_str()));
        }
        setText(c, "Combo1");
        return c;
    }

    void cmdCont_Click() {
        results.bank = getText(bank);
        results.branch = getText(branch);
        results.account = getText(account);
        ended = true;
    }

    bool handle(UINT message, WPARAM wParam, LPARAM, LRESULT&) override {
        if (message == WM_CLOSE) {
            // Closing through the frame continues with the boxes as they stand.
            cmdCont_Click();
            return true;
        }
        if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
        if (LOWORD(wParam) == id::cmdCont || LOWORD(wParam) == IDCANCEL) cmdCont_Click();
        if (LOWORD(wParam) == id::Command2 && terminateAtOnce) terminateAtOnce(0);
        return true;
    }
};

ManualDebugWindow::ManualDebugWindow(std::function<void(int)> terminateAtOnce)
    : impl_(std::make_unique<Impl>()) {
    impl_->terminateAtOnce = std::move(terminateAtOnce);
}

ManualDebugWindow::~ManualDebugWindow() = default;

DebugWindowResult ManualDebugWindow::run(HWND owner, const OnShown& onShown) {
    if (!impl_->hwnd()) {
        impl_->build(owner);
    } else {
        SetWindowLongPtrW(impl_->hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    }
    if (!impl_->hwnd()) return impl_->results;
    impl_->ended = false;
    runModal(impl_->hwnd(), owner, impl_->ended, impl_->bank, onShown);
    return impl_->results;
}

}  // namespace korvex::win32ui
