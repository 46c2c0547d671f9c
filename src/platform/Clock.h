#pragma once
// Time as the system sees it. The core never reads the clock or sleeps by itself: it asks Clock,
// so that tests drive time by hand.

#include <chrono>
#include <cstdint>
#include <string>

namespace korvex {

// A local wall-clock moment, to the second.
struct LocalDateTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Days since 1970-01-01 of the date (proleptic Gregorian).
    int64_t dayNumber() const;
    // Seconds since 1970-01-01 00:00:00 of this local moment (no time zone involved).
    int64_t serialSeconds() const;
    static LocalDateTime fromSerialSeconds(int64_t seconds);

    // Number of second boundaries / midnights from `earlier` to this moment.
    int64_t secondsSince(const LocalDateTime& earlier) const {
        return serialSeconds() - earlier.serialSeconds();
    }
    int64_t calendarDaysSince(const LocalDateTime& earlier) const {
        return dayNumber() - earlier.dayNumber();
    }

    // "dd/mm/yyyy hh:mm:ss": the general date format of the diagnostics log.
    std::string generalDateText() const;

    bool operator==(const LocalDateTime&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    // The present local date and time.
    virtual LocalDateTime now() = 0;
    // Seconds since local midnight, with a fraction; wraps to 0 at midnight.
    virtual double timeOfDay() = 0;
    // Blocks the calling thread; no events are processed meanwhile.
    virtual void sleep(std::chrono::milliseconds duration) = 0;
};

}  // namespace korvex
