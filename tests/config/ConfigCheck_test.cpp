// The configuration checker: what it reports and where.
#include <gtest/gtest.h>

#include "config/ConfigCheck.h"
#include "resources/Resources.h"

using namespace std::string_literals;

namespace korvex {
namespace {

TEST(ConfigCheck, TheDefaultFileHasNoProblems) {
    const auto problems = checkConfiguration(resources::defaultConfig());
    for (const auto& p : problems) ADD_FAILURE() << p.line << " " << p.key << ": " << p.problem;
}

struct Expected {
    std::size_t line;
    std::string section, key, value;
    std::string problemStart;
};

TEST(ConfigCheck, ReportsWhatTheProgramWouldNotUse) {
    const struct {
        const char* what;
        std::string file;
        std::vector<Expected> expected;
    } cases[] = {
        {"clean file", "[Config]\r\nPort=2\r\nRed=3\r\n[A]\r\nRed=4\r\n", {}},
        {"[Config] values that stop the start",
         "[Config]\r\nPort=COM1\r\nFlowControl=7\r\nDataTerminationChars=13,300\r\nRTS=1\r\n",
         {{2, "Config", "Port", "COM1",
           "does not convert, so the program stops at start-up; "
           "accepted: a port number from 1 to 32767"},
          {3, "Config", "FlowControl", "7", "does not convert, so the program stops"},
          {4, "Config", "DataTerminationChars", "13,300",
           "does not convert, so the program stops"}}},
        {"profile values that are skipped",
         "[A]\r\nRed=300\r\nChequeNumFlip=yes\r\nChequeBackTimeout=\r\nTextBlue=-1\r\nIconFontSize="
         "99\r\n",
         {{2, "A", "Red", "300",
           "does not convert, so it is not used; accepted: a whole number from 0 to 255"},
          {3, "A", "ChequeNumFlip", "yes",
           "does not convert, so it is not used; accepted: TRUE, FALSE"},
          {4, "A", "ChequeBackTimeout", "", "does not convert"},
          {5, "A", "TextBlue", "-1", "does not convert"}}},
        {"unknown and misplaced keys",
         "[Config]\r\nPrt=1\r\n[A]\r\nPort=2\r\nred=1\r\n",
         {{2, "Config", "Prt", "1", "unknown key"}, {4, "A", "Port", "2", "belongs in [Config]"}}},
        {"repeats",
         "[A]\r\nRed=1\r\nRED=x\r\n[a]\r\nRed=y\r\n",
         {{3, "A", "RED", "x", "repeated key"}, {4, "a", "", "", "repeated section"}}},
        {"lines the program ignores",
         "Red=1\r\n[A]\r\nRed 3\r\n[B\r\n; fine\r\n\r\n",
         {{1, "", "Red", "1", "key outside any section"},
          {3, "A", "", "Red 3", "neither a section header"},
          {4, "A", "", "[B", "neither a section header"}}},
        {"byte-order mark",
         "\xEF\xBB\xBF[Config]\r\nPort=1\r\n",
         {{1, "", "", "", "the file starts with a UTF-8 byte-order mark"},
          {1, "", "", "\xEF\xBB\xBF[Config]", "neither a section header"},
          {2, "", "Port", "1", "key outside any section"}}},
        {"lower-case config",
         "[config]\r\nPort=x\r\n",
         {{1, "config", "", "", "read as [Config] and also listed as a profile"},
          {2, "config", "Port", "x", "does not convert, so the program stops"}}},
        {"NUL and binary",
         "[A]\r\nRed=1\0x\r\nCSVFile=\x01\xff\r\n"s,
         {{2, "A", "Red", "", "contains a NUL character"}}},
        {"LF only and no final line end",
         "[A]\nRed=x\n[B]\nGreen=y",
         {{2, "A", "Red", "x", "does not convert"}, {4, "B", "Green", "y", "does not convert"}}},
    };
    for (const auto& c : cases) {
        const auto got = checkConfiguration(c.file);
        ASSERT_EQ(got.size(), c.expected.size()) << c.what;
        for (std::size_t i = 0; i < got.size(); ++i) {
            const auto& e = c.expected[i];
            EXPECT_EQ(got[i].line, e.line) << c.what << " #" << i;
            EXPECT_EQ(got[i].section, e.section) << c.what << " #" << i;
            EXPECT_EQ(got[i].key, e.key) << c.what << " #" << i;
            if (!e.value.empty()) {
                EXPECT_EQ(got[i].value, e.value) << c.what << " #" << i;
            }
            EXPECT_EQ(got[i].problem.rfind(e.problemStart, 0), 0u)
                << c.what << " #" << i << ": " << got[i].problem;
        }
    }
}

TEST(ConfigCheck, LongValuesAndLongSectionLists) {
    const auto longValue = checkConfiguration("[A]\r\nCSVFile=" + std::string(300, 'c') + "\r\n");
    ASSERT_EQ(longValue.size(), 1u);
    EXPECT_EQ(longValue[0].value, std::string(254, 'c'));
    EXPECT_EQ(longValue[0].problem.rfind("longer than 254 characters", 0), 0u);

    // 819 names of nine characters fill the list; the 820th is reported.
    std::string file;
    for (int i = 0; i < 821; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Sect%05d", i);
        file += "[" + std::string(name) + "]\n";
    }
    const auto many = checkConfiguration(file);
    ASSERT_EQ(many.size(), 1u);
    EXPECT_EQ(many[0].line, 820u);
    EXPECT_EQ(many[0].section, "Sect00819");
}

TEST(ConfigCheck, PrintableValue) {
    EXPECT_EQ(printableValue("ab\x01\x7f\xe0"), "ab??\xe0");
    EXPECT_EQ(printableValue(std::string(70, 'x')), std::string(64, 'x') + "...");
    EXPECT_EQ(printableValue("abcdef", 3), "abc...");
    EXPECT_EQ(printableValue("abc", 3), "abc");
    EXPECT_EQ(printableValue(""), "");
}

}  // namespace
}  // namespace korvex
