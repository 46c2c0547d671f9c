// The configuration checker: what it reports and where.
#include <gtest/gtest.h>

#include "config/ConfigCheck.h"
#include "resources/Resources.h"

using namespace std::string_literals;

namespace korvex {
namespace {

// Each problem as "line|section|key|value|problem", compared by its start.
std::vector<std::string> check(const std::string& file) {
    std::vector<std::string> out;
    for (const auto& p : checkConfiguration(file)) {
        out.push_back(std::to_string(p.line) + "|" + p.section + "|" + p.key + "|" + p.value + "|" +
                      p.problem);
    }
    return out;
}

TEST(ConfigCheck, ReportsWhatTheProgramWouldNotUse) {
    const struct {
        std::string file;
        std::vector<std::string> expected;
    } cases[] = {
        {std::string(resources::defaultConfig()), {}},
        {"[Config]\r\nPort=COM1\r\nFlowControl=7\r\nDataTerminationChars=13,300\r\nRTS=1\r\n",
         {"2|Config|Port|COM1|does not convert, so the program stops at start-up; accepted: a "
          "port number from 1 to 32767",
          "3|Config|FlowControl|7|does not convert, so the program stops",
          "4|Config|DataTerminationChars|13,300|does not convert, so the program stops"}},
        {"[A]\r\nRed=300\r\nChequeNumFlip=yes\r\nChequeBackTimeout=\r\nTextBlue=-1\r\n"
         "IconFontSize=99\r\n",
         {"2|A|Red|300|does not convert, so it is not used; accepted: a whole number from 0 to 255",
          "3|A|ChequeNumFlip|yes|does not convert, so it is not used; accepted: TRUE, FALSE",
          "4|A|ChequeBackTimeout||does not convert", "5|A|TextBlue|-1|does not convert"}},
        {"[Config]\r\nPrt=1\r\n[A]\r\nPort=2\r\nred=1\r\n",
         {"2|Config|Prt|1|unknown key", "4|A|Port|2|belongs in [Config]"}},
        {"[A]\r\nRed=1\r\nRED=x\r\n[a]\r\nRed=y\r\n",
         {"3|A|RED|x|repeated key", "4|a|||repeated section"}},
        {"Red=1\r\n[A]\r\nRed 3\r\n[B\r\n; fine\r\n\r\n",
         {"1||Red|1|key outside any section", "3|A||Red 3|neither a section header",
          "4|A||[B|neither a section header"}},
        {"\xEF\xBB\xBF[Config]\r\nPort=1\r\n",
         {"1||||the file starts with a UTF-8 byte-order mark",
          "1|||\xEF\xBB\xBF[Config]|neither a section header",
          "2||Port|1|key outside any section"}},
        {"[config]\r\nPort=x\r\n",
         {"1|config|||read as [Config] and also listed as a profile",
          "2|config|Port|x|does not convert, so the program stops"}},
        {"[A]\r\nRed=1\0x\r\nCSVFile=\x01\xff\r\n"s, {"2|A|Red||contains a NUL character"}},
        {"[A]\r\nCSVFile=" + std::string(300, 'c') + "\r\n",
         {"2|A|CSVFile|" + std::string(254, 'c') + "|longer than 254 characters"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.substr(0, 40));
        const auto got = check(c.file);
        ASSERT_EQ(got.size(), c.expected.size()) << testing::PrintToString(got);
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].substr(0, c.expected[i].size()), c.expected[i]);
        }
    }
}

TEST(ConfigCheck, PrintableValue) {
    EXPECT_EQ(printableValue("ab\x01\x7f\xe0"), "ab??\xe0");
    EXPECT_EQ(printableValue(std::string(70, 'x')), std::string(64, 'x') + "...");
    EXPECT_EQ(printableValue("abcdef", 3) + printableValue("abc", 3), "abc...abc");
}

}  // namespace
}  // namespace korvex
