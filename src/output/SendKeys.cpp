#include "output/SendKeys.h"

#include <chrono>

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/KeyboardLayout.h"
#include "platform/OperatorUi.h"
#include "platform/WindowActivator.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

constexpr uint8_t kShift = 16, kControl = 17, kAlt = 18;
constexpr uint32_t kKeyUp = 2;

KeyEvent tableKey(const KeyMapEntry& e, bool keyUp) {
    return MakeKeyInput(static_cast<uint8_t>(e.VirtualKey), static_cast<uint8_t>(e.ScanCode),
                        keyUp ? kKeyUp : 0);
}

// The events of one repetition of a token, in order.
template <typename Emit>
void emitRepetition(const KeyToken& token, const KeyTables& tables, Emit&& emit) {
    if (token.VirtualKey) {
        const KeyMapEntry& e = tables.VirtualKeyTable[*token.VirtualKey];
        emit(tableKey(e, false));
        emit(tableKey(e, true));
        return;
    }
    for (const char c : token.Text) {
        const auto code = static_cast<unsigned char>(c);
        const KeyMapEntry& e = tables.CharKeyTable[code];
        if (e.NoKey) {
            const char32_t codePoint = cp1255::toUnicode(code);
            emit(KeyEvent::unicode(codePoint, false));
            emit(KeyEvent::unicode(codePoint, true));
            continue;
        }
        const bool shift = e.NeedsShift && !token.Shift;
        const bool control = e.NeedsControl && !token.Control;
        const bool alt = e.NeedsAlt && !token.Alt;
        if (shift) emit(tableKey(tables.VirtualKeyTable[kShift], false));
        if (control) emit(tableKey(tables.VirtualKeyTable[kControl], false));
        if (alt) emit(tableKey(tables.VirtualKeyTable[kAlt], false));
        emit(tableKey(e, false));
        emit(tableKey(e, true));
        // Released in the order they were pressed, as the prefix modifiers are.
        if (shift) emit(tableKey(tables.VirtualKeyTable[kShift], true));
        if (control) emit(tableKey(tables.VirtualKeyTable[kControl], true));
        if (alt) emit(tableKey(tables.VirtualKeyTable[kAlt], true));
    }
}

template <typename Emit>
void emitPrefixes(const KeyToken& token, const KeyTables& tables, bool keyUp, Emit&& emit) {
    if (token.Shift) emit(tableKey(tables.VirtualKeyTable[kShift], keyUp));
    if (token.Control) emit(tableKey(tables.VirtualKeyTable[kControl], keyUp));
    if (token.Alt) emit(tableKey(tables.VirtualKeyTable[kAlt], keyUp));
}

uint64_t eventsOfRepetition(const KeyToken& token, const KeyTables& tables) {
    uint64_t n = 0;
    emitRepetition(token, tables, [&n](const KeyEvent&) { ++n; });
    return n;
}

uint64_t repetitions(const KeyToken& token) {
    return token.RepeatCount > 0 ? static_cast<uint64_t>(token.RepeatCount) : 0;
}

// Key events a whole text takes; counting stops once the limit is passed.
uint64_t countEvents(std::string_view text, const KeyTables& tables, uint64_t limit) {
    uint64_t total = 0;
    KeyNotationReader reader(text);
    KeyToken token;
    while (total <= limit && reader.next(token)) {
        total += 2 * static_cast<uint64_t>(token.Shift + token.Control + token.Alt);
        total += repetitions(token) * eventsOfRepetition(token, tables);
    }
    return total;
}

void appendPasteOfKey(std::string& out, uint8_t code) {
    switch (code) {
        case 13:   // ENTER, ~
        case 108:  // SEPARATOR, NUMPADENTER
            out += "\r\n";
            break;
        case 9: out += '\t'; break;
        case 32: out += ' '; break;
        case 8: out += '\b'; break;
        case 27: out += '\x1b'; break;
        case 106: out += '*'; break;
        case 107: out += '+'; break;
        case 110: out += '.'; break;
        case 109: out += '-'; break;
        case 111: out += '/'; break;
        default: break;  // keys that type no character paste nothing
    }
}

// The paste text, or false when it would pass `limit` bytes.
bool buildPasteText(std::string_view text, uint64_t limit, std::string& out) {
    out.clear();
    KeyNotationReader reader(text);
    KeyToken token;
    while (reader.next(token)) {
        std::string once;
        if (token.VirtualKey) {
            appendPasteOfKey(once, *token.VirtualKey);
        } else {
            once = token.Text;
        }
        const uint64_t count = repetitions(token);
        if (once.empty() || count == 0) continue;
        if (count > (limit - out.size()) / once.size()) return false;
        for (uint64_t i = 0; i < count; ++i) out += once;
    }
    return true;
}

std::string replaceAll(const std::string& text, char from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == from) {
            out += to;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

KeyEvent MakeKeyInput(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) {
    return KeyEvent::key(virtualKey, scanCode, (flags & kKeyUp) != 0);
}

std::string pasteTextOf(std::string_view text) {
    std::string out;
    buildPasteText(text, UINT64_MAX, out);
    return out;
}

modSendKeys::modSendKeys(const KeyServices& services, TurnFunction giveTurn, LogFunction log,
                         StopFunction stopped)
    : services_(services),
      giveTurn_(std::move(giveTurn)),
      log_(std::move(log)),
      stopped_(std::move(stopped)) {}

PlatformResult modSendKeys::admit(const std::string& text, const KeyTables& tables) {
    const uint64_t events = countEvents(text, tables, kMaxKeyEventsPerText);
    if (events <= kMaxKeyEventsPerText) return PlatformResult::ok();
    const std::string why = "more than " + std::to_string(kMaxKeyEventsPerText) + " key events";
    if (log_) log_("Key text not sent: " + why);
    return PlatformResult::failure(PlatformResult::Kind::Refused, why);
}

PlatformResult modSendKeys::VbSendKeys(const std::string& text, int32_t delay, bool yield) {
    sendKeysTables_.fillOnce(services_.keyboardLayout);
    if (PlatformResult admitted = admit(text, sendKeysTables_); !admitted) return admitted;
    KeyInjector& keys = services_.keys;
    PlatformResult result;
    auto emit = [&keys, &result](const KeyEvent& e) {
        PlatformResult sent = keys.sendKey(e);
        if (!sent && result) result = std::move(sent);
    };
    // A turn of the event loop when the profile yields. Exit chosen in it stops the typing
    // there (false); the token's held modifiers are still released, so no key stays down.
    auto giveTurn = [this, yield] {
        if (!yield) return true;
        giveTurn_();
        return !(stopped_ && stopped_());
    };

    KeyNotationReader reader(text);
    KeyToken token;
    bool stop = false;
    while (!stop && reader.next(token)) {
        emitPrefixes(token, sendKeysTables_, false, emit);
        for (uint64_t i = 0, n = repetitions(token); i < n; ++i) {
            // The wait comes before the key, so even the first key of the text waits.
            if (delay > 0) {
                stop = !giveTurn();
                if (!stop) {
                    services_.clock.sleep(std::chrono::milliseconds(delay));
                    stop = !giveTurn();
                }
                if (stop) break;
            }
            emitRepetition(token, sendKeysTables_, emit);
        }
        emitPrefixes(token, sendKeysTables_, true, emit);
    }
    PlatformResult ended = keys.endOfText();
    return result ? ended : result;
}

std::vector<KeyEvent> modSendKeys::collect(const std::string& text, KeyTables& tables,
                                           PlatformResult& admitted) {
    std::vector<KeyEvent> events;
    tables.fillOnce(services_.keyboardLayout);
    admitted = admit(text, tables);
    if (!admitted) return events;
    auto emit = [&events](const KeyEvent& e) { events.push_back(e); };
    KeyNotationReader reader(text);
    KeyToken token;
    while (reader.next(token)) {
        emitPrefixes(token, tables, false, emit);
        for (uint64_t i = 0, n = repetitions(token); i < n; ++i)
            emitRepetition(token, tables, emit);
        emitPrefixes(token, tables, true, emit);
    }
    return events;
}

PlatformResult modSendKeys::VbSendInput(const std::string& text) {
    if (log_) log_("VbSendInput => " + text);
    // The full stop goes to the keypad's decimal key, so that amount fields that take only
    // keypad input get it; with Num Lock off it is switched on around the key.
    const std::string rewritten =
        replaceAll(text, '.', NumLockOn() ? "{DECIMAL}" : "{NUMLOCK}{DECIMAL}{NUMLOCK}");
    PlatformResult admitted;
    const std::vector<KeyEvent> events = collect(rewritten, sendInputTables_, admitted);
    if (!admitted) return admitted;
    if (events.empty()) return PlatformResult::ok();
    PlatformResult sent = services_.keys.sendBatch(events);
    PlatformResult ended = services_.keys.endOfText();
    return sent ? ended : sent;
}

PlatformResult modSendKeys::SendKeysWait(const std::string& text) {
    PlatformResult admitted;
    const std::vector<KeyEvent> events = collect(text, waitModeTables_, admitted);
    if (!admitted || events.empty()) return admitted;
    PlatformResult sent = services_.keys.sendBatch(events);
    services_.keys.waitUntilProcessed();
    PlatformResult ended = services_.keys.endOfText();
    return sent ? ended : sent;
}

PlatformResult modSendKeys::VbSendPaste(const std::string& text) {
    std::string paste;
    if (!buildPasteText(text, kMaxPasteBytes, paste)) {
        const std::string why = "more than " + std::to_string(kMaxPasteBytes) + " bytes";
        if (log_) log_("Key text not sent: " + why);
        return PlatformResult::failure(PlatformResult::Kind::Refused, why);
    }
    return services_.clipboard.setText(paste);
}

PlatformResult modSendKeys::PasteIntoForeground() {
    const uint64_t window = services_.windows.foregroundWindow();
    if (window != 0) return services_.clipboard.paste(window);
    const uint32_t error = services_.windows.lastError();
    if (log_) {
        log_("Cannot find target");
        log_(std::to_string(error));
    }
    return PlatformResult::failure(
        PlatformResult::Kind::NotFound,
        "no window in front to paste into (error " + std::to_string(error) + ")");
}

bool modSendKeys::NumLockOn() { return services_.keyboardLayout.getKeyState(144) != 0; }

}  // namespace korvex
