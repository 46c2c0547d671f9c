#pragma once
// The real clock: local wall-clock time from the standard library, sleeping the calling thread.
// Standard C++ only and defined here in full, so every build (the Windows one too, which has no
// POSIX back-end library) can use it.

#include <chrono>
#include <ctime>
#include <thread>

#include "platform/Clock.h"

namespace korvex {

class SystemClock : public Clock {
public:
    LocalDateTime now() override {
        const std::tm local =
            localTime(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
        LocalDateTime t;
        t.year = local.tm_year + 1900;
        t.month = local.tm_mon + 1;
        t.day = local.tm_mday;
        t.hour = local.tm_hour;
        t.minute = local.tm_min;
        t.second = local.tm_sec;
        return t;
    }

    double timeOfDay() override {
        const auto moment = std::chrono::system_clock::now();
        const std::time_t seconds = std::chrono::system_clock::to_time_t(moment);
        const std::tm local = localTime(seconds);
        const auto fraction = moment - std::chrono::system_clock::from_time_t(seconds);
        return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
               std::chrono::duration<double>(fraction).count();
    }

    void sleep(std::chrono::milliseconds duration) override {
        if (duration.count() > 0) std::this_thread::sleep_for(duration);
    }

private:
    // The user-interface thread is the only caller, so the shared result of std::localtime is
    // safe to copy here.
    static std::tm localTime(std::time_t seconds) {
        const std::tm* local = std::localtime(&seconds);
        return local != nullptr ? *local : std::tm{};
    }
};

}  // namespace korvex
