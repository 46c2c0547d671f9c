#pragma once
// Runs the built korvex-tool with arguments and standard input. Built with KORVEX_WINE_COMPARISON,
// the tool tests also run korvex-tool.exe (named by KORVEX_WINDOWS_TOOL, cross-built for Windows)
// under Wine on every case, which must answer exactly as the Linux tool does.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

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

// The status is -1 when the program did not exit normally: a crash must never pass as a usage
// error.
inline ToolRun runProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& input) {
    TempFolder io;
    io.write("in", input);
    std::string command = program;
    for (const auto& a : args) command += " " + shellQuoted(a);
    command += " <" + shellQuoted((io / "in").string()) + " >" +
               shellQuoted((io / "out").string()) + " 2>" + shellQuoted((io / "err").string());
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, io.read("out"), io.read("err")};
}

inline ToolRun runTool(const std::vector<std::string>& args, const std::string& input = "") {
    const ToolRun run = runProgram(shellQuoted(KORVEX_TOOL_PATH), args, input);
#ifdef KORVEX_WINE_COMPARISON
    const ToolRun win =
        runProgram("wine " + shellQuoted(std::getenv("KORVEX_WINDOWS_TOOL")), args, input);
    EXPECT_EQ(win.status, run.status);
    EXPECT_EQ(win.out, run.out);
    EXPECT_EQ(win.err, run.err);
#endif
    return run;
}

struct ToolTest : ::testing::Test {
    void SetUp() override {
#ifdef KORVEX_WINE_COMPARISON
        const char* exe = std::getenv("KORVEX_WINDOWS_TOOL");
        if (exe == nullptr || *exe == '\0' || std::system("command -v wine >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "needs KORVEX_WINDOWS_TOOL and wine";
        ::setenv("LC_ALL", "C.UTF-8", 1);  // Wine reads the arguments in the locale's code page
        ::setenv("WINEDEBUG", "-all", 0);
        ::unsetenv("DISPLAY");
#endif
    }
};

}  // namespace korvex::test
