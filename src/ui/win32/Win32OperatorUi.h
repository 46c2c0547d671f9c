#pragma once
// OperatorUi on plain Win32: message boxes, the input box, the event loop and the 100 ms polling
// timer, the splash, the tray, the transfer window and the end of the process. The details window,
// the cheque dialogs and the debug window are the ones of Win32Windows.h.
//
// One hidden top-level window (class kMessageWindowClass) owns the polling timer, receives the
// tray icon's callbacks and the popup menu's commands, and hears the session end.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/OperatorUi.h"
#include "platform/win32/Win32Api.h"
#include "ui/ShellHooks.h"
#include "ui/win32/Win32Windows.h"

namespace korvex::win32ui {

inline constexpr const wchar_t* kMessageWindowClass = L"KorvexMessageWindow";

// The popup menu's command identifiers, as WM_COMMAND carries them to the message window. Profile
// item n is kMenuProfileBase + n (item 0 is the "no profiles" placeholder).
enum MenuCommand : UINT {
    kMenuRenameCsv = 40001,
    kMenuDetails = 40002,
    kMenuExit = 40003,
    kMenuProfileBase = 41000,
};

// The input box's controls.
enum InputBoxControl : int { kInputBoxEdit = 100, kInputBoxPrompt = 101 };

// The input box, modal over owner (may be null): the text typed, or "" after Cancel, Escape or
// closing it through its frame. Texts are Windows-1255.
std::string runInputBox(HWND owner, const std::string& prompt, const std::string& title,
                        const std::string& defaultText, const OnShown& onShown = {});

class Win32OperatorUi : public OperatorUi {
public:
    struct Hooks {
        std::function<void()> timerTick;  // frmKorvex::Timer1_Timer
        ui::TrayHooks tray;
        ui::DetailsHooks details;
        // The desktop session ends (log off, shut down) or the program is asked to close
        // (WM_CLOSE to its window): the orderly shutdown.
        std::function<void()> sessionEnding;
        // How the process ends after endProcess has hidden everything (default: the main
        // message loop ends with the code); "Exit" of the debug window (default: at once).
        std::function<void(int)> endProcess;
        std::function<void(int)> terminateAtOnce;
    };

    Win32OperatorUi();
    ~Win32OperatorUi() override;
    Win32OperatorUi(const Win32OperatorUi&) = delete;
    Win32OperatorUi& operator=(const Win32OperatorUi&) = delete;

    void setHooks(Hooks hooks);

    HWND messageWindow() const;
    HMENU trayMenu() const;
    HWND fileXferWindow() const;   // null when not loaded
    HWND fileXferPicture() const;  // the progress picture; its window text is the percentage

    // Runs the main message loop until endProcess (or WM_QUIT); returns the exit code.
    int run();

    // --- OperatorUi ---
    MsgResult messageBox(const std::string& text, const std::string& title, MsgIcon icon,
                         MsgButtons buttons) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void doEvents() override;
    void setPollingTimerEnabled(bool enabled) override;
    bool pollingTimerEnabled() const override;
    void showSplash(int displayMs, bool modal) override;
    bool addTrayIcon() override;
    void setTrayTooltip(const std::string& tooltip64) override;
    void changeIcon(uint8_t red, uint8_t green, uint8_t blue, int fontSize, uint8_t textRed,
                    uint8_t textGreen, uint8_t textBlue, int32_t profileNumber) override;
    void addProfileMenuItem(int32_t number, const std::string& caption) override;
    bool setProfileMenuChecked(int32_t number, bool checked) override;
    void setNoProfilesItemVisible(bool visible) override;
    void setRenameCsvEnabled(bool enabled) override;
    void removeTrayIcon() override;
    bool detailsWindowExists() const override;
    void detailsClearProfiles() override;
    void detailsAddProfile(const std::string& name) override;
    bool detailsSelectProfile(int32_t index) override;
    std::string detailsReaderData() const override;
    void detailsSetReaderData(const std::string& text) override;
    void detailsSetLastDataSent(const std::string& text) override;
    void detailsShow() override;
    ChequeDialogResult showChequeData(const ChequeDialogInput& input) override;
    ChequeDialogResult showChequeFull(const ChequeDialogInput& input) override;
    DebugWindowResult showManualDebug() override;
    void fileXferShow(const std::string& fileName) override;
    void fileXferProgress(double fraction, const std::string& percentText) override;
    void fileXferClose() override;
    void endProcess(int exitCode) override;

    // The state, open to this file's window procedures.
    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace korvex::win32ui
