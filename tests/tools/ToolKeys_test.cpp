// korvex-tool keys, run as the built program.

#include "tools/ToolRunner.h"

namespace korvex {
namespace {

using test::runTool;
using test::ToolRun;

struct KeysCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string out;
};

TEST(ToolKeys, PrintsWhatEachEngineWouldSend) {
    const std::vector<KeysCase> cases = {
        {"SendInput is the default",
         {"+a"},
         0,
         "batch 4\ndown 16 42\ndown 65 30\nup 65 30\nup 16 42\n"},
        {"Num Lock off wraps the decimal key",
         {"--numlock", "off", "1."},
         0,
         "batch 8\ndown 49 2\nup 49 2\ndown 144 69\nup 144 69\ndown 110 83\nup 110 83\n"
         "down 144 69\nup 144 69\n"},
        {"Num Lock on", {"--numlock", "on", "."}, 0, "batch 2\ndown 110 83\nup 110 83\n"},
        {"keybd with a delay",
         {"--engine", "keybd", "--delay", "50", "a{TAB 2}"},
         0,
         "sleep 50\ndown 65 30\nup 65 30\nsleep 50\ndown 9 15\nup 9 15\nsleep 50\ndown 9 15\n"
         "up 9 15\n"},
        {"Hebrew is typed as itself",
         {"--engine", "keybd", "\xD7\x90"},
         0,
         "unicode 1488 down\nunicode 1488 up\n"},
        {"paste",
         {"--engine", "paste", "+1~2{TAB}{BS}{ESC}\\{F5}"},
         0,
         "paste 1\\r\\n2\\t\\b\\e\\\\\n"},
        {"a text of billions of keys is refused", {"{a 2000000000}"}, 1, ""},
        {"no text", {}, 2, ""},
        {"two texts", {"a", "b"}, 2, ""},
        {"unknown engine", {"--engine", "sendkeys", "a"}, 2, ""},
        {"bad Num Lock", {"--numlock", "maybe", "a"}, 2, ""},
        {"bad delay", {"--delay", "soon", "a"}, 2, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"keys"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.err;
        EXPECT_EQ(run.out, c.out) << c.name;
        if (c.status == 2) {
            EXPECT_NE(run.err.find("usage: korvex-tool keys"), std::string::npos) << c.name;
        }
    }
}

TEST(ToolKeys, LogsTheSendInputLineOnStandardError) {
    const ToolRun run = runTool({"keys", "12.50"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "VbSendInput => 12.50\n");
}

}  // namespace
}  // namespace korvex
