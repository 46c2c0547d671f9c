#pragma once
// The operator's dialogs and the details window on plain Win32, laid out right to left. The
// Win32 OperatorUi creates them; the window tests drive them through their messages.
//
// Modal dialogs take an `onShown` callback, run once the dialog is up and inside its message
// loop: a test types into the controls, clicks through them and reads the result, as an operator
// would. The control identifiers are in ui/win32/ControlIds.h.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/OperatorUi.h"
#include "platform/win32/Win32Api.h"
#include "ui/ShellHooks.h"

namespace korvex::win32ui {

using OnShown = std::function<void(HWND dialog)>;

// The manual-entry dialog (frmChequeData), modal over owner (which may be null).
ChequeDialogResult runChequeData(HWND owner, const ChequeDialogInput& input,
                                 const OnShown& onShown = {});

// The full-details dialog (frmChequeFull): the fields, the cheque's image, the amount and the
// masked date box, which starts at the given date.
struct CalendarDate {
    int day, month, year;
};
ChequeDialogResult runChequeFull(HWND owner, const ChequeDialogInput& input, CalendarDate today,
                                 const OnShown& onShown = {});

// The bank-selection debug window (frmManuallDebug). One per run: its boxes keep the last
// choices. Its "Exit" calls terminateAtOnce and does not return.
class ManualDebugWindow {
public:
    explicit ManualDebugWindow(std::function<void(int)> terminateAtOnce);
    ~ManualDebugWindow();
    DebugWindowResult run(HWND owner, const OnShown& onShown = {});

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The details window (frmDetails): created on first use and kept; closing it only resets its
// contents. Never modal.
class DetailsWindow {
public:
    explicit DetailsWindow(ui::DetailsHooks hooks);
    ~DetailsWindow();
    void clearProfiles();
    void addProfile(const std::string& name);
    bool selectProfile(int32_t index);  // 0-based, without calling back; false when none
    std::string readerData() const;
    void setReaderData(const std::string& text);  // caret to the end
    void setLastDataSent(const std::string& text);
    void showDetails();  // shown, restored, in front, focused
    HWND hwnd() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace korvex::win32ui
