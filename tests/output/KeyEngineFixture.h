#pragma once
// The fakes the key-engine tests type through, wired into one modSendKeys. Every effect (key
// events, batches, sleeps, yields, paste commands) lands in one journal.

#include <string>
#include <vector>

#include "support/FakeClipboard.h"
#include "support/FakeKeyboardLayout.h"
#include "support/FakeWindowActivator.h"
#include "support/RecordingKeyInjector.h"
#include "output/SendKeys.h"

namespace korvex::test {

struct KeyEngineFixture {
    RecordingKeyInjector keys;
    JournalClock clock{keys.journal};
    JournalUi ui{keys.journal};
    FakeKeyboardLayout layout;
    FakeWindowActivator windows;
    FakeClipboard clipboard;
    std::vector<std::string> log;
    modSendKeys engines{services(), [this](const std::string& line) { log.push_back(line); }};

    Services services() {
        Services s;
        s.clock = &clock;
        s.ui = &ui;
        s.keyboardLayout = &layout;
        s.keys = &keys;
        s.windows = &windows;
        s.clipboard = &clipboard;
        return s;
    }
    KeyEngineFixture() { clipboard.journal = &keys.journal; }
};

}  // namespace korvex::test
