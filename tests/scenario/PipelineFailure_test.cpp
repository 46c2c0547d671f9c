// The pipelines' single error path: what reaches the diagnostics log, and in which order.
#include "interpret/PipelineFailure.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvex {
namespace {

// What happened, in order, when `body` runs; the clean-up fails when told to.
std::vector<std::string> run(const std::function<void()>& body, bool cleanUpFails = false) {
    std::vector<std::string> happened;
    runPipeline(
        body,
        [&] {
            happened.push_back("clean up");
            if (cleanUpFails) throw std::runtime_error("profile gone");
        },
        [&](const std::string& line) { happened.push_back(line); });
    return happened;
}

TEST(PipelineFailure, EveryKindOfFailureEndsAsOneErrorLineAfterTheCleanUp) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(run([] {}), Lines{});
    EXPECT_EQ(run([] { throw PipelineAbort(1101, "Cannot copy a to b"); }),
              (Lines{"clean up", "Error #1101 - Cannot copy a to b"}));
    EXPECT_EQ(run([] { throw std::bad_alloc(); }), (Lines{"clean up", "Error #7 - Out of memory"}));
    EXPECT_EQ(run([] { throw std::runtime_error("boom"); }),
              (Lines{"clean up", "Error #51 - Internal error: boom"}));
    // A failing clean-up still leaves the error line.
    EXPECT_EQ(run([] { throw 42; }, true), (Lines{"clean up", "Error #51 - Internal error"}));
}

}  // namespace
}  // namespace korvex
