// korvex-tool as built: only what the tool adds (options, code page at the edges, files, input,
// exit status). With KORVEX_WINE_COMPARISON korvex-tool.exe must answer the same under Wine.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "support/TempFolder.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

// "a|b" as the shell words 'a' 'b'.
std::string shellWords(const std::string& args) {
    std::string q = "'";
    for (const char c : args) q += c == '\'' ? "'\\''" : c == '|' ? "' '" : std::string(1, c);
    return q + "'";
}

// The arguments split at "|". A crash is no exit status the tests expect.
ToolRun runProgram(const std::string& program, const std::string& args, const std::string& input) {
    test::TempFolder io;
    io.write("in", input);
    const std::string command = "cd " + shellWords(io.path().string()) + " && " + program + " " +
                                shellWords(args) + " <in >out 2>err";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, io.read("out"), io.read("err")};
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

// Standard error must hold `err`.
struct ToolCase {
    std::string args;
    int status;
    std::string out, err = {}, input = {};
};

void expectRuns(const std::vector<ToolCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = runProgram(shellWords(KORVEX_TOOL_PATH), c.args, c.input);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
#ifdef KORVEX_WINE_COMPARISON
        const ToolRun win =
            runProgram("wine " + shellWords(std::getenv("KORVEX_WINDOWS_TOOL")), c.args, c.input);
        EXPECT_EQ(std::tie(win.status, win.out, win.err), std::tie(run.status, run.out, run.err));
#endif
    }
}

TEST_F(ToolTest, CommandsPrintWhatTheProgramWouldDo) {
    test::TempFolder folder;
    const std::string ini =
        cp1255::fromUtf8("[Config]\r\nPort=3\r\n[פרופיל 1]\r\nRed=1\r\nEmpty=\r\n[B]\r\n");
    folder.write("Korvex é/t.ini", ini);  // a folder name Windows-1255 cannot write
    folder.write("banks.txt", "12,300,399,7,0,0,0\r\n");
    folder.write("bad/Korvex.ini",
                 cp1255::fromUtf8("[Config]\r\nColour=1\r\n[פרופיל 1]\r\nZ=1\r\n"));
    const std::string f = folder.path().string() + "/";
    const std::string ver = "verify|--branches|" + f, at = "|--at|2006-02-01 09:07:05|";
    expectRuns({
        {"classify|A123 C12A456E 7890C|NO MICR|", 0, "1\tA123 C12A456E 7890C\n3\tNO MICR\n0\t\n"},
        {"groups|A0012345C12A456E1234567A", 0, "0012345\n12\n456\n1234567\n"},
        {ver + "banks.txt|12|345|000123456", 0, "0\n"},
        {ver + "none.txt|12|345|1", 1, "555\n", f + "none.txt"},
        {"field|--start|1|--length|5|--zeros|-1|--flip|12345", 0, "54321\n"},
        {"expand|--set|ChequeNum=1|--set|Amount=שקל|{ChequeNum}{TAB}{Amount} ש\"ח", 0,
         "1{TAB}שקל ש\"ח\n"},
        {"expand|--kind|override" + at + "{YYYY}{MM}{DD}_{HH}{NN}{SS}", 0, "20060201_090705\n"},
        // {User} asks on standard error and reads the answer, made a safe name, from the input.
        {"expand|--kind|front|--set|ChequeNum=77|{ChequeNum}_{User}.tif", 0, "77_a_b_c_.tif\n", "",
         "a:b*c?\n"},
        {"keys|+a", 0, "batch 4\ndown 16 42\ndown 65 30\nup 65 30\nup 16 42\n",
         "VbSendInput => +a\n"},
        {"keys|--engine|paste|+1~{TAB}", 0, "paste 1\\r\\n\\t\n"},
        {"ini|" + f + "Korvex é/t.ini|פרופיל 1|Missing|ברירת מחדל", 0, "ברירת מחדל\n"},
        {"check-config|" + f + "bad", 1,
         "Korvex.ini:2: [Config] Colour=1: unknown key; ignored\n"
         "Korvex.ini:4: [פרופיל 1] Z=1: unknown key; ignored\n2 problems found\n"},
        {"no-such-command", 2, "", "unknown command no-such-command\nusage:\n"},
        {"field|--start|a|--length|2|--zeros|0|1", 2, "", "usage: korvex-tool field"},
        {"expand|--at|2006-02-30 00:00:00|x", 2, "", "usage: korvex-tool expand"},
    });
}

}  // namespace
}  // namespace korvex
