#pragma once
// A clock that moves only when told to. sleep() advances it and records each sleep.

#include <chrono>
#include <vector>

#include "platform/Clock.h"

namespace korvex::test {

class FakeClock : public Clock {
public:
    explicit FakeClock(LocalDateTime start = {2026, 12, 6, 10, 30, 0}) { set(start); }

    LocalDateTime now() override { return LocalDateTime::fromSerialSeconds(millis_ / 1000); }
    double timeOfDay() override { return static_cast<double>(millis_ % 86'400'000) / 1000.0; }
    void sleep(std::chrono::milliseconds duration) override {
        sleeps.push_back(duration);
        advance(duration);
    }

    void set(const LocalDateTime& moment) { millis_ = moment.serialSeconds() * 1000; }
    void advance(std::chrono::milliseconds duration) { millis_ += duration.count(); }

    std::vector<std::chrono::milliseconds> sleeps;

private:
    int64_t millis_ = 0;
};

}  // namespace korvex::test
