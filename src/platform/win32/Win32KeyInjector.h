#pragma once
// Key injection through the Windows input functions: keybd_event for one event at a time,
// SendInput for a batch, KEYEVENTF_UNICODE for a character typed as itself.
//
// A Unicode event becomes one INPUT record per UTF-16 unit, so a character outside the Basic
// Multilingual Plane takes two records (a surrogate pair) that Windows delivers together.

#include <chrono>
#include <cstdint>
#include <vector>

#include "platform/KeyInjector.h"
#include "platform/win32/Win32Api.h"

namespace korvex {

// The SendInput records of the events, in order. A key event is one keyboard record with the
// virtual-key code and scan code (KEYEVENTF_KEYUP on a release); a Unicode event is one record
// per UTF-16 unit with wVk 0 and KEYEVENTF_UNICODE. A code point that is no character (a lone
// surrogate, beyond U+10FFFF) is typed as U+FFFD, so that it is seen rather than lost.
std::vector<INPUT> makeInputRecords(const std::vector<KeyEvent>& events);

// How many of the events lie wholly within the first `insertedRecords` records: the count of
// events SendInput delivered when it inserted that many records.
uint32_t eventsDelivered(const std::vector<KeyEvent>& events, uint32_t insertedRecords);

class Win32KeyInjector : public KeyInjector {
public:
    // `waitLimit` bounds waitUntilProcessed, so a target that hangs cannot hold the program.
    explicit Win32KeyInjector(std::chrono::milliseconds waitLimit = std::chrono::milliseconds(5000))
        : waitLimit_(waitLimit) {}

    // keybd_event; a Unicode event, which keybd_event cannot carry, goes through SendInput.
    PlatformResult sendKey(const KeyEvent& event) override;
    // One SendInput call with every record; a failure tells how many events it inserted whole.
    PlatformResult sendBatch(const std::vector<KeyEvent>& events) override;
    // Sends WM_NULL to the foreground window with SendMessageTimeout: it returns once the
    // window's thread has come back to its message loop after the input queued so far reached
    // its queue, or when the time limit has passed (also when the target does not answer).
    void waitUntilProcessed() override;
    // Nothing is borrowed on Windows.
    PlatformResult endOfText() override { return PlatformResult::ok(); }

    // GetLastError of the last SendInput call that inserted fewer records than given (0: none).
    DWORD lastError() const { return lastError_; }

private:
    std::chrono::milliseconds waitLimit_;
    DWORD lastError_ = 0;
};

}  // namespace korvex
