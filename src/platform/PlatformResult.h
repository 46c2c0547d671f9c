#pragma once
// What a platform call that acts on the desktop (key injection, the clipboard, window
// activation) reports: Ok, or the kind of failure and a message for the diagnostics log.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace korvex {

struct PlatformResult {
    enum class Kind : uint8_t {
        Ok,
        NotFound,     // nothing answers to the request (no window with the title, none in front)
        Refused,      // the target or the system would not take it (focus, a held clipboard,
                      // input blocked part way, a text too long to send)
        Unavailable,  // no such service in this session (no X display, no XTest, no clipboard)
        SystemError,  // an operating-system call failed (an X error, GetLastError)
    };

    Kind kind = Kind::Ok;
    std::string message;

    static PlatformResult ok() { return {}; }
    static PlatformResult failure(Kind kind, std::string message) {
        return {kind, std::move(message)};
    }

    explicit operator bool() const { return kind == Kind::Ok; }

    // "kind: message" for the log, e.g. "system error: X error BadWindow after activation".
    std::string describe() const {
        static const char* const names[] = {"ok", "not found", "refused", "unavailable",
                                            "system error"};
        std::string out = names[static_cast<std::size_t>(kind)];
        if (!message.empty()) out += ": " + message;
        return out;
    }
};

}  // namespace korvex
