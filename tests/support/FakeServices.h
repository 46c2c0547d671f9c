#pragma once
// A fake for every platform service and the Services bundle that points at them. Sleeps, event
// turns, timer switches, activations and paste commands also go into the key journal, so one
// vector holds the whole sequence a test compares.

#include "platform/Services.h"
#include "support/FakeClipboard.h"
#include "support/FakeClock.h"
#include "support/FakeHttpClient.h"
#include "output/UsKeyboardLayout.h"
#include "support/FakeProcessLauncher.h"
#include "support/FakeSerialPort.h"
#include "support/FakeWindowActivator.h"
#include "support/RecordingDebugSink.h"
#include "support/RecordingKeyInjector.h"
#include "support/ScriptedOperatorUi.h"

namespace korvex::test {

struct FakeServices {
    RecordingKeyInjector keys;
    JournalClock clock{keys.journal};
    JournalUi ui{keys.journal};
    FakeSerialPort port;
    RecordingDebugSink debug;
    FakeHttpClient http;
    FakeProcessLauncher processes;
    UsKeyboardLayout layout;
    FakeWindowActivator windows;
    FakeClipboard clipboard;

    FakeServices() {
        windows.journal = &keys.journal;
        clipboard.journal = &keys.journal;
    }
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;

    Services services() {
        return {clock, debug, ui, port, http, processes, layout, keys, windows, clipboard};
    }
};

}  // namespace korvex::test
