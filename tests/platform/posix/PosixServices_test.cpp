#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>

#include "platform/posix/DebugSinkStderr.h"
#include "platform/posix/SystemClock.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

TEST(DebugSinkStderr, WritesOneUtf8LinePerCall) {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    DebugSinkStderr sink(stream);
    sink.write("06/12/2026 10:30:00 " + cp1255::fromUtf8("שלום") + "\r\n");
    sink.write("06/12/2026 10:30:01 \r\n");
    std::rewind(stream);
    char buffer[256] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, stream);
    std::fclose(stream);
    EXPECT_EQ(std::string(buffer, n), "06/12/2026 10:30:00 שלום\n06/12/2026 10:30:01 \n");
}

TEST(SystemClock, AgreesWithItselfAndSleeps) {
    SystemClock clock;
    const LocalDateTime now = clock.now();
    const double ofDay = clock.timeOfDay();
    const double fromNow = now.hour * 3600.0 + now.minute * 60.0 + now.second;
    // The two readings are a moment apart; around midnight the day wraps.
    const double gap = std::fmod(ofDay - fromNow + 86400.0, 86400.0);
    EXPECT_LT(gap, 2.0);
    EXPECT_GE(now.year, 2024);

    const auto before = std::chrono::steady_clock::now();
    clock.sleep(std::chrono::milliseconds(30));
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(30));
}

}  // namespace
}  // namespace korvex
