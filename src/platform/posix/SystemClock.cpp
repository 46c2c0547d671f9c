#include "platform/posix/SystemClock.h"

#include <ctime>
#include <mutex>
#include <thread>

namespace korvex {
namespace {

// std::localtime shares one buffer; the program has one thread, but tests may not.
std::mutex localtimeLock;

struct LocalMoment {
    std::tm fields{};
    double fraction = 0;  // of the current second
};

LocalMoment localNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    LocalMoment m;
    {
        std::lock_guard<std::mutex> hold(localtimeLock);
        if (const std::tm* t = std::localtime(&seconds)) m.fields = *t;
    }
    const auto sinceSecond = now - std::chrono::system_clock::from_time_t(seconds);
    m.fraction = std::chrono::duration<double>(sinceSecond).count();
    if (m.fraction < 0 || m.fraction >= 1) m.fraction = 0;
    return m;
}

}  // namespace

LocalDateTime SystemClock::now() {
    const LocalMoment m = localNow();
    return {m.fields.tm_year + 1900, m.fields.tm_mon + 1, m.fields.tm_mday,
            m.fields.tm_hour,        m.fields.tm_min,     m.fields.tm_sec};
}

double SystemClock::timeOfDay() {
    const LocalMoment m = localNow();
    return m.fields.tm_hour * 3600.0 + m.fields.tm_min * 60.0 + m.fields.tm_sec + m.fraction;
}

void SystemClock::sleep(std::chrono::milliseconds duration) {
    if (duration.count() > 0) std::this_thread::sleep_for(duration);
}

}  // namespace korvex
