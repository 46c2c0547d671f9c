// Reading INI files: the lookup rules the configuration depends on, and broken files.
#include <gtest/gtest.h>

#include <string>

#include "config/ConfigHarness.h"
#include "config/cInifile.h"

using namespace std::string_literals;

namespace korvex {
namespace {

using Names = std::vector<std::string>;

using test::iniAt;

// The names a section (or key) list gives, checked against their count.
Names sections(const cInifile& ini, bool keys = false) {
    Names names{"stale"};
    int32_t count = -1;
    keys ? ini.EnumerateCurrentSection(names, count) : ini.EnumerateAllSections(names, count);
    EXPECT_EQ(count, int32_t(names.size()));
    return names;
}

TEST(IniRead, LookupRules) {
    const struct {
        std::string file, section, key, expected;  // the default is always "DEF"
    } cases[] = {
        {"[Config]\r\nName=\r\n", "Config", "Name", ""},  // present but empty: not the default
        {"[Config]\r\nOther=1\r\n", "Config", "Name", "DEF"},
        {"[Config]\r\nName=1\r\n", "Profile", "Name", "DEF"},
        {"[config]\r\nport=3", "Config", "PORT", "3"},
        {"[A]\nT = {X}={Y} \n", "A", "T", "{X}={Y}"},  // split at the first equals sign
        {"[ A ]\r\n\t k \t=\t v w \t\r\n", "A", "k", "v w"},
        {"[A]\r\nk=\"  x  \"\r\n", "A", "k", "  x  "},
        {"[A]\r\nk=\"z'\r\n", "A", "k", "\"z'"},          // unmatched quotes stay
        {"[A]\r\nk=5 ; five\r\n", "A", "k", "5 ; five"},  // no comments after a value
        {"[A]\r\n;k=1\r\n", "A", "k", "DEF"},
        {"[A]\r\nk=1\r\n[a]\r\nk=2\r\n", "A", "k", "1"},  // the first section counts
        {"[A]\r\nk=1\r\nK=2\r\n", "A", "k", "1"},
        {"[A]\rk=1\rj=2", "A", "j", "2"},  // CR line ends, no line end at the close
        {"[A]\r\nk=ab\0cd\r\n"s, "A", "k", "ab"},
        {"[\xF4\xF8\xE5\xF4\xE9\xEC 1]\r\nk=\xE0\r\n", "\xF4\xF8\xE5\xF4\xE9\xEC 1", "k", "\xE0"},
        {"\xEF\xBB\xBF[Config]\r\nPort=2\r\n", "Config", "Port", "DEF"}};  // the mark hides it
    test::TempFolder folder;
    for (const auto& c : cases) {
        folder.write("t.ini", c.file);
        EXPECT_EQ(iniAt(folder / "t.ini", c.section, c.key, "DEF").Value(), c.expected) << c.file;
    }
}

TEST(IniRead, LongValuesAreCutTo254CharactersWithoutDisturbingTheRest) {
    test::TempFolder folder;
    const std::string longValue(300, 'v');
    folder.write("t.ini", "[A]\r\nk=" + longValue + "\r\nbig=" + std::string(1 << 20, 'x') +
                              "\r\nafter=1\r\n[B]\r\nk=2");
    const auto value = [&](const char* s, const char* k, const std::string& d = {}) {
        return iniAt(folder / "t.ini", s, k, d).Value();
    };
    EXPECT_EQ(value("A", "k"), std::string(254, 'v'));
    EXPECT_EQ(value("A", "big"), std::string(254, 'x'));
    EXPECT_EQ(value("A", "after") + value("B", "k"), "12");
    EXPECT_EQ(value("A", "none", longValue), std::string(254, 'v'));  // the default too
}

TEST(IniRead, MissingOrUnreadableFilesReadAsDefaults) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder / "dir.ini");
    for (const auto& file :
         {folder / "missing.ini", folder / "no" / "such.ini", folder / "dir.ini"})
        EXPECT_EQ(iniAt(file, "A", "k", "D").Value(), "D") << file;
    EXPECT_TRUE(sections(iniAt(folder / "dir.ini")).empty());
}

TEST(IniRead, SectionAndKeyListsKeepFileOrderListRepeatsOnceAndFitTheBuffer) {
    test::TempFolder folder;
    folder.write("t.ini", "[A]\r\nk=1\r\nK=2\r\nj=3\r\n[B]\r\n[a]\r\nz=4\r\n[]\r\n[C]\r\n");
    EXPECT_EQ(sections(iniAt(folder / "t.ini")), (Names{"A", "B", "C"}));
    EXPECT_EQ(sections(iniAt(folder / "t.ini", "A"), true), (Names{"k", "j"}));
    // 819 names of 9 characters plus their NULs fill 8190 characters exactly; the 820th and
    // 821st do not fit and are dropped whole.
    std::string file;
    for (int i = 100000; i < 100821; ++i) file += "[Sect" + std::to_string(i).substr(1) + "]\r\n";
    folder.write("t.ini", file);
    const Names names = sections(iniAt(folder / "t.ini"));
    ASSERT_EQ(names.size(), 819u);
    EXPECT_EQ(names.back(), "Sect00818");
}

}  // namespace
}  // namespace korvex
