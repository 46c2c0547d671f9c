#pragma once
// Runs a build of korvex-tool with arguments and standard input; shared by the tool tests and the
// comparison of the Windows build with the Linux one.

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

// `program` is a shell command prefix. The status is -1 when the program did not exit normally:
// a crash must never pass as a usage error.
inline ToolRun runTool(const std::vector<std::string>& args, const std::string& input = "",
                       const std::string& program = shellQuoted(KORVEX_TOOL_PATH)) {
    TempFolder io;
    io.write("in", input);
    std::string command = program;
    for (const auto& a : args) command += " " + shellQuoted(a);
    command += " <" + shellQuoted((io / "in").string()) + " >" +
               shellQuoted((io / "out").string()) + " 2>" + shellQuoted((io / "err").string());
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, io.read("out"), io.read("err")};
}

inline std::string shown(const std::vector<std::string>& args) {
    std::string text;
    for (const auto& a : args) text += " [" + a + "]";
    return text;
}

}  // namespace korvex::test
