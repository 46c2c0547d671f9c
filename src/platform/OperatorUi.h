#pragma once
// Everything the operator sees, as the core asks for it: message boxes, input boxes, the tray,
// the splash, the details window and the other operator windows. The Qt shell implements it;
// tests use a scripted fake.
//
// All texts are Windows-1255. Message boxes are right-aligned and read right to left.

#include <cstdint>
#include <filesystem>
#include <string>

namespace korvex {

enum class MsgIcon { None, Stop, Exclamation, Question, Information };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No };

// The bank-selection debug window's results (bank, branch, account).
struct DebugWindowResult {
    std::string bank;
    std::string branch;
    std::string account;
};

// What the cheque pipeline hands to the manual-entry (frmChequeData) and full-details
// (frmChequeFull) dialogs, and what it reads back.
struct ChequeDialogInput {
    std::string ChequeNum, BankNum, BranchNum, AccountNum;
    // The VerifyCode box's caption; empty keeps the box hidden.
    std::string verifyCaption;
    uint8_t TabChar = 32;
    // Full-details dialog only: the cheque's front image (may not exist). A path for the disk:
    // the program folder it lies in may be named with characters Windows-1255 lacks.
    std::filesystem::path imageFile;
};

struct ChequeDialogResult {
    bool Cancelled = true;
    std::string MagtekLine, NonusLine;
    std::string AmountText, DateText;  // full-details dialog only
    bool VerifyCodeTicked = false;     // ignore the verification result
};

class OperatorUi {
public:
    virtual ~OperatorUi() = default;

    // --- message boxes and prompts -------------------------------------------------------
    virtual MsgResult messageBox(const std::string& text, const std::string& title, MsgIcon icon,
                                 MsgButtons buttons = MsgButtons::Ok) = 0;
    // An input box; returns the text typed, or "" when the operator cancelled.
    virtual std::string inputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText = {}) = 0;

    // --- the event loop --------------------------------------------------------------------
    // Lets pending window events run once (timer ticks, menu commands, repaints).
    virtual void doEvents() = 0;
    // The 100 ms polling timer (Timer1).
    virtual void setPollingTimerEnabled(bool enabled) = 0;
    virtual bool pollingTimerEnabled() const = 0;

    // --- splash ------------------------------------------------------------------------------
    // Shows the splash for at least displayMs after its first paint; modal waits until it closes.
    virtual void showSplash(int displayMs, bool modal) = 0;

    // --- tray --------------------------------------------------------------------------------
    // Adds the notification-area icon (program icon, default tooltip); false where the desktop
    // has no tray host, and the program runs on without one.
    virtual bool addTrayIcon() = 0;
    // The tooltip field: exactly 64 characters, a NUL after the text and blanks after that.
    virtual void setTrayTooltip(const std::string& tooltip64) = 0;
    // ChangeIcon: background colour, the program's icon over it, and when fontSize > 1 the
    // profile number (with its leading blank) in bold, in the text colour and size.
    virtual void changeIcon(uint8_t red, uint8_t green, uint8_t blue, int fontSize, uint8_t textRed,
                            uint8_t textGreen, uint8_t textBlue, int32_t profileNumber) = 0;
    // Profile menu item n (1-based), created enabled with its caption.
    virtual void addProfileMenuItem(int32_t number, const std::string& caption) = 0;
    // Returns false when item n does not exist.
    virtual bool setProfileMenuChecked(int32_t number, bool checked) = 0;
    // The placeholder item 0, "no profiles".
    virtual void setNoProfilesItemVisible(bool visible) = 0;
    virtual void setRenameCsvEnabled(bool enabled) = 0;
    virtual void removeTrayIcon() = 0;

    // --- details window ---------------------------------------------------------------------
    virtual bool detailsWindowExists() const = 0;
    virtual void detailsClearProfiles() = 0;
    virtual void detailsAddProfile(const std::string& name) = 0;
    // Selects entry index (0-based); false when there is no such entry.
    virtual bool detailsSelectProfile(int32_t index) = 0;
    virtual std::string detailsReaderData() const = 0;
    virtual void detailsSetReaderData(const std::string& text) = 0;  // caret goes to the end
    virtual void detailsSetLastDataSent(const std::string& text) = 0;
    // Creates the window when needed, shows it (never modal) restored, in front and focused.
    virtual void detailsShow() = 0;

    // --- cheque dialogs (modal; closing through the frame counts as Cancel) -----------------
    virtual ChequeDialogResult showChequeData(const ChequeDialogInput& input) = 0;
    virtual ChequeDialogResult showChequeFull(const ChequeDialogInput& input) = 0;

    // --- bank-selection debug window ----------------------------------------------------------
    // Shown modally; "Exit" ends the process inside the implementation and never returns.
    virtual DebugWindowResult showManualDebug() = 0;

    // --- image transfer window (frmFileXfer) ----------------------------------------------
    // Shows the window with the file name, not activated, topmost, at the bottom right of the
    // work area. A click on it hides it; the transfer goes on.
    virtual void fileXferShow(const std::string& fileName) = 0;
    // The progress bar: the filled fraction (0..1) and the text printed over it ("37% ").
    virtual void fileXferProgress(double fraction, const std::string& percentText) = 0;
    // Hides and unloads the window.
    virtual void fileXferClose() = 0;

    // --- ending ---------------------------------------------------------------------------------
    // Unloads the main window (tray icon removed, port closed by the core beforehand) and ends
    // the process with the given code. The fake records the call and returns.
    virtual void endProcess(int exitCode) = 0;
};

}  // namespace korvex
