#pragma once
// Window activation for tests: a list of window titles; appActivate matches as the real back ends
// do (equal, then starts with, then contains; letter case ignored) and records every call.

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/WindowActivator.h"

namespace korvex::test {

class FakeWindowActivator : public WindowActivator {
public:
    std::vector<std::string> titles;
    std::vector<std::string> calls;  // every appActivate argument
    std::string active;              // title of the window last activated
    uint64_t foreground = 1;         // what foregroundWindow answers
    uint32_t error = 1400;           // what lastError answers
    // Appended to the journal of a RecordingKeyInjector, when set, as "activate TITLE ok|fail".
    std::vector<std::string>* journal = nullptr;

    PlatformResult appActivate(const std::string& title) override {
        calls.push_back(title);
        const std::string* found = match(title);
        if (found != nullptr) active = *found;
        if (journal != nullptr) journal->push_back("activate " + title + (found ? " ok" : " fail"));
        if (found != nullptr) return PlatformResult::ok();
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
    const std::string* match(const std::string& title) const {
        if (title.empty()) return nullptr;
        const std::string want = lower(title);
        for (int rule = 0; rule < 3; ++rule) {
            for (const auto& t : titles) {
                const std::string have = lower(t);
                const bool hit = rule == 0   ? have == want
                                 : rule == 1 ? have.rfind(want, 0) == 0
                                             : have.find(want) != std::string::npos;
                if (hit) return &t;
            }
        }
        return nullptr;
    }
};

}  // namespace korvex::test
