// The pipelines' single error path: what reaches the diagnostics log, and in which order.
#include "interpret/PipelineFailure.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvex {
namespace {

TEST(PipelineFailure, EveryKindOfFailureEndsAsOneErrorLineAfterTheCleanUp) {
    struct Case {
        std::function<void()> body;
        bool cleanUpFails;
        std::vector<std::string> expected;  // what happened, in order
    };
    const std::vector<Case> cases = {
        {[] {}, false, {}},
        {[] { throw PipelineAbort(1101, "Cannot copy a to b"); },
         false,
         {"clean up", "Error #1101 - Cannot copy a to b"}},
        {[] { throw std::bad_alloc(); }, false, {"clean up", "Error #7 - Out of memory"}},
        {[] { throw std::runtime_error("boom"); },
         false,
         {"clean up", "Error #51 - Internal error: boom"}},
        {[] { throw 42; }, false, {"clean up", "Error #51 - Internal error"}},
        // A failing clean-up still leaves the error line.
        {[] { throw PipelineAbort(5, "Invalid"); }, true, {"clean up", "Error #5 - Invalid"}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        std::vector<std::string> happened;
        runPipeline(
            cases[i].body,
            [&] {
                happened.push_back("clean up");
                if (cases[i].cleanUpFails) throw std::runtime_error("profile gone");
            },
            [&](const std::string& line) { happened.push_back(line); });
        EXPECT_EQ(happened, cases[i].expected);
    }
}

}  // namespace
}  // namespace korvex
