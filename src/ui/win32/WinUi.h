#pragma once
// What every Win32 operator window shares: the font with Hebrew glyphs, the right-to-left
// layout, Windows-1255 text in and out of controls, window classes bound to C++ objects, the
// message pump that gives dialog keys (Tab, Enter, Escape) to the window they belong to, and
// the modal loop.

#include <functional>
#include <string>

#include "platform/OperatorUi.h"
#include "platform/win32/Win32Api.h"

namespace korvex::win32ui {

// The windows' font: Tahoma (which has Hebrew glyphs; Windows substitutes another where it is
// missing), created once for the process. bold gives the heading's bold, larger variant.
HFONT uiFont(bool bold = false);

// Extended styles of a top-level window laid out right to left; its children inherit the
// mirroring.
inline constexpr DWORD kRtlExStyle = WS_EX_LAYOUTRTL;

// A window's text as Windows-1255 (through the wide functions, so Hebrew survives whatever the
// system's ANSI code page is).
void setText(HWND window, const std::string& cp1255Text);
std::string getText(HWND window);

// A window that routes its messages to a C++ object. Subclasses create the window with
// create(); handle() answers a message or returns false for the default handling.
class Window {
public:
    virtual ~Window();
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    HWND hwnd() const { return hwnd_; }

protected:
    // A top-level window of the given client size, laid out right to left, not yet shown.
    // dialogKeys makes the pump hand it Tab, Enter and Escape (IsDialogMessage).
    void create(HWND owner, const std::string& utf8Title, DWORD style, DWORD exStyle,
                int clientWidth, int clientHeight, bool dialogKeys);
    virtual bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // A child control at the given place, in coordinates measured from the left as the window
    // is seen (mirrored here for the right-to-left layout), in the shared font.
    HWND addControl(const wchar_t* className, const std::string& utf8Text, DWORD style, int left,
                    int top, int width, int height, int id = 0, DWORD exStyle = 0);
    int designWidth() const { return designWidth_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    int designWidth_ = 0;
};

// Extra behaviour on a control (window subclassing): handle() answers a message or returns
// false to pass it on to the control's own procedure.
class ControlHook {
public:
    virtual ~ControlHook();
    ControlHook() = default;
    ControlHook(const ControlHook&) = delete;
    ControlHook& operator=(const ControlHook&) = delete;
    void attach(HWND control);
    HWND control() const { return control_; }
    // The control's own handling of a message.
    LRESULT original(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

private:
    static LRESULT CALLBACK hookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    HWND control_ = nullptr;
};

// Moves the focus to control as Tab does: an edit box has its text selected.
void focusAsTab(HWND control);

// Handles every message waiting in the thread's queue, then returns. Keys meant for a window
// made with dialogKeys go through IsDialogMessage. False when WM_QUIT was seen (it is posted
// again for the outer loop).
bool pumpMessages();

// Runs a modal loop over dialog: the owner is disabled, the dialog shown and activated, onShown
// called once from inside the loop, and the loop returns once `ended` is true or the dialog is
// gone. The owner is enabled again before the dialog is hidden, so the focus goes back to it.
// focus is the control that takes the focus when the dialog is first shown.
void runModal(HWND dialog, HWND owner, const bool& ended, HWND focus,
              const std::function<void(HWND)>& onShown);

// A message box over owner, right-aligned and read right to left.
MsgResult messageBox(HWND owner, const std::string& cp1255Text, const std::string& cp1255Title,
                     MsgIcon icon, MsgButtons buttons);

}  // namespace korvex::win32ui
