// korvex-tool.exe, cross-built for Windows and run under Wine, must answer exactly as the Linux
// korvex-tool does: same standard output, standard error and exit status for the same arguments.
// KORVEX_WINDOWS_TOOL names the .exe; without it (or without wine) the test is skipped.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace korvex {
namespace {

using test::TempFolder;

struct ToolRun {
    int status = -1;
    std::string out, err;
};

std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (const char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs `prefix` + the arguments in `folder` (where the case's files are).
ToolRun run(const TempFolder& folder, const std::string& prefix,
            const std::vector<std::string>& args) {
    std::string command = "cd " + quoted(folder.path().string()) + " && " + prefix;
    for (const auto& a : args) command += " " + quoted(a);
    command += " < /dev/null > " + quoted((folder / "out.txt").string()) + " 2> " +
               quoted((folder / "err.txt").string());
    const int raw = std::system(command.c_str());
    ToolRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = folder.read("out.txt");
    r.err = folder.read("err.txt");
    return r;
}

std::string shown(const std::vector<std::string>& args) {
    std::string text;
    for (const auto& a : args) text += " [" + a + "]";
    return text;
}

const char* const kIni =
    "[Config]\r\nPort=3\r\nSettings=\"9600,n,8,1\"\r\n"
    "[\xD7\xA4\xD7\xA8\xD7\x95\xD7\xA4\xD7\x99\xD7\x9C 1]\r\n"  // a Hebrew section name in UTF-8
                                                                // ...
    "CSVFile=log.csv\r\n";

TEST(ToolUnderWine, AnswersAsTheLinuxTool) {
    const char* exe = std::getenv("KORVEX_WINDOWS_TOOL");
    if (exe == nullptr || *exe == '\0') GTEST_SKIP() << "KORVEX_WINDOWS_TOOL is not set";
    if (std::system("command -v wine > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "wine is not installed";
    // Wine reads the Unix arguments in the locale's character set; the tool's are UTF-8.
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::setenv("WINEDEBUG", "-all", 0);
    ::unsetenv("DISPLAY");

    TempFolder folder;
    folder.write("test.ini", kIni);
    const std::string hebrew = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D";  // shalom, UTF-8
    const std::vector<std::vector<std::string>> cases = {
        // lines
        {"classify", "A123 C12A456E 7890C", "NO MICR", ";123=45?", ""},
        {"classify", "--nonus", ":0012345<12:456>1234567<"},
        {"classify", hebrew},
        {"groups", "A0012345C12A456E1234567A"},
        {"groups", "--nonus", ":0012345<1:456>1234567<"},
        {"field", "--start", "2", "--length", "5", "--zeros", "1", "--flip", "00123456"},
        // templates
        {"expand", "--set", "ChequeNum=1234", "--set", "BankNum=12",
         "{ChequeNum}{TAB}{BankNum}{ENTER}"},
        {"expand", "--kind", "override", "--at", "2006-02-01 09:07:05",
         "{YYYY}{MM}{DD}_{HH}{NN}{SS}.tif"},
        {"expand", "--kind", "front", "--at", "2006-03-05 00:00:00", "--set", "ChequeNum=77",
         "{MM}{YY}\\{ChequeNum}.tif"},
        {"expand", hebrew + " {ChequeNum}"},
        // key texts
        {"keys", "+a{TAB 2}12.50~"},
        {"keys", "--engine", "keybd", "--delay", "50", "%{F4}"},
        {"keys", "--engine", "keybd", hebrew},
        {"keys", "--numlock", "off", "1."},
        {"keys", "--engine", "paste", "+1~2{TAB}{BS}"},
        {"keys", "{a 2000000000}"},
        // files and usage errors
        {"ini", "test.ini"},
        {"ini", "test.ini", "config", "PORT"},
        {"ini", "test.ini", "Config", "Settings"},
        {"ini", "missing.ini", "Config", "Port", hebrew},
        {"keys"},
        {"no-such-command"},
    };
    const std::string windows = "wine " + quoted(exe);
    for (const auto& args : cases) {
        SCOPED_TRACE(shown(args));
        const ToolRun onLinux = run(folder, quoted(KORVEX_TOOL_PATH), args);
        const ToolRun win = run(folder, windows, args);
        EXPECT_EQ(win.status, onLinux.status);
        EXPECT_EQ(win.out, onLinux.out);
        EXPECT_EQ(win.err, onLinux.err);
        // Guards against comparing two failures to start.
        EXPECT_FALSE(onLinux.out.empty() && onLinux.err.empty())
            << "the Linux tool printed nothing";
    }
}

}  // namespace
}  // namespace korvex
