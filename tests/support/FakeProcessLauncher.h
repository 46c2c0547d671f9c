#pragma once
// A ProcessLauncher that records what would run and answers as the test says.

#include <string>
#include <vector>

#include "platform/ProcessLauncher.h"

namespace korvex::test {

class FakeProcessLauncher : public ProcessLauncher {
public:
    struct Run {
        std::string script;
        std::vector<std::string> arguments;
        bool wait;
    };

    LaunchResult result{true, 0, {}};  // what every run answers
    bool priorityAccepted = true;

    std::vector<Run> runs;
    std::vector<int32_t> priorities;

    LaunchResult runScript(const std::string& scriptName, const std::vector<std::string>& arguments,
                           bool wait) override {
        runs.push_back({scriptName, arguments, wait});
        return result;
    }
    bool SetProcessPriority(int32_t priorityClass) override {
        priorities.push_back(priorityClass);
        return priorityAccepted;
    }
};

}  // namespace korvex::test
