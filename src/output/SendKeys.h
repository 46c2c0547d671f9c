#pragma once
// The key engines that type a text in the key notation into the focused window:
//   VbSendKeys   one event at a time (keybd_event), with an optional wait before each key;
//   VbSendInput  the whole text collected first and inserted as one batch (SendInput);
//   SendKeysWait the batch followed by a wait until the target has the events (WaitMode);
//   VbSendPaste + PasteIntoForeground  the text as plain text through the clipboard.
// Each key engine keeps its own key tables, filled on its first call and kept for the run.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "output/KeyNotation.h"
#include "output/KeyTables.h"
#include "platform/KeyInjector.h"
#include "platform/PlatformResult.h"
#include "platform/Services.h"

namespace korvex {

// What became of one text handed to FeedStringToApp.
enum class FeedOutcome {
    Sent,       // handed to the chosen route
    Discarded,  // the target window was not found and the profile says to drop the text
    Failed,     // the route could not take it (the back end failed, or a text too long); logged
};

// One SendInput record: a key press (flags 0) or release (flags 2, KEYEVENTF_KEYUP). The extra
// information of the Windows record is always 0 and is not carried.
KeyEvent MakeKeyInput(uint8_t virtualKey, uint8_t scanCode, uint32_t flags);

// The plain text the clipboard route pastes for a text in the key notation: literal text as it
// stands, Enter and the keypad's Enter as CR LF, Tab, Space, Backspace, Escape and the keypad's
// operators as their characters, every other named key as nothing; modifiers are ignored.
std::string pasteTextOf(std::string_view text);

class modSendKeys {
public:
    // A text whose keys would take more events than this is refused whole: nothing of it is
    // typed and a line is logged. Real texts stay far below it; a repeat count in the billions
    // would otherwise hold the program for hours or exhaust memory.
    static constexpr uint64_t kMaxKeyEventsPerText = 100000;
    static constexpr uint64_t kMaxPasteBytes = 1000000;

    using TurnFunction = std::function<void()>;
    using LogFunction = std::function<void(const std::string&)>;
    using StopFunction = std::function<bool()>;

    // Uses the services as each engine needs them; `giveTurn` lets pending events run, for a
    // profile that yields while it waits between keys; `log` writes one diagnostics line;
    // `stopped` tells, after a turn of the event loop, that the program is ending (empty: never).
    modSendKeys(const KeyServices& services, TurnFunction giveTurn, LogFunction log,
                StopFunction stopped = {});

    // Each engine reports Ok, or the first failure of the back end (the rest of the text is still
    // sent, so that no modifier stays down) or Refused for a text it will not send (logged).

    // With `yield`, the event loop gets a turn around each wait; when the program starts ending
    // in one, the rest of the text is not typed.
    PlatformResult VbSendKeys(const std::string& text, int32_t delay, bool yield);
    // Ok when the injector inserted every event collected (and for a text without events).
    PlatformResult VbSendInput(const std::string& text);
    // The platform's own send-keys service with wait: the text's events as one batch, then a wait
    // until the target has them. Full stops are typed as the main keyboard's full stop.
    PlatformResult SendKeysWait(const std::string& text);
    // Puts the paste text on the clipboard; a failure when the clipboard could not be taken or
    // the text was refused.
    PlatformResult VbSendPaste(const std::string& text);
    // NotFound (logged with the platform's error number) when no window is in front.
    PlatformResult PasteIntoForeground();
    bool NumLockOn();

    const KeyTables& sendKeysTables() const { return sendKeysTables_; }
    const KeyTables& sendInputTables() const { return sendInputTables_; }

private:
    std::vector<KeyEvent> collect(const std::string& text, KeyTables& tables,
                                  PlatformResult& admitted);
    PlatformResult admit(const std::string& text, const KeyTables& tables);

    KeyServices services_;
    TurnFunction giveTurn_;
    LogFunction log_;
    StopFunction stopped_;
    KeyTables sendKeysTables_;
    KeyTables sendInputTables_;
    KeyTables waitModeTables_;
};

}  // namespace korvex
