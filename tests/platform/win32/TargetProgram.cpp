// The end-to-end test's helper on the Windows side, run under Wine:
//   --title T --out FILE   a top-level window titled T that takes the keyboard focus and writes
//                          every character it receives (WM_CHAR, UTF-8) to FILE as it arrives;
//   --exit-korvex          chooses Exit in the running korvex.exe's tray menu and answers Yes to
//                          its question, as the operator would; exit status 0 when both happened.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/Win32Text.h"
#include "ui/win32/Win32OperatorUi.h"

namespace {

std::wstring received;
std::wstring outFile;

void save() {
    const std::string utf8 = korvex::win32::toUtf8(received);
    HANDLE file = ::CreateFileW(outFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    ::CloseHandle(file);
}

LRESULT CALLBACK targetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR) {
        received += static_cast<wchar_t>(wParam);
        save();
        return 0;
    }
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int runTarget(const std::wstring& title) {
    WNDCLASSW c{};
    c.lpfnWndProc = &targetProc;
    c.hInstance = ::GetModuleHandleW(nullptr);
    c.lpszClassName = L"KorvexEndToEndTarget";
    ::RegisterClassW(&c);
    HWND window =
        ::CreateWindowExW(0, c.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                          10, 400, 200, nullptr, nullptr, c.hInstance, nullptr);
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    save();
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
    return 0;
}

struct Search {
    DWORD process;
    HWND found;
};

// The message box korvex.exe shows: a dialog of its process with a Yes button.
BOOL CALLBACK findQuestion(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (process == search->process && std::wstring(name) == L"#32770" &&
        ::GetDlgItem(window, IDYES) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

int exitKorvex() {
    HWND korvex = nullptr;
    for (int i = 0; i < 200 && korvex == nullptr; ++i) {
        korvex = ::FindWindowW(korvex::win32ui::kMessageWindowClass, nullptr);
        if (korvex == nullptr) ::Sleep(50);
    }
    if (korvex == nullptr) return 2;
    Search search{0, nullptr};
    ::GetWindowThreadProcessId(korvex, &search.process);
    ::PostMessageW(korvex, WM_COMMAND, korvex::win32ui::kMenuExit, 0);
    for (int i = 0; i < 400 && search.found == nullptr; ++i) {
        ::EnumWindows(&findQuestion, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) ::Sleep(50);
    }
    if (search.found == nullptr) return 3;
    ::PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(search.found, IDYES)));
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
    if (title.empty() || outFile.empty()) {
        std::fprintf(stderr, "usage: korvex-target-win32 --title T --out FILE | --exit-korvex\n");
        return 64;
    }
    return runTarget(title);
}
