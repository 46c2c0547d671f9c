#pragma once
// Window activation for tests: a list of window titles that appActivate finds as the real back
// ends do, and a journal of its calls.

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/WindowActivator.h"

namespace korvex::test {

class FakeWindowActivator : public WindowActivator {
public:
    std::vector<std::string> titles;
    uint64_t foreground = 1;  // what foregroundWindow answers
    uint32_t error = 1400;    // what lastError answers
    // Appended to the journal of a RecordingKeyInjector, when set, as "activate TITLE ok|fail".
    std::vector<std::string>* journal = nullptr;

    PlatformResult appActivate(const std::string& title) override {
        const bool found = match(title);
        if (journal != nullptr) journal->push_back("activate " + title + (found ? " ok" : " fail"));
        if (found) return PlatformResult::ok();
        return PlatformResult::failure(PlatformResult::Kind::NotFound, "no window has this title");
    }
    uint64_t foregroundWindow() override { return foreground; }
    uint32_t lastError() override { return error; }

private:
    static std::string lower(std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    }
    // A title holds it, letter case ignored (the back ends prefer an equal title, then one that
    // starts with it, which only matters for which window they pick).
    bool match(const std::string& title) const {
        const std::string want = lower(title);
        for (const auto& t : titles) {
            if (!want.empty() && lower(t).find(want) != std::string::npos) return true;
        }
        return false;
    }
};

}  // namespace korvex::test
