#pragma once
// A top-level window of the test's own with an edit control that takes the keyboard focus: what
// the edit control holds is what it received. The frame records the WM_SYSCOMMAND codes sent to
// it (the paste command) instead of acting on them.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace korvex::test {

class TargetWindow {
public:
    explicit TargetWindow(const std::wstring& title) {
        static const wchar_t* className = registerClass();
        frame_ =
            ::CreateWindowExW(0, className, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                              400, 200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(frame_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        edit_ = ::CreateWindowExW(0, L"EDIT", L"",
                                  WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0, 380,
                                  150, frame_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    ~TargetWindow() {
        if (frame_ != nullptr) ::DestroyWindow(frame_);
        pump();
    }
    TargetWindow(const TargetWindow&) = delete;
    TargetWindow& operator=(const TargetWindow&) = delete;

    HWND frame() const { return frame_; }
    HWND edit() const { return edit_; }

    // Brings the window to the front with the focus in the edit control.
    bool focus() {
        ::SetForegroundWindow(frame_);
        ::SetFocus(edit_);
        pump();
        return ::GetForegroundWindow() == frame_ && ::GetFocus() == edit_;
    }

    std::wstring text() const {
        const int length = ::GetWindowTextLengthW(edit_);
        std::wstring out(static_cast<std::size_t>(length) + 1, L'\0');
        out.resize(static_cast<std::size_t>(::GetWindowTextW(edit_, out.data(), length + 1)));
        return out;
    }

    const std::vector<WPARAM>& systemCommands() const { return systemCommands_; }

    // Runs this thread's messages until `done` holds or the time is up; returns `done()`.
    static bool pumpUntil(const std::function<bool()>& done,
                          std::chrono::milliseconds limit = std::chrono::milliseconds(3000)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            pump();
            if (done()) return true;
            if (std::chrono::steady_clock::now() >= end) return false;
            ::Sleep(5);
        }
    }
    static void pump() {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }

private:
    static const wchar_t* registerClass() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &TargetWindow::procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KorvexTestTarget";
        ::RegisterClassW(&windowClass);
        return windowClass.lpszClassName;
    }
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TargetWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_SYSCOMMAND && self != nullptr && (wParam & 0xFFFF) < 0xF000) {
            self->systemCommands_.push_back(wParam);
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND frame_ = nullptr;
    HWND edit_ = nullptr;
    std::vector<WPARAM> systemCommands_;
};

}  // namespace korvex::test
