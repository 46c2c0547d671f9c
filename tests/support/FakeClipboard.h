#pragma once
// A clipboard that holds its text in memory, can refuse to be taken, and records paste commands.

#include <string>
#include <vector>

#include "output/KeyEventText.h"
#include "platform/Clipboard.h"

namespace korvex::test {

class FakeClipboard : public Clipboard {
public:
    bool refuse = false;
    std::string text = "earlier content";
    std::vector<uint64_t> pastes;  // the window of each paste command
    // Appended to the journal of a RecordingKeyInjector, when set, as "paste TEXT" (escaped).
    std::vector<std::string>* journal = nullptr;

    PlatformResult setText(const std::string& newText) override {
        if (refuse) {
            return PlatformResult::failure(PlatformResult::Kind::Refused,
                                           "another program holds the clipboard");
        }
        text = newText;
        return PlatformResult::ok();
    }
    PlatformResult paste(uint64_t window) override {
        pastes.push_back(window);
        if (journal != nullptr) journal->push_back("paste " + escapeControlCharacters(text));
        return PlatformResult::ok();
    }
};

}  // namespace korvex::test
