#include "ui/win32/Win32OperatorUi.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "platform/win32/Win32Text.h"
#include "ui/OperatorWindowRules.h"
#include "ui/win32/WinUi.h"

namespace korvex::win32ui {

namespace {

using win32::narrow;
using win32::widen;
using win32::widenUtf8;

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kTrayCallback = WM_APP + 1;
constexpr UINT kShownMessage = WM_APP + 2;
constexpr UINT kTrayIconId = 1;
// The program icon in the resources (korvex.rc).
constexpr int kProgramIconResource = 1;
constexpr int kIconSize = 32;
constexpr const wchar_t* kCreditUrl = L"https://www.ovra.example/";
constexpr const wchar_t* kCreditHost = L"www.ovra.example";

HINSTANCE instance() { return ::GetModuleHandleW(nullptr); }

void setFont(HWND window) {
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont()), FALSE);
}

HWND child(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, int x,
           int y, int width, int height, int id) {
    HWND w = ::CreateWindowExW(
        0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance(), nullptr);
    setFont(w);
    return w;
}

// The window's size for a client area of width x height.
SIZE frameFor(DWORD style, DWORD exStyle, int width, int height) {
    RECT r{0, 0, width, height};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

RECT workArea() {
    RECT work{0, 0, 800, 600};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

std::wstring windowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

template <typename T>
T* state(HWND window) {
    return reinterpret_cast<T*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Keeps the pointer handed to CreateWindowExW as the window's state.
template <typename T>
T* stateOnCreate(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    return state<T>(window);
}

ATOM registerClass(const wchar_t* name, WNDPROC procedure, HBRUSH background) {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = procedure;
    c.hInstance = instance();
    c.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    c.hbrBackground = background;
    c.lpszClassName = name;
    c.hIcon = ::LoadIconW(instance(), MAKEINTRESOURCEW(kProgramIconResource));
    return ::RegisterClassExW(&c);
}

// Runs messages until `done` holds. A WM_QUIT (endProcess inside the loop) is put back for the
// loops further out and ends this one too.
template <typename Done>
void modalLoop(HWND dialog, Done done) {
    MSG m;
    while (!done()) {
        const BOOL got = ::GetMessageW(&m, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) ::PostQuitMessage(static_cast<int>(m.wParam));
            return;
        }
        if (dialog != nullptr && ::IsWindow(dialog) && ::IsDialogMessageW(dialog, &m)) continue;
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
}

// --- the program's icon, drawn ------------------------------------------------------------

// The cheque of the program's icon: a pale card leaving the top left free for the number, a
// signature stroke and the magnetic code line.
void drawCheque(HDC dc) {
    HBRUSH card = ::CreateSolidBrush(RGB(250, 248, 235));
    HPEN edge = ::CreatePen(PS_SOLID, 1, RGB(40, 60, 90));
    HGDIOBJ oldBrush = ::SelectObject(dc, card);
    HGDIOBJ oldPen = ::SelectObject(dc, edge);
    ::RoundRect(dc, 6, 12, 32, 29, 4, 4);
    HPEN ink = ::CreatePen(PS_SOLID, 1, RGB(30, 80, 160));
    ::SelectObject(dc, ink);
    ::MoveToEx(dc, 18, 20, nullptr);
    ::LineTo(dc, 28, 18);
    HBRUSH bars = ::CreateSolidBrush(RGB(20, 20, 20));
    for (int i = 0; i < 8; ++i) {
        const int left = 9 + i * 27 / 10;
        RECT bar{left, 24, left + (i % 3 == 0 ? 2 : 1), 27};
        ::FillRect(dc, &bar, bars);
    }
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(bars);
    ::DeleteObject(ink);
    ::DeleteObject(edge);
    ::DeleteObject(card);
}

// ChangeIcon: the colour, the program's cheque over it and, when the size asks for it, the
// profile number in bold in the text colour.
HICON drawProfileIcon(COLORREF back, int fontSize, COLORREF text, int32_t profileNumber) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP colour = ::CreateCompatibleBitmap(screen, kIconSize, kIconSize);
    HGDIOBJ oldBitmap = ::SelectObject(dc, colour);
    RECT all{0, 0, kIconSize, kIconSize};
    HBRUSH background = ::CreateSolidBrush(back);
    ::FillRect(dc, &all, background);
    ::DeleteObject(background);
    drawCheque(dc);
    if (trayShowsNumber(fontSize)) {
        // Sizes beyond any icon are clamped; the number is then simply cut by the edge.
        const int points = std::min(fontSize, 200);
        HFONT font =
            ::CreateFontW(-::MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_BOLD,
                          FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, L"Tahoma");
        HGDIOBJ oldFont = ::SelectObject(dc, font);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, text);
        const std::wstring number = widen(trayNumberText(profileNumber));
        ::TextOutW(dc, 0, 0, number.c_str(), static_cast<int>(number.size()));
        ::SelectObject(dc, oldFont);
        ::DeleteObject(font);
    }
    ::SelectObject(dc, oldBitmap);
    // An all-zero mask: every pixel of the colour bitmap shows.
    const std::string zeros(kIconSize * kIconSize / 8, '\0');
    HBITMAP mask = ::CreateBitmap(kIconSize, kIconSize, 1, 1, zeros.data());
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(mask);
    ::DeleteObject(colour);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return icon;
}

HICON programIcon() {
    HANDLE icon = ::LoadImageW(instance(), MAKEINTRESOURCEW(kProgramIconResource), IMAGE_ICON,
                               ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0);
    return icon != nullptr ? static_cast<HICON>(icon) : ::LoadIconA(nullptr, IDI_APPLICATION);
}

// --- the input box ------------------------------------------------------------------------

struct InputBoxState {
    OnShown onShown;
    bool done = false;
    bool accepted = false;
    std::wstring text;
};

LRESULT CALLBACK inputBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* s = stateOnCreate<InputBoxState>(window, message, lParam);
    switch (message) {
        case kShownMessage:
            if (s != nullptr && s->onShown) s->onShown(window);
            return 0;
        case DM_GETDEFID: return MAKELRESULT(IDOK, DC_HASDEFID);
        case WM_COMMAND:
            if (s != nullptr && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
                s->accepted = LOWORD(wParam) == IDOK;
                if (s->accepted) s->text = windowText(::GetDlgItem(window, kInputBoxEdit));
                s->done = true;
                return 0;
            }
            break;
        case WM_CLOSE:
            if (s != nullptr) s->done = true;
            return 0;
        default: break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// --- the splash -----------------------------------------------------------------------------

struct SplashState {
    UINT displayMs = 750;
    bool painted = false;
    bool closed = false;
    RECT creditLine{10, 150, 410, 174};
};

constexpr UINT_PTR kSplashTimer = 1;
constexpr UINT_PTR kSplashUnpaintedTimer = 2;

void startSplashTimer(HWND window, SplashState& s) {
    if (s.painted) return;
    s.painted = true;
    ::KillTimer(window, kSplashUnpaintedTimer);
    ::SetTimer(window, kSplashTimer, s.displayMs, nullptr);
}

void paintSplash(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(window, &ps);
    RECT all;
    ::GetClientRect(window, &all);
    HBRUSH back = ::CreateSolidBrush(RGB(245, 247, 250));
    ::FillRect(dc, &all, back);
    ::DeleteObject(back);
    HICON icon = static_cast<HICON>(
        ::LoadImageW(instance(), MAKEINTRESOURCEW(kProgramIconResource), IMAGE_ICON, 80, 80, 0));
    if (icon != nullptr) {
        ::DrawIconEx(dc, 170, 16, icon, 80, 80, 0, nullptr, DI_NORMAL);
        ::DestroyIcon(icon);
    }
    HGDIOBJ oldFont = ::SelectObject(dc, uiFont());
    ::SetBkMode(dc, TRANSPARENT);
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const std::wstring lines[] = {
        widenUtf8("קורא צ'קים וכרטיסים של Ovra. תמיכה: 03-5550123"),
        widenUtf8("פיתוח ועיצוב: ") + kCreditHost,
        L"\u00A9 " + std::to_wstring(now.wYear) + L" Ovra  " + kCreditHost,
    };
    const RECT places[] = {{10, 112, 410, 140}, {10, 150, 410, 174}, {10, 200, 410, 224}};
    for (int i = 0; i < 3; ++i) {
        RECT r = places[i];
        ::DrawTextW(dc, lines[i].c_str(), -1, &r,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_RTLREADING);
    }
    ::SelectObject(dc, oldFont);
    ::EndPaint(window, &ps);
}

LRESULT CALLBACK splashProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* s = stateOnCreate<SplashState>(window, message, lParam);
    if (s == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_PAINT:
            paintSplash(window);
            startSplashTimer(window, *s);
            return 0;
        case WM_TIMER:
            // A window that is never painted (nothing exposes it) still goes: its time counts
            // from a second after showing at the latest.
            if (wParam == kSplashUnpaintedTimer) {
                startSplashTimer(window, *s);
            } else {
                ::DestroyWindow(window);
            }
            return 0;
        case WM_LBUTTONDOWN: {
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (::PtInRect(&s->creditLine, at)) {
                ::ShellExecuteW(nullptr, L"open", kCreditUrl, nullptr, nullptr, SW_SHOWNORMAL);
                return 0;
            }
            ::DestroyWindow(window);
            return 0;
        }
        case WM_KEYDOWN: ::DestroyWindow(window); return 0;
        case WM_DESTROY: s->closed = true; return 0;
        case WM_NCDESTROY:
            delete s;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return 0;
        default: break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// --- the transfer window ----------------------------------------------------------------------

struct ProgressState {
    double fraction = 0;
};

LRESULT CALLBACK progressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* s = stateOnCreate<ProgressState>(window, message, lParam);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(window, &ps);
            // The bar grows from the left, as the percentage is read, whatever the frame's layout.
            ::SetLayout(dc, 0);
            RECT all;
            ::GetClientRect(window, &all);
            ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            RECT bar = all;
            bar.right = progressBarWidth(s != nullptr ? s->fraction : 0, all.right);
            HBRUSH blue = ::CreateSolidBrush(RGB(0, 0, 255));
            ::FillRect(dc, &bar, blue);
            ::DeleteObject(blue);
            HGDIOBJ oldFont = ::SelectObject(dc, uiFont());
            ::SetBkMode(dc, OPAQUE);
            ::SetBkColor(dc, RGB(255, 255, 255));
            ::SetTextColor(dc, RGB(0, 0, 0));
            const std::wstring text = windowText(window);
            ::TextOutW(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
            ::SelectObject(dc, oldFont);
            ::EndPaint(window, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
            // A click hides the window; the transfer goes on.
            ::ShowWindow(::GetParent(window), SW_HIDE);
            return 0;
        case WM_NCDESTROY: delete s; return 0;
        default: break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK fileXferProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN: ::ShowWindow(window, SW_HIDE); return 0;
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_CLOSE: ::ShowWindow(window, SW_HIDE); return 0;
        default: break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void registerClasses();
LRESULT CALLBACK messageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace

std::string runInputBox(HWND owner, const std::string& prompt, const std::string& title,
                        const std::string& defaultText, const OnShown& onShown) {
    registerClasses();
    InputBoxState s;
    s.onShown = onShown;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle =
        WS_EX_DLGMODALFRAME | WS_EX_LAYOUTRTL | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
    const SIZE size = frameFor(style, exStyle, 360, 130);
    const RECT work = workArea();
    HWND box = ::CreateWindowExW(exStyle, L"KorvexInputBox", widen(title).c_str(), style,
                                 (work.left + work.right - size.cx) / 2,
                                 (work.top + work.bottom - size.cy) / 2, size.cx, size.cy, owner,
                                 nullptr, instance(), &s);
    if (box == nullptr) return {};
    // The core's texts join lines with CR LF, which a static control shows as they are.
    child(box, L"STATIC", widen(prompt), SS_LEFT, 10, 8, 340, 48, kInputBoxPrompt);
    HWND edit = child(box, L"EDIT", widen(defaultText), WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10,
                      60, 340, 24, kInputBoxEdit);
    child(box, L"BUTTON", widenUtf8("אישור"), WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 96, 80, 26, IDOK);
    child(box, L"BUTTON", widenUtf8("ביטול"), WS_TABSTOP | BS_PUSHBUTTON, 100, 96, 80, 26,
          IDCANCEL);
    const bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    ::ShowWindow(box, SW_SHOW);
    ::SetForegroundWindow(box);
    ::SetFocus(edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::PostMessageW(box, kShownMessage, 0, 0);
    modalLoop(box, [&] { return s.done; });
    if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
    ::DestroyWindow(box);
    return s.accepted ? narrow(s.text) : std::string();
}

struct Win32OperatorUi::Impl {
    Hooks hooks;
    HWND window = nullptr;
    bool timerOn = false;
    HMENU menu = nullptr;
    HMENU profileMenu = nullptr;
    bool noProfilesShown = true;
    std::map<int32_t, bool> profiles;  // the items that exist
    NOTIFYICONDATAW tray{};
    bool trayAdded = false;
    bool trayUnavailableLogged = false;
    HICON drawnIcon = nullptr;
    UINT taskbarCreated = 0;
    std::unique_ptr<DetailsWindow> details;
    std::unique_ptr<ManualDebugWindow> debug;
    HWND fileXfer = nullptr;
    HWND fileXferName = nullptr;
    HWND fileXferPicture = nullptr;
    ProgressState* progress = nullptr;
    bool splashShown = false;
    int exitCode = 0;

    void command(UINT id);
    void showMenu();
    void trayCall(DWORD what) {
        if (trayAdded) ::Shell_NotifyIconW(what, &tray);
    }
};

namespace {

void registerClasses() {
    static const bool done = [] {
        registerClass(kMessageWindowClass, &messageWindowProc, nullptr);
        registerClass(L"KorvexInputBox", &inputBoxProc,
                      reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        registerClass(L"KorvexSplash", &splashProc, nullptr);
        registerClass(L"KorvexFileXfer", &fileXferProc,
                      reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        registerClass(L"KorvexProgress", &progressProc, nullptr);
        return true;
    }();
    (void)done;
}

LRESULT CALLBACK messageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* impl = stateOnCreate<Win32OperatorUi::Impl>(window, message, lParam);
    if (impl == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_TIMER:
            if (wParam == kPollTimer && impl->hooks.timerTick) impl->hooks.timerTick();
            return 0;
        case kTrayCallback:
            switch (static_cast<UINT>(lParam)) {
                case WM_RBUTTONUP:
                case WM_CONTEXTMENU: impl->showMenu(); break;
                case WM_LBUTTONUP:
                case WM_LBUTTONDBLCLK:
                    if (impl->hooks.tray.showDetails) impl->hooks.tray.showDetails();
                    break;
                default: break;
            }
            return 0;
        case WM_COMMAND: impl->command(LOWORD(wParam)); return 0;
        case WM_QUERYENDSESSION: return TRUE;
        case WM_CLOSE:
            // Asked to close (as taskkill without /f asks): the same orderly shutdown. Without
            // one (a launcher) the program simply ends.
            if (impl->hooks.sessionEnding) {
                impl->hooks.sessionEnding();
            } else {
                ::PostQuitMessage(0);
            }
            return 0;
        case WM_ENDSESSION:
            // The session ends: shut down in order now, because the process is ended as soon as
            // this message returns, and a watchdog would otherwise take it for a crash.
            if (wParam != FALSE && impl->hooks.sessionEnding) impl->hooks.sessionEnding();
            return 0;
        default: break;
    }
    if (impl->taskbarCreated != 0 && message == impl->taskbarCreated && impl->trayAdded) {
        // The desktop's tray came back (explorer restarted): the icon must be added again.
        ::Shell_NotifyIconW(NIM_ADD, &impl->tray);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

MENUITEMINFOW itemInfo(UINT mask) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = mask;
    return info;
}

void appendItem(HMENU menu, UINT id, const std::wstring& caption, bool enabled,
                HMENU subMenu = nullptr) {
    MENUITEMINFOW info = itemInfo(MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_FTYPE |
                                  (subMenu != nullptr ? MIIM_SUBMENU : 0u));
    info.fType = MFT_STRING | MFT_RIGHTORDER | MFT_RIGHTJUSTIFY;
    info.fState = enabled ? MFS_ENABLED : MFS_DISABLED;
    info.wID = id;
    info.hSubMenu = subMenu;
    info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
    ::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &info);
}

}  // namespace

void Win32OperatorUi::Impl::command(UINT id) {
    const ui::TrayHooks& t = hooks.tray;
    if (id == kMenuRenameCsv) {
        if (t.renameCsv) t.renameCsv();
    } else if (id == kMenuDetails) {
        if (t.showDetails) t.showDetails();
    } else if (id == kMenuExit) {
        if (t.exit) t.exit();
    } else if (id > kMenuProfileBase &&
               profiles.count(static_cast<int32_t>(id - kMenuProfileBase))) {
        // The check mark is LoadProfile's to set.
        if (t.loadProfile) t.loadProfile(static_cast<int32_t>(id - kMenuProfileBase));
    }
}

void Win32OperatorUi::Impl::showMenu() {
    POINT at;
    ::GetCursorPos(&at);
    // The menu closes when the operator clicks elsewhere only if our window is in front.
    ::SetForegroundWindow(window);
    ::TrackPopupMenuEx(menu, TPM_RIGHTBUTTON | TPM_RIGHTALIGN | TPM_LAYOUTRTL, at.x, at.y, window,
                       nullptr);
    ::PostMessageW(window, WM_NULL, 0, 0);
}

Win32OperatorUi::Win32OperatorUi() : impl_(std::make_unique<Impl>()) {
    registerClasses();
    // A hidden top-level window rather than a message-only one: the tray's popup menu needs a
    // window that can come to the front, and only top-level windows hear the session end.
    impl_->window = ::CreateWindowExW(0, kMessageWindowClass, L"Korvex", WS_OVERLAPPED, 0, 0, 0, 0,
                                      nullptr, nullptr, instance(), impl_.get());
    impl_->taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");

    impl_->menu = ::CreatePopupMenu();
    impl_->profileMenu = ::CreatePopupMenu();
    appendItem(impl_->menu, kMenuRenameCsv, widenUtf8("&איפוס קובץ CSV"), false);
    appendItem(impl_->menu, kMenuDetails, widenUtf8("&פרטים"), true);
    appendItem(impl_->menu, 0, widenUtf8("&פרופיל..."), true, impl_->profileMenu);
    appendItem(impl_->menu, kMenuExit, widenUtf8("&יציאה"), true);
    appendItem(impl_->profileMenu, kMenuProfileBase, widenUtf8("אין פרופילים"), false);

    NOTIFYICONDATAW& tray = impl_->tray;
    tray.cbSize = sizeof tray;
    tray.hWnd = impl_->window;
    tray.uID = kTrayIconId;
    tray.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    tray.uCallbackMessage = kTrayCallback;
    tray.hIcon = programIcon();
    const std::wstring tip = widen(trayTooltipText(initialTrayTooltipField()));
    wcsncpy(tray.szTip, tip.c_str(), std::size(tray.szTip) - 1);
}

Win32OperatorUi::~Win32OperatorUi() {
    removeTrayIcon();
    impl_->details.reset();
    impl_->debug.reset();
    fileXferClose();
    if (impl_->window != nullptr) ::DestroyWindow(impl_->window);
    if (impl_->menu != nullptr) ::DestroyMenu(impl_->menu);  // the profile menu with it
    if (impl_->drawnIcon != nullptr) ::DestroyIcon(impl_->drawnIcon);
}

void Win32OperatorUi::setHooks(Hooks hooks) { impl_->hooks = std::move(hooks); }

HWND Win32OperatorUi::messageWindow() const { return impl_->window; }
HMENU Win32OperatorUi::trayMenu() const { return impl_->menu; }
HWND Win32OperatorUi::fileXferWindow() const { return impl_->fileXfer; }
HWND Win32OperatorUi::fileXferPicture() const { return impl_->fileXferPicture; }

int Win32OperatorUi::run() {
    // The shared pump, so that the details window gets its Tab, Enter and Escape keys.
    while (pumpMessages()) ::WaitMessage();
    return impl_->exitCode;
}

MsgResult Win32OperatorUi::messageBox(const std::string& text, const std::string& title,
                                      MsgIcon icon, MsgButtons buttons) {
    return win32ui::messageBox(nullptr, text, title, icon, buttons);
}

std::string Win32OperatorUi::inputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) {
    return runInputBox(nullptr, prompt, title, defaultText);
}

// A WM_QUIT seen here is not ours to take: it is put back, and the main loop ends on it.
void Win32OperatorUi::doEvents() { pumpMessages(); }

void Win32OperatorUi::setPollingTimerEnabled(bool enabled) {
    if (enabled == impl_->timerOn) return;
    if (enabled) {
        impl_->timerOn = ::SetTimer(impl_->window, kPollTimer, 100, nullptr) != 0;
    } else {
        ::KillTimer(impl_->window, kPollTimer);
        impl_->timerOn = false;
    }
}

bool Win32OperatorUi::pollingTimerEnabled() const { return impl_->timerOn; }

void Win32OperatorUi::showSplash(int displayMs, bool modal) {
    // Shown at most once per process.
    if (impl_->splashShown) return;
    impl_->splashShown = true;
    auto* s = new SplashState;  // the window deletes it when it goes
    s->displayMs = static_cast<UINT>(displayMs < 750 ? 750 : displayMs);
    const DWORD style = WS_POPUP | WS_BORDER;
    const DWORD exStyle = WS_EX_TOPMOST | WS_EX_LAYOUTRTL | WS_EX_TOOLWINDOW;
    const SIZE size = frameFor(style, exStyle, 420, 260);
    const RECT work = workArea();
    HWND splash = ::CreateWindowExW(
        exStyle, L"KorvexSplash", L"Korvex", style, (work.left + work.right - size.cx) / 2,
        (work.top + work.bottom - size.cy) / 2, size.cx, size.cy, nullptr, nullptr, instance(), s);
    if (splash == nullptr) {
        delete s;
        return;
    }
    ::SetTimer(splash, kSplashUnpaintedTimer, 1000, nullptr);
    ::ShowWindow(splash, SW_SHOW);
    ::UpdateWindow(splash);
    if (modal) modalLoop(nullptr, [splash] { return !::IsWindow(splash); });
}

bool Win32OperatorUi::addTrayIcon() {
    if (impl_->trayAdded) return true;
    impl_->trayAdded = ::Shell_NotifyIconW(NIM_ADD, &impl_->tray) != FALSE;
    if (!impl_->trayAdded && !impl_->trayUnavailableLogged && impl_->hooks.tray.log) {
        impl_->hooks.tray.log("No system tray on this desktop: running without the tray icon");
        impl_->trayUnavailableLogged = true;
    }
    return impl_->trayAdded;
}

void Win32OperatorUi::setTrayTooltip(const std::string& tooltip64) {
    const std::wstring tip = widen(trayTooltipText(tooltip64));
    std::fill(std::begin(impl_->tray.szTip), std::end(impl_->tray.szTip), L'\0');
    wcsncpy(impl_->tray.szTip, tip.c_str(), std::size(impl_->tray.szTip) - 1);
    impl_->trayCall(NIM_MODIFY);
}

void Win32OperatorUi::changeIcon(uint8_t red, uint8_t green, uint8_t blue, int fontSize,
                                 uint8_t textRed, uint8_t textGreen, uint8_t textBlue,
                                 int32_t profileNumber) {
    HICON icon = drawProfileIcon(RGB(red, green, blue), fontSize, RGB(textRed, textGreen, textBlue),
                                 profileNumber);
    if (icon == nullptr) return;
    impl_->tray.hIcon = icon;
    impl_->trayCall(NIM_MODIFY);
    if (impl_->drawnIcon != nullptr) ::DestroyIcon(impl_->drawnIcon);
    impl_->drawnIcon = icon;
}

void Win32OperatorUi::addProfileMenuItem(int32_t number, const std::string& caption) {
    if (number <= 0) return;
    const UINT id = kMenuProfileBase + static_cast<UINT>(number);
    const std::wstring text = widen(caption);
    if (impl_->profiles.count(number)) {
        MENUITEMINFOW info = itemInfo(MIIM_STRING);
        info.dwTypeData = const_cast<wchar_t*>(text.c_str());
        ::SetMenuItemInfoW(impl_->profileMenu, id, FALSE, &info);
        return;
    }
    appendItem(impl_->profileMenu, id, text, true);
    impl_->profiles[number] = true;
}

bool Win32OperatorUi::setProfileMenuChecked(int32_t number, bool checked) {
    if (number <= 0 || !impl_->profiles.count(number)) return false;
    ::CheckMenuItem(impl_->profileMenu, kMenuProfileBase + static_cast<UINT>(number),
                    MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    return true;
}

void Win32OperatorUi::setNoProfilesItemVisible(bool visible) {
    // A menu has no hidden items: the placeholder is taken out and put back first.
    if (visible == impl_->noProfilesShown) return;
    impl_->noProfilesShown = visible;
    if (!visible) {
        ::DeleteMenu(impl_->profileMenu, kMenuProfileBase, MF_BYCOMMAND);
        return;
    }
    const std::wstring caption = widenUtf8("אין פרופילים");
    MENUITEMINFOW info = itemInfo(MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_FTYPE);
    info.fType = MFT_STRING | MFT_RIGHTORDER | MFT_RIGHTJUSTIFY;
    info.fState = MFS_DISABLED;
    info.wID = kMenuProfileBase;
    info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
    ::InsertMenuItemW(impl_->profileMenu, 0, TRUE, &info);
}

void Win32OperatorUi::setRenameCsvEnabled(bool enabled) {
    ::EnableMenuItem(impl_->menu, kMenuRenameCsv,
                     MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void Win32OperatorUi::removeTrayIcon() {
    impl_->trayCall(NIM_DELETE);
    impl_->trayAdded = false;
}

bool Win32OperatorUi::detailsWindowExists() const { return impl_->details != nullptr; }

namespace {
DetailsWindow& detailsOf(Win32OperatorUi::Impl& impl) {
    if (!impl.details) impl.details = std::make_unique<DetailsWindow>(impl.hooks.details);
    return *impl.details;
}
}  // namespace

void Win32OperatorUi::detailsClearProfiles() { detailsOf(*impl_).clearProfiles(); }
void Win32OperatorUi::detailsAddProfile(const std::string& name) {
    detailsOf(*impl_).addProfile(name);
}
bool Win32OperatorUi::detailsSelectProfile(int32_t index) {
    return detailsOf(*impl_).selectProfile(index);
}
std::string Win32OperatorUi::detailsReaderData() const {
    return impl_->details ? impl_->details->readerData() : std::string();
}
void Win32OperatorUi::detailsSetReaderData(const std::string& text) {
    detailsOf(*impl_).setReaderData(text);
}
void Win32OperatorUi::detailsSetLastDataSent(const std::string& text) {
    detailsOf(*impl_).setLastDataSent(text);
}
void Win32OperatorUi::detailsShow() { detailsOf(*impl_).showDetails(); }

ChequeDialogResult Win32OperatorUi::showChequeData(const ChequeDialogInput& input) {
    return runChequeData(nullptr, input);
}

ChequeDialogResult Win32OperatorUi::showChequeFull(const ChequeDialogInput& input) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return runChequeFull(nullptr, input, CalendarDate{now.wDay, now.wMonth, now.wYear});
}

DebugWindowResult Win32OperatorUi::showManualDebug() {
    // One window for the run: the boxes keep the last choices for the next tick.
    if (!impl_->debug) {
        auto terminate = impl_->hooks.terminateAtOnce;
        if (!terminate) {
            terminate = [this](int code) {
                removeTrayIcon();
                ::ExitProcess(static_cast<UINT>(code));
            };
        }
        impl_->debug = std::make_unique<ManualDebugWindow>(terminate);
    }
    return impl_->debug->run(nullptr);
}

void Win32OperatorUi::fileXferShow(const std::string& fileName) {
    Impl& d = *impl_;
    if (d.fileXfer == nullptr) {
        const DWORD style = WS_POPUP | WS_CAPTION;
        const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_LAYOUTRTL;
        const SIZE size = frameFor(style, exStyle, 320, 84);
        d.fileXfer =
            ::CreateWindowExW(exStyle, L"KorvexFileXfer", widenUtf8("תמונת מסמך").c_str(), style, 0,
                              0, size.cx, size.cy, nullptr, nullptr, instance(), nullptr);
        child(d.fileXfer, L"STATIC", widenUtf8("שם קובץ:"), SS_LEFT, 8, 8, 68, 24, 1);
        d.fileXferName = child(d.fileXfer, L"EDIT", L"", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER,
                               82, 8, 230, 24, 2);
        d.progress = new ProgressState;  // the picture deletes it when it goes
        d.fileXferPicture = ::CreateWindowExW(
            0, L"KorvexProgress", L"", WS_CHILD | WS_VISIBLE, 8, 42, 304, 30, d.fileXfer,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(3)), instance(), d.progress);
    }
    ::SetWindowTextW(d.fileXferName, widen(fileName).c_str());
    RECT frame;
    ::GetWindowRect(d.fileXfer, &frame);
    const RECT work = workArea();
    const WindowPoint at = transferWindowPosition(work.right, work.bottom, frame.right - frame.left,
                                                  frame.bottom - frame.top);
    ::SetWindowPos(d.fileXfer, HWND_TOPMOST, at.left, at.top, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void Win32OperatorUi::fileXferProgress(double fraction, const std::string& percentText) {
    Impl& d = *impl_;
    if (d.fileXfer == nullptr) return;
    d.progress->fraction = fraction;
    ::SetWindowTextW(d.fileXferPicture, widen(percentText).c_str());
    ::InvalidateRect(d.fileXferPicture, nullptr, FALSE);
    ::UpdateWindow(d.fileXferPicture);
}

void Win32OperatorUi::fileXferClose() {
    Impl& d = *impl_;
    if (d.fileXfer == nullptr) return;
    ::DestroyWindow(d.fileXfer);
    d.fileXfer = d.fileXferName = d.fileXferPicture = nullptr;
    d.progress = nullptr;
}

void Win32OperatorUi::endProcess(int exitCode) {
    setPollingTimerEnabled(false);
    removeTrayIcon();
    fileXferClose();
    if (impl_->details) ::ShowWindow(impl_->details->hwnd(), SW_HIDE);
    impl_->exitCode = exitCode;
    if (impl_->hooks.endProcess) {
        impl_->hooks.endProcess(exitCode);
    } else {
        // Every running message loop returns; run() then returns the code.
        ::PostQuitMessage(exitCode);
    }
}

}  // namespace korvex::win32ui
