#pragma once
// A key injector that records everything the engines do, in order, as lines of text:
//   "down VK SCAN", "up VK SCAN", "unicode CP down|up", "batch N" (followed by the batch's events),
//   "wait" (waitUntilProcessed). JournalClock and JournalUi add "sleep MS", "yield" and the timer
// switches to the same journal, so one vector holds the whole sequence a test compares.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "ScriptedOperatorUi.h"
#include "output/KeyEventText.h"
#include "platform/KeyInjector.h"

namespace korvex::test {

// A recorded sequence, and helpers to build expected ones: a + b joins, times(n, a) repeats.
using Journal = std::vector<std::string>;
inline Journal operator+(Journal a, const Journal& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline Journal times(int n, const Journal& part) {
    Journal out;
    for (int i = 0; i < n; ++i) out = out + part;
    return out;
}

class RecordingKeyInjector : public KeyInjector {
public:
    // How many events of a batch the injector claims to insert; negative: all of them.
    int batchAcceptLimit = -1;
    // What every sendKey and sendBatch answers after recording the events (Ok: they went).
    PlatformResult failure;
    // Runs as each event or batch arrives, before it is recorded (a benchmark takes its time).
    std::function<void()> onSend;

    PlatformResult sendKey(const KeyEvent& event) override {
        if (onSend) onSend();
        events.push_back(event);
        journal.push_back(describeKeyEvent(event));
        return failure;
    }
    PlatformResult sendBatch(const std::vector<KeyEvent>& batch) override {
        if (onSend) onSend();
        ++batches;
        journal.push_back("batch " + std::to_string(batch.size()));
        for (const auto& e : batch) {
            events.push_back(e);
            journal.push_back(describeKeyEvent(e));
        }
        if (batchAcceptLimit >= 0 && static_cast<std::size_t>(batchAcceptLimit) < batch.size()) {
            return PlatformResult::failure(PlatformResult::Kind::Refused,
                                           "inserted " + std::to_string(batchAcceptLimit) + " of " +
                                               std::to_string(batch.size()) + " events");
        }
        return failure;
    }
    void waitUntilProcessed() override { journal.push_back("wait"); }
    PlatformResult endOfText() override {
        ++endOfTextCalls;
        return PlatformResult::ok();
    }

    std::vector<std::string> journal;
    std::vector<KeyEvent> events;
    int batches = 0;
    int endOfTextCalls = 0;
};

// A FakeClock whose sleeps also go into an injector's journal.
class JournalClock : public FakeClock {
public:
    explicit JournalClock(std::vector<std::string>& journal) : journal_(journal) {}
    void sleep(std::chrono::milliseconds duration) override {
        journal_.push_back("sleep " + std::to_string(duration.count()));
        FakeClock::sleep(duration);
    }

private:
    std::vector<std::string>& journal_;
};

// A ScriptedOperatorUi whose doEvents calls ("yield") and polling-timer switches ("timer on",
// "timer off") also go into an injector's journal.
class JournalUi : public ScriptedOperatorUi {
public:
    explicit JournalUi(std::vector<std::string>& journal) : journal_(journal) {}
    void doEvents() override {
        journal_.push_back("yield");
        ScriptedOperatorUi::doEvents();
    }
    void setPollingTimerEnabled(bool enabled) override {
        journal_.push_back(enabled ? "timer on" : "timer off");
        ScriptedOperatorUi::setPollingTimerEnabled(enabled);
    }

private:
    std::vector<std::string>& journal_;
};

}  // namespace korvex::test
