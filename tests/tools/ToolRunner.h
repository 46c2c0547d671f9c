#pragma once
// Runs the built korvex-tool with arguments and standard input; shared by the tool tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "support/TempFolder.h"

namespace korvex::test {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

inline std::string shellQuoted(const std::string& arg) {
    std::string q = "'";
    for (const char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Starts korvex-tool with `args` and `input` on standard input; the exit status is -1 when the
// program did not exit normally (a crash must never pass as a usage error).
inline ToolRun runTool(const std::vector<std::string>& args, const std::string& input = "") {
    TempFolder io;
    io.write("in.txt", input);
    std::string command = shellQuoted(KORVEX_TOOL_PATH);
    for (const auto& a : args) command += " " + shellQuoted(a);
    command += " < " + shellQuoted((io / "in.txt").string()) + " > " +
               shellQuoted((io / "out.txt").string()) + " 2> " +
               shellQuoted((io / "err.txt").string());
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = io.read("out.txt");
    run.err = io.read("err.txt");
    return run;
}

inline std::string shown(const std::vector<std::string>& args) {
    std::string text;
    for (const auto& a : args) text += " [" + a + "]";
    return text;
}

struct ToolCase {
    std::vector<std::string> args;
    int status;
    std::string out;
};

inline void expectRuns(const std::vector<ToolCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(shown(c.args));
        const ToolRun run = runTool(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
}

// Each argument list must end with status 2, nothing on standard output and the usage text of
// `command` on standard error.
inline void expectUsageErrors(const std::vector<std::vector<std::string>>& argLists,
                              const std::string& command) {
    for (const auto& args : argLists) {
        SCOPED_TRACE(shown(args));
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage: korvex-tool " + command), std::string::npos) << run.err;
    }
}

}  // namespace korvex::test
