#include "ui/win32/WinUi.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/Win32Text.h"

namespace korvex::win32ui {

namespace {

constexpr const wchar_t* kWindowClass = L"KorvexWindow";
// Marks the windows whose Tab, Enter and Escape keys the pump hands to IsDialogMessage.
constexpr const wchar_t* kDialogKeysProp = L"KorvexDialogKeys";
// A window's focused control while it is inactive, given back when it is activated again (the
// dialog manager's own behaviour, which plain windows lack).
constexpr const wchar_t* kSavedFocusProp = L"KorvexSavedFocus";

void registerWindowClass(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kWindowClass;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

void dispatch(MSG& msg) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && GetPropW(root, kDialogKeysProp) && IsDialogMessageW(root, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

HFONT uiFont(bool bold) {
    auto make = [](int height, int weight) {
        return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    };
    static const HFONT normal = make(-13, FW_NORMAL);
    static const HFONT heading = make(-16, FW_BOLD);
    return bold ? heading : normal;
}

void setText(HWND window, const std::string& cp1255Text) {
    SetWindowTextW(window, win32::widen(cp1255Text).c_str());
}

std::string getText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), int(text.size()))));
    return win32::narrow(text);
}

Window::~Window() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Window::create(HWND owner, const std::string& utf8Title, DWORD style, DWORD exStyle,
                    int clientWidth, int clientHeight, bool dialogKeys) {
    registerWindowClass(&Window::windowProc);
    exStyle |= kRtlExStyle;
    RECT r{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    designWidth_ = clientWidth;
    // Centred in the work area, as the operator expects a dialog.
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = r.right - r.left, height = r.bottom - r.top;
    CreateWindowExW(exStyle, kWindowClass, win32::widenUtf8(utf8Title).c_str(), style,
                    work.left + std::max(0L, (work.right - work.left - width) / 2),
                    work.top + std::max(0L, (work.bottom - work.top - height) / 2), width, height,
                    owner, nullptr, GetModuleHandleW(nullptr), this);
    if (hwnd_ && dialogKeys) SetPropW(hwnd_, kDialogKeysProp, reinterpret_cast<HANDLE>(1));
}

HWND Window::addControl(const wchar_t* className, const std::string& utf8Text, DWORD style,
                        int left, int top, int width, int height, int id, DWORD exStyle) {
    // Children of a right-to-left window count x from its right edge.
    HWND control = CreateWindowExW(
        exStyle, className, win32::widenUtf8(utf8Text).c_str(), style | WS_CHILD | WS_VISIBLE,
        designWidth_ - left - width, top, width, height, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont()), FALSE);
    return control;
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_ACTIVATE && GetPropW(hwnd, kDialogKeysProp)) {
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd, focus)) SetPropW(hwnd, kSavedFocusProp, focus);
        } else if (HWND saved = static_cast<HWND>(GetPropW(hwnd, kSavedFocusProp));
                   saved && IsWindow(saved)) {
            SetFocus(saved);
            return 0;
        }
    }
    if (message == DM_GETDEFID && GetPropW(hwnd, kDialogKeysProp)) {
        // Enter presses the button that has the focus, as in any dialog; elsewhere it is OK.
        HWND focus = GetFocus();
        const bool button = focus && GetParent(focus) == hwnd &&
                            (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON);
        return MAKELONG(button ? GetDlgCtrlID(focus) : IDOK, DC_HASDEFID);
    }
    if (message == WM_NCDESTROY) {
        RemovePropW(hwnd, kDialogKeysProp);
        RemovePropW(hwnd, kSavedFocusProp);
        if (self) self->hwnd_ = nullptr;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (self && self->handle(message, wParam, lParam, result)) return result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

ControlHook::~ControlHook() {
    if (control_) RemoveWindowSubclass(control_, &ControlHook::hookProc, 1);
}

void ControlHook::attach(HWND control) {
    control_ = control;
    SetWindowSubclass(control, &ControlHook::hookProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT ControlHook::original(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(control_, message, wParam, lParam);
}

LRESULT CALLBACK ControlHook::hookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR selfData) {
    auto* self = reinterpret_cast<ControlHook*>(selfData);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &ControlHook::hookProc, 1);
        self->control_ = nullptr;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (self->handle(message, wParam, lParam, result)) return result;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void focusAsTab(HWND control) {
    if (!control) return;
    SetFocus(control);
    if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
        SendMessageW(control, EM_SETSEL, 0, -1);
    }
}

bool pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        dispatch(msg);
    }
    return true;
}

void runModal(HWND dialog, HWND owner, const bool& ended, HWND focus,
              const std::function<void(HWND)>& onShown) {
    const bool ownerEnabled = owner && IsWindowEnabled(owner);
    if (ownerEnabled) EnableWindow(owner, FALSE);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    if (focus) SetFocus(focus);
    bool running = pumpMessages();
    if (running && onShown && !ended && IsWindow(dialog)) onShown(dialog);
    while (running && !ended && IsWindow(dialog)) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        dispatch(msg);
    }
    if (ownerEnabled) EnableWindow(owner, TRUE);
    if (IsWindow(dialog)) ShowWindow(dialog, SW_HIDE);
}

MsgResult messageBox(HWND owner, const std::string& cp1255Text, const std::string& cp1255Title,
                     MsgIcon icon, MsgButtons buttons) {
    UINT flags = MB_RTLREADING | MB_RIGHT | MB_SETFOREGROUND;
    flags |= buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
    switch (icon) {
        case MsgIcon::Stop: flags |= MB_ICONSTOP; break;
        case MsgIcon::Exclamation: flags |= MB_ICONEXCLAMATION; break;
        case MsgIcon::Question: flags |= MB_ICONQUESTION; break;
        case MsgIcon::Information: flags |= MB_ICONINFORMATION; break;
        case MsgIcon::None: break;
    }
    if (!owner) flags |= MB_TASKMODAL;
    const int answer = MessageBoxW(owner, win32::widen(cp1255Text).c_str(),
                                   win32::widen(cp1255Title).c_str(), flags);
    if (answer == IDYES) return MsgResult::Yes;
    if (answer == IDNO) return MsgResult::No;
    return MsgResult::Ok;
}

}  // namespace korvex::win32ui
