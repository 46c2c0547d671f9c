// The end-to-end test's helper under Wine: with --title T --out FILE, a window titled T that
// writes every character it receives to FILE (UTF-8); with --exit-korvex, Exit from korvex.exe's
// tray menu answered Yes, as the operator would (status 0 when both happened).
#include <windows.h>

#include <string>

#include "platform/win32/Win32Text.h"
#include "ui/win32/Win32OperatorUi.h"

namespace {

std::wstring received, outFile;

void save() {
    const std::string utf8 = korvex::win32::toUtf8(received);
    HANDLE file = ::CreateFileW(outFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    ::CloseHandle(file);
}

LRESULT CALLBACK targetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR) received += static_cast<wchar_t>(wParam), save();
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return message == WM_CHAR ? 0 : ::DefWindowProcW(window, message, wParam, lParam);
}

int runTarget(const std::wstring& title) {
    const WNDCLASSW c{0,       &targetProc, 0,       0,       ::GetModuleHandleW(nullptr),
                      nullptr, nullptr,     nullptr, nullptr, L"KorvexEndToEndTarget"};
    HWND window = ::CreateWindowExW(0, (::RegisterClassW(&c), c.lpszClassName), title.c_str(),
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 200, nullptr,
                                    nullptr, c.hInstance, nullptr);
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    save();
    for (MSG m; ::GetMessageW(&m, nullptr, 0, 0) > 0; ::DispatchMessageW(&m))
        ::TranslateMessage(&m);
    return 0;
}

// Posts Exit to korvex.exe's message window, then answers Yes to the question that follows.
int exitKorvex() {
    HWND korvex = nullptr, question = nullptr;
    for (int i = 0; i < 200 && korvex == nullptr; ++i, ::Sleep(korvex ? 0 : 50))
        korvex = ::FindWindowW(korvex::win32ui::kMessageWindowClass, nullptr);
    if (korvex == nullptr) return 2;
    ::PostMessageW(korvex, WM_COMMAND, korvex::win32ui::kMenuExit, 0);
    for (int i = 0; i < 400 && !::GetDlgItem(question, IDYES); ++i, ::Sleep(50))
        question = ::FindWindowW(L"#32770", nullptr);
    if (!::GetDlgItem(question, IDYES)) return 3;
    ::PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(question, IDYES)));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    std::wstring title;
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (a == L"--exit-korvex") return exitKorvex();
        if (a == L"--title" && i + 1 < argc) title = argv[++i];
        if (a == L"--out" && i + 1 < argc) outFile = argv[++i];
    }
    return title.empty() || outFile.empty() ? 64 : runTarget(title);
}
