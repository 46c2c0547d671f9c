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
        const char* name;
        std::function<void()> body;
        std::vector<std::string> expected;  // what happened, in order
    };
    const std::vector<Case> cases = {
        {"success", [] {}, {}},
        {"a failure of a step",
         [] { throw PipelineAbort(1101, "Cannot copy a to b"); },
         {"clean up", "Error #1101 - Cannot copy a to b"}},
        {"out of memory", [] { throw std::bad_alloc(); }, {"clean up", "Error #7 - Out of memory"}},
        {"a library refusing",
         [] { throw std::runtime_error("boom"); },
         {"clean up", "Error #51 - Internal error: boom"}},
        {"anything else", [] { throw 42; }, {"clean up", "Error #51 - Internal error"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> happened;
        runPipeline(
            c.body, [&] { happened.push_back("clean up"); },
            [&](const std::string& line) { happened.push_back(line); });
        EXPECT_EQ(happened, c.expected);
    }
}

TEST(PipelineFailure, AFailingCleanUpStillLeavesTheErrorLine) {
    std::vector<std::string> logged;
    runPipeline([] { throw PipelineAbort(5, "Invalid procedure call or argument"); },
                [] { throw std::runtime_error("profile gone"); },
                [&](const std::string& line) { logged.push_back(line); });
    EXPECT_EQ(logged, std::vector<std::string>{"Error #5 - Invalid procedure call or argument"});
}

}  // namespace
}  // namespace korvex
