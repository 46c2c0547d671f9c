// Reading INI files: the lookup rules the configuration depends on, and broken files.
#include <gtest/gtest.h>

#include <string>

#include "config/ConfigHarness.h"
#include "config/PrivateProfile.h"
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
        {"[A]\r\nk='y'\r\n", "A", "k", "y"},
        {"[A]\r\nk=\"z'\r\n", "A", "k", "\"z'"},          // unmatched quotes stay
        {"[A]\r\nk=5 ; five\r\n", "A", "k", "5 ; five"},  // no comments after a value
        {"[A]\r\n;k=1\r\n", "A", "k", "DEF"},
        {"[A]\r\nk=1\r\n[a]\r\nk=2\r\nonly=3\r\n", "A", "k", "1"},  // first section counts
        {"[A]\r\nk=1\r\n[a]\r\nonly=3\r\n", "A", "only", "DEF"},
        {"[A]\r\nk=\"\r\n", "A", "k", "\""},
        {"[A]\r\nk=1\r\nK=2\r\n", "A", "k", "1"},
        {"k=1\r\n[A]\r\n", "A", "k", "DEF"},
        {"[A]\rk=1\rj=2", "A", "j", "2"},  // CR line ends, no line end at the close
        {"[A] ; note\r\nk=1\r\n", "A", "k", "1"},
        {"[A]\r\nk\r\nk=2\r\n", "A", "k", "2"},
        {"[A]\r\n[B\r\nk=1\r\n", "A", "k", "1"},  // no closing bracket: no header
        {"[A]\r\nk=ab\0cd\r\n"s, "A", "k", "ab"},
        {"[A]\r\nk=\x01\xff\xfe\x80\r\n", "A", "k", "\x01\xff\xfe\x80"},
        {"[\xF4\xF8\xE5\xF4\xE9\xEC 1]\r\nk=\xE0\r\n", "\xF4\xF8\xE5\xF4\xE9\xEC 1", "k", "\xE0"},
        {"\xEF\xBB\xBF[Config]\r\nPort=2\r\n", "Config", "Port", "DEF"},  // the mark hides it
        {"\xEF\xBB\xBF[Config]\r\nPort=2\r\n[B]\r\nx=1\r\n", "B", "x", "1"},
        {"[A]\r\n=5\r\n", "A", "", "DEF"}};
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

TEST(IniRead, SectionAndKeyListsKeepFileOrderAndListRepeatsOnce) {
    test::TempFolder folder;
    folder.write("t.ini",
                 "; head\r\n[A]\r\nk=1\r\nK=2\r\nj=3\r\n[B]\r\n[a]\r\nz=4\r\n[]\r\n[C]\r\n");
    cInifile ini = iniAt(folder / "t.ini", "A");
    EXPECT_EQ(ini.Sections(), "A\0B\0C\0"s);
    EXPECT_EQ(sections(ini), (Names{"A", "B", "C"}));
    EXPECT_EQ(sections(ini, true), (Names{"k", "j"}));
    EXPECT_EQ(ini.INISection(), "k\0j\0"s);
    ini.setSection("B");
    EXPECT_EQ(ini.INISection(), "");  // present but without keys
    ini.setSection("Z");
    ini.setDefault("nothing");
    EXPECT_EQ(ini.INISection(), "nothing");
    EXPECT_TRUE(sections(ini, true).empty());  // no NUL in the default: no names
    for (const char* empty : {"", "; only a comment\r\n", "k=1\r\n"}) {
        folder.write("e.ini", empty);
        EXPECT_TRUE(sections(iniAt(folder / "e.ini")).empty()) << empty;
    }
}

TEST(IniRead, SectionListDropsNamesBeyondTheBuffer) {
    // 819 names of 9 characters plus their NULs fill 8190 characters exactly; the 820th and
    // 821st do not fit and are dropped whole.
    std::string file;
    for (int i = 100000; i < 100821; ++i) file += "[Sect" + std::to_string(i).substr(1) + "]\r\n";
    test::TempFolder folder;
    folder.write("t.ini", file);
    EXPECT_EQ(iniAt(folder / "t.ini").Sections().size(), 8190u);
    Names names = sections(iniAt(folder / "t.ini"));
    ASSERT_EQ(names.size(), 819u);
    EXPECT_EQ(names.back(), "Sect00818");
    // One character more in the first name and the last name that fitted no longer does.
    folder.write("t.ini", "[XSect]\r\n" + file);
    names = sections(iniAt(folder / "t.ini"));
    ASSERT_EQ(names.size(), 819u);
    EXPECT_EQ(names.front() + names.back(), "XSectSect00817");
}

TEST(IniRead, PlatformFunctionHonoursTheBufferSize) {
    test::TempFolder folder;
    folder.write("t.ini", "[A]\r\nk=abcdef\r\n");
    folder.write("two.ini", "[A]\r\n[BC]\r\n");
    const auto get = [&](std::optional<std::string> s, std::optional<std::string> k, const char* d,
                         int size, const char* file = "t.ini") {
        return getPrivateProfileString(s, k, d, size, folder / file);
    };
    EXPECT_EQ(get("A", "k", "", 4), "abc");
    EXPECT_EQ(get("A", "k", "", 1) + get("A", "k", "", 0), "");
    // A list keeps room for its two closing NULs.
    EXPECT_EQ(get({}, {}, "", 4), "A\0"s);
    EXPECT_EQ(get({}, {}, "", 3), "");
    EXPECT_EQ(get({}, {}, "", 5, "two.ini"), "A\0"s);
    // A default loses its trailing blanks.
    EXPECT_EQ(get("A", "none", " d f  ", 64), " d f");
    EXPECT_EQ(get("A", "none", "   ", 64), "");
}

// The conversion itself is toInt32's; here only the fallback.
TEST(IniRead, CLngDefaultConvertsOrFallsBack) {
    EXPECT_EQ(cInifile::CLngDefault("13.5", 7), 14);
    EXPECT_EQ(cInifile::CLngDefault("2147483648", 7) + cInifile::CLngDefault("", 7), 14);
}

}  // namespace
}  // namespace korvex
