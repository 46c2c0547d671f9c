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
        static const wchar_t* className = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = &TargetWindow::procedure;
            windowClass.hInstance = ::GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"KorvexTestTarget";
            ::RegisterClassW(&windowClass);
            return windowClass.lpszClassName;
        }();
        frame_ =
            ::CreateWindowExW(0, className, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                              400, 200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(frame_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        edit_ = ::CreateWindowExW(0, L"EDIT", L"",
                                  WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0, 380,
                                  150, frame_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    ~TargetWindow() {
        ::DestroyWindow(frame_);
        pump();
    }

    HWND frame() const { return frame_; }
    const std::vector<WPARAM>& systemCommands() const { return systemCommands_; }

    // Brings the window to the front with the focus in the edit control.
    bool focus() {
        ::SetForegroundWindow(frame_);
        ::SetFocus(edit_);
        pump();
        return ::GetForegroundWindow() == frame_ && ::GetFocus() == edit_;
    }
    std::wstring text() const {
        std::wstring out(static_cast<std::size_t>(::GetWindowTextLengthW(edit_)) + 1, L'\0');
        out.resize(static_cast<std::size_t>(
            ::GetWindowTextW(edit_, out.data(), static_cast<int>(out.size()))));
        return out;
    }

    // Runs this thread's messages until `done` holds or the time is up; returns `done()`.
    static bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (pump(); !done() && std::chrono::steady_clock::now() < end; pump()) ::Sleep(5);
        return done();
    }
    static void pump() {
        for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            ::TranslateMessage(&message);  // key messages become characters
            ::DispatchMessageW(&message);
        }
    }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TargetWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != WM_SYSCOMMAND || self == nullptr || (wParam & 0xFFFF) >= 0xF000)
            return ::DefWindowProcW(window, message, wParam, lParam);
        self->systemCommands_.push_back(wParam);
        return 0;
    }

    HWND frame_ = nullptr, edit_ = nullptr;
    std::vector<WPARAM> systemCommands_;
};

}  // namespace korvex::test
