// Reading INI files: the lookup rules the configuration depends on, and broken files.
#include <gtest/gtest.h>

#include <string>

#include "support/TempFolder.h"
#include "config/PrivateProfile.h"
#include "config/cInifile.h"

using namespace std::string_literals;

namespace korvex {
namespace {

cInifile iniAt(const std::filesystem::path& file, const std::string& section = {},
               const std::string& key = {}, const std::string& defaultText = {}) {
    cInifile ini;
    ini.setPath(file);
    ini.setSection(section);
    ini.setKey(key);
    ini.setDefault(defaultText);
    return ini;
}

struct ReadCase {
    const char* what;
    std::string file;
    std::string section, key;
    std::string expected;  // the default is always "DEF"
};

TEST(IniRead, LookupRules) {
    const ReadCase cases[] = {
        {"present but empty reads empty, not the default", "[Config]\r\nName=\r\n", "Config",
         "Name", ""},
        {"absent key reads the default", "[Config]\r\nOther=1\r\n", "Config", "Name", "DEF"},
        {"absent section reads the default", "[Config]\r\nName=1\r\n", "Profile", "Name", "DEF"},
        {"names ignore letter case", "[config]\r\nport=3", "Config", "PORT", "3"},
        {"split at the first equals sign", "[A]\nT = {X}={Y} \n", "A", "T", "{X}={Y}"},
        {"blanks and tabs around are dropped", "[ A ]\r\n\t k \t=\t v w \t\r\n", "A", "k", "v w"},
        {"double quotes are removed", "[A]\r\nk=\"  x  \"\r\n", "A", "k", "  x  "},
        {"single quotes are removed", "[A]\r\nk='y'\r\n", "A", "k", "y"},
        {"unmatched quotes stay", "[A]\r\nk=\"z'\r\n", "A", "k", "\"z'"},
        {"a lone quote stays", "[A]\r\nk=\"\r\n", "A", "k", "\""},
        {"text after a value is no comment", "[A]\r\nk=5 ; five\r\n", "A", "k", "5 ; five"},
        {"commented-out key is ignored", "[A]\r\n;k=1\r\n", "A", "k", "DEF"},
        {"first of two sections counts", "[A]\r\nk=1\r\n[a]\r\nk=2\r\nonly=3\r\n", "A", "k", "1"},
        {"keys of a repeated section are not seen", "[A]\r\nk=1\r\n[a]\r\nonly=3\r\n", "A", "only",
         "DEF"},
        {"first of two keys counts", "[A]\r\nk=1\r\nK=2\r\n", "A", "k", "1"},
        {"a key before any section belongs to none", "k=1\r\n[A]\r\n", "A", "k", "DEF"},
        {"lone CR ends lines", "[A]\rk=1\rj=2", "A", "j", "2"},
        {"no final line end", "[A]\r\nk=last", "A", "k", "last"},
        {"text after the header's bracket is ignored", "[A] ; note\r\nk=1\r\n", "A", "k", "1"},
        {"a line without equals sign is ignored", "[A]\r\nk\r\nk=2\r\n", "A", "k", "2"},
        {"a header without closing bracket is no header", "[A]\r\n[B\r\nk=1\r\n", "A", "k", "1"},
        {"a NUL ends the value", "[A]\r\nk=ab\0cd\r\n"s, "A", "k", "ab"},
        {"binary bytes pass unchanged", "[A]\r\nk=\x01\xff\xfe\x80\r\n", "A", "k",
         "\x01\xff\xfe\x80"},
        {"Hebrew names in Windows-1255", "[\xF4\xF8\xE5\xF4\xE9\xEC 1]\r\nk=\xE0\r\n",
         "\xF4\xF8\xE5\xF4\xE9\xEC 1", "k", "\xE0"},
        {"a UTF-8 byte-order mark hides the first header", "\xEF\xBB\xBF[Config]\r\nPort=2\r\n",
         "Config", "Port", "DEF"},
        {"sections after a byte-order mark are read",
         "\xEF\xBB\xBF[Config]\r\nPort=2\r\n[B]\r\nx=1\r\n", "B", "x", "1"},
        {"a key with an empty name is ignored", "[A]\r\n=5\r\n", "A", "", "DEF"},
    };
    test::TempFolder folder;
    for (const auto& c : cases) {
        folder.write("t.ini", c.file);
        const cInifile ini = iniAt(folder / "t.ini", c.section, c.key, "DEF");
        EXPECT_EQ(ini.Value(), c.expected) << c.what;
    }
}

TEST(IniRead, LongValuesAreCutTo254CharactersWithoutDisturbingTheRest) {
    test::TempFolder folder;
    const std::string longValue(300, 'v');
    folder.write("t.ini", "[A]\r\nk=" + longValue + "\r\nbig=" + std::string(1 << 20, 'x') +
                              "\r\nafter=1\r\n[B]\r\nk=2");
    EXPECT_EQ(iniAt(folder / "t.ini", "A", "k").Value(), std::string(254, 'v'));
    EXPECT_EQ(iniAt(folder / "t.ini", "A", "big").Value(), std::string(254, 'x'));
    EXPECT_EQ(iniAt(folder / "t.ini", "A", "after").Value(), "1");
    EXPECT_EQ(iniAt(folder / "t.ini", "B", "k").Value(), "2");
    // The default goes through the same buffer.
    EXPECT_EQ(iniAt(folder / "t.ini", "A", "none", longValue).Value(), std::string(254, 'v'));
}

TEST(IniRead, MissingOrUnreadableFilesReadAsDefaults) {
    test::TempFolder folder;
    EXPECT_EQ(iniAt(folder / "missing.ini", "A", "k", "D").Value(), "D");
    EXPECT_EQ(iniAt(folder / "no" / "such" / "folder.ini", "A", "k", "D").Value(), "D");
    // A folder where the file should be.
    std::filesystem::create_directory(folder / "dir.ini");
    EXPECT_EQ(iniAt(folder / "dir.ini", "A", "k", "D").Value(), "D");
    int32_t count = -1;
    std::vector<std::string> names{"stale"};
    iniAt(folder / "dir.ini").EnumerateAllSections(names, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
}

TEST(IniRead, SectionListKeepsFileOrder) {
    test::TempFolder folder;
    folder.write("t.ini", "; header\r\n[A]\r\nk=1\r\n[B]\r\n[C]\r\nj=2\r\n");
    cInifile ini = iniAt(folder / "t.ini");
    EXPECT_EQ(ini.Sections(), "A\0B\0C\0"s);
    std::vector<std::string> names;
    int32_t count = 0;
    ini.EnumerateAllSections(names, count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "C"}));

    for (const char* empty : {"", "; only a comment\r\n", "k=1\r\n"}) {
        folder.write("e.ini", empty);
        names = {"stale"};
        iniAt(folder / "e.ini").EnumerateAllSections(names, count);
        EXPECT_EQ(count, 0) << empty;
        EXPECT_TRUE(names.empty()) << empty;
    }
}

TEST(IniRead, RepeatedSectionsAndKeysAreListedOnce) {
    test::TempFolder folder;
    folder.write("t.ini", "[A]\r\nk=1\r\nK=2\r\nj=3\r\n[B]\r\n[a]\r\nz=4\r\n[]\r\n");
    cInifile ini = iniAt(folder / "t.ini", "A");
    std::vector<std::string> names;
    int32_t count = 0;
    ini.EnumerateAllSections(names, count);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B"}));
    ini.EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(names, (std::vector<std::string>{"k", "j"}));
    EXPECT_EQ(ini.INISection(), "k\0j\0"s);
}

TEST(IniRead, KeyListOfAMissingSectionIsTheDefault) {
    test::TempFolder folder;
    folder.write("t.ini", "[A]\r\n[B]\r\nk=1\r\n");
    cInifile ini = iniAt(folder / "t.ini", "Z", {}, "nothing");
    EXPECT_EQ(ini.INISection(), "nothing");
    std::vector<std::string> names;
    int32_t count = -1;
    ini.EnumerateCurrentSection(names, count);  // no NUL in the default: no names
    EXPECT_EQ(count, 0);
    ini.setSection("A");
    EXPECT_EQ(ini.INISection(), "");  // present but without keys
}

TEST(IniRead, SectionListDropsNamesBeyondTheBuffer) {
    // 819 names of 9 characters plus their NULs fill 8190 characters exactly; the 820th and
    // 821st do not fit and are dropped whole.
    std::string file;
    for (int i = 0; i < 821; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Sect%05d", i);
        file += "[" + std::string(name) + "]\r\n";
    }
    test::TempFolder folder;
    folder.write("t.ini", file);
    cInifile ini = iniAt(folder / "t.ini");
    EXPECT_EQ(ini.Sections().size(), 8190u);
    std::vector<std::string> names;
    int32_t count = 0;
    ini.EnumerateAllSections(names, count);
    ASSERT_EQ(count, 819);
    EXPECT_EQ(names.back(), "Sect00818");

    // One character more in the first name and the last name that fitted no longer does.
    folder.write("t.ini", "[XSect]\r\n" + file);
    iniAt(folder / "t.ini").EnumerateAllSections(names, count);
    ASSERT_EQ(count, 819);
    EXPECT_EQ(names.front(), "XSect");
    EXPECT_EQ(names.back(), "Sect00817");
}

TEST(IniRead, PlatformFunctionHonoursTheBufferSize) {
    test::TempFolder folder;
    folder.write("t.ini", "[A]\r\nk=abcdef\r\n");
    const std::filesystem::path path = folder / "t.ini";
    EXPECT_EQ(getPrivateProfileString("A"s, "k"s, "", 4, path), "abc");
    EXPECT_EQ(getPrivateProfileString("A"s, "k"s, "", 1, path), "");
    EXPECT_EQ(getPrivateProfileString("A"s, "k"s, "", 0, path), "");
    // A list keeps room for its two closing NULs.
    EXPECT_EQ(getPrivateProfileString(std::nullopt, std::nullopt, "", 4, path), "A\0"s);
    EXPECT_EQ(getPrivateProfileString(std::nullopt, std::nullopt, "", 3, path), "");
    folder.write("two.ini", "[A]\r\n[BC]\r\n");
    const std::filesystem::path two = folder / "two.ini";
    EXPECT_EQ(getPrivateProfileString(std::nullopt, std::nullopt, "", 5, two), "A\0"s);
    // A default loses its trailing blanks.
    EXPECT_EQ(getPrivateProfileString("A"s, "none"s, " d f  ", 64, path), " d f");
    EXPECT_EQ(getPrivateProfileString("A"s, "none"s, "   ", 64, path), "");
}

TEST(IniRead, CLngDefaultConvertsOrFallsBack) {
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"12.5", 12},
        {"13.5", 14},
        {"x", 7},
        {"99999999999", 7},
        {" 42 ", 42},
        {"-3", -3},
        {"", 7},
        {"&H10", 16},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", 7},
        {"FAIL", 7},
    };
    for (const auto& c : cases) EXPECT_EQ(cInifile::CLngDefault(c.text, 7), c.expected) << c.text;
}

}  // namespace
}  // namespace korvex
