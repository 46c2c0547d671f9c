#pragma once
// The real clock: local time from the system, sleeps that block the calling thread.
// Standard C++ only, so every system can use it.

#include "platform/Clock.h"

namespace korvex {

class SystemClock : public Clock {
public:
    LocalDateTime now() override;
    double timeOfDay() override;
    void sleep(std::chrono::milliseconds duration) override;
};

}  // namespace korvex
