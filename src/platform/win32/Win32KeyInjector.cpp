#include "platform/win32/Win32KeyInjector.h"

#include <string>

namespace korvex {
namespace {

INPUT keyboardRecord(WORD virtualKey, WORD scanCode, DWORD flags) {
    INPUT record{};
    record.type = INPUT_KEYBOARD;
    record.ki.wVk = virtualKey;
    record.ki.wScan = scanCode;
    record.ki.dwFlags = flags;
    record.ki.time = 0;
    record.ki.dwExtraInfo = 0;
    return record;
}

bool isCharacter(char32_t codePoint) {
    return codePoint <= 0x10FFFF && !(codePoint >= 0xD800 && codePoint <= 0xDFFF);
}

std::size_t recordsOf(const KeyEvent& event) {
    if (event.kind == KeyEvent::Kind::Key) return 1;
    return isCharacter(event.codePoint) && event.codePoint > 0xFFFF ? 2 : 1;
}

void appendRecords(const KeyEvent& event, std::vector<INPUT>& out) {
    const DWORD up = event.keyUp ? KEYEVENTF_KEYUP : 0;
    if (event.kind == KeyEvent::Kind::Key) {
        out.push_back(keyboardRecord(event.virtualKey, event.scanCode, up));
        return;
    }
    const char32_t c = isCharacter(event.codePoint) ? event.codePoint : U'\uFFFD';
    if (c <= 0xFFFF) {
        out.push_back(keyboardRecord(0, static_cast<WORD>(c), KEYEVENTF_UNICODE | up));
        return;
    }
    const char32_t v = c - 0x10000;
    out.push_back(keyboardRecord(0, static_cast<WORD>(0xD800 + (v >> 10)), KEYEVENTF_UNICODE | up));
    out.push_back(
        keyboardRecord(0, static_cast<WORD>(0xDC00 + (v & 0x3FF)), KEYEVENTF_UNICODE | up));
}

}  // namespace

std::vector<INPUT> makeInputRecords(const std::vector<KeyEvent>& events) {
    std::vector<INPUT> records;
    records.reserve(events.size());
    for (const KeyEvent& event : events) appendRecords(event, records);
    return records;
}

uint32_t eventsDelivered(const std::vector<KeyEvent>& events, uint32_t insertedRecords) {
    uint32_t delivered = 0;
    std::size_t used = 0;
    for (const KeyEvent& event : events) {
        used += recordsOf(event);
        if (used > insertedRecords) break;
        ++delivered;
    }
    return delivered;
}

PlatformResult Win32KeyInjector::sendKey(const KeyEvent& event) {
    if (event.kind == KeyEvent::Kind::Key) {
        // keybd_event reports nothing.
        ::keybd_event(event.virtualKey, event.scanCode, event.keyUp ? KEYEVENTF_KEYUP : 0, 0);
        return PlatformResult::ok();
    }
    // keybd_event has no Unicode form.
    return sendBatch({event});
}

PlatformResult Win32KeyInjector::sendBatch(const std::vector<KeyEvent>& events) {
    if (events.empty()) return PlatformResult::ok();
    std::vector<INPUT> records = makeInputRecords(events);
    // SendInput takes at most UINT records per call; texts are capped far below that upstream,
    // and a larger batch is refused whole rather than cut.
    if (records.size() > 0x7FFFFFFF) {
        return PlatformResult::failure(PlatformResult::Kind::Refused, "too many key events");
    }
    const UINT inserted =
        ::SendInput(static_cast<UINT>(records.size()), records.data(), sizeof(INPUT));
    lastError_ = inserted < records.size() ? ::GetLastError() : 0;
    if (inserted == records.size()) return PlatformResult::ok();
    // Input blocked by another thread (or by a more privileged window) leaves no error number.
    std::string message = "SendInput inserted " +
                          std::to_string(eventsDelivered(events, inserted)) + " of " +
                          std::to_string(events.size()) + " key events";
    if (lastError_ == 0) return PlatformResult::failure(PlatformResult::Kind::Refused, message);
    return PlatformResult::failure(PlatformResult::Kind::SystemError,
                                   message + " (error " + std::to_string(lastError_) + ")");
}

void Win32KeyInjector::waitUntilProcessed() {
    HWND target = ::GetForegroundWindow();
    if (target == nullptr) return;
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                          static_cast<UINT>(waitLimit_.count()), &answer);
}

}  // namespace korvex
