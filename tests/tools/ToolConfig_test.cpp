// korvex-tool ini and check-config, run as the built program.

#include "resources/Resources.h"
#include "text/Cp1255.h"
#include "tools/ToolRunner.h"

namespace korvex {
namespace {

using test::ToolRun;

ToolRun tool(const std::vector<std::string>& args) { return test::runTool(args); }

TEST(ToolIni, ListsSectionsKeysAndReadsValues) {
    test::TempFolder folder;
    const std::string text = cp1255::fromUtf8(
        "[Config]\r\nPort=3\r\n[פרופיל 1]\r\nRed=1\r\n"
        "CSVFile=\"יומן.csv\"\r\nEmpty=\r\n[B]\r\n");
    folder.write("t.ini", text);
    const std::string file = (folder / "t.ini").string();
    // A folder whose name Windows-1255 cannot write.
    folder.write("Korvex é/t.ini", text);
    const std::string accented = (folder / "Korvex é/t.ini").string();
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"ini", file}, "Config\nפרופיל 1\nB\n"},
        {{"ini", file, "פרופיל 1"}, "Red\nCSVFile\nEmpty\n"},
        {{"ini", file, "config", "PORT"}, "3\n"},
        {{"ini", file, "פרופיל 1", "CSVFile"}, "יומן.csv\n"},
        {{"ini", file, "פרופיל 1", "Missing", "ברירת מחדל"}, "ברירת מחדל\n"},
        {{"ini", file, "פרופיל 1", "Empty", "D"}, "\n"},
        {{"ini", accented, "config", "PORT"}, "3\n"},
    };
    for (const auto& c : cases) {
        const ToolRun run = tool(c.args);
        EXPECT_EQ(run.status, 0) << c.args.back() << run.err;
        EXPECT_EQ(run.out, c.out) << c.args.back();
    }
}

TEST(ToolIni, UsageAndMissingFiles) {
    test::TempFolder folder;
    EXPECT_EQ(tool({"ini"}).status, 2);
    EXPECT_EQ(tool({"ini", "a", "b", "c", "d", "e"}).status, 2);
    const ToolRun missing = tool({"ini", (folder / "none.ini").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("none.ini"), std::string::npos);
    EXPECT_EQ(missing.out, "");
}

TEST(ToolCheckConfig, ReportsEveryProblemWithItsLine) {
    test::TempFolder folder;
    folder.write("Korvex.ini",
                 cp1255::fromUtf8("[Config]\r\nPort=COM1\r\nColour=1\r\n[פרופיל 1]\r\nRed=300\r\n"
                                  "CSVFile=log.csv\r\n"));
    const ToolRun run = tool({"check-config", folder.path().string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "Korvex.ini:2: [Config] Port=COM1: does not convert, so the program stops at "
              "start-up; accepted: a port number from 1 to 32767\n"
              "Korvex.ini:3: [Config] Colour=1: unknown key; ignored\n"
              "Korvex.ini:5: [פרופיל 1] Red=300: does not convert, so it is not used; accepted: a "
              "whole number from 0 to 255\n"
              "3 problems found\n");
}

TEST(ToolCheckConfig, CleanFilesAndMissingFiles) {
    test::TempFolder folder;
    folder.write("Korvex.ini", std::string(resources::defaultConfig()));
    ToolRun run = tool({"check-config", folder.path().string()});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "Korvex.ini: no problems found\n");

    test::TempFolder empty;
    run = tool({"check-config", empty.path().string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("no readable Korvex.ini"), std::string::npos);

    EXPECT_EQ(tool({"check-config", "a", "b"}).status, 2);
}

TEST(ToolCheckConfig, BrokenBytesAreShownSafely) {
    test::TempFolder folder;
    folder.write("Korvex.ini", "\xEF\xBB\xBF[Config]\r\n[A]\r\nRed=\x01\x02\r\n");
    const ToolRun run = tool({"check-config", folder.path().string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Korvex.ini:1: the file starts with a UTF-8 byte-order mark"),
              std::string::npos);
    EXPECT_NE(run.out.find("Korvex.ini:3: [A] Red=??: does not convert"), std::string::npos);
    EXPECT_EQ(run.out.find('\x01'), std::string::npos);
}

}  // namespace
}  // namespace korvex
