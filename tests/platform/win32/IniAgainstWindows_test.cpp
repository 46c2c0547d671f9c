// Our INI reader against the system's own GetPrivateProfileStringA on the same files. Every query
// is asked of both; the answers must be the same bytes, lists included.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <sstream>

#include "config/PrivateProfile.h"
#include "config/cInifile.h"
#include "support/TempFolder.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

using test::TempFolder;

struct Query {
    std::optional<std::string> section, key;
    std::string defaultText = "DEFAULT";
    std::size_t buffer = 255;
};

std::string systemAnswer(const Query& q, const std::string& path) {
    std::string buffer(q.buffer, '\x7F');
    const DWORD copied = ::GetPrivateProfileStringA(
        q.section ? q.section->c_str() : nullptr, q.key ? q.key->c_str() : nullptr,
        q.defaultText.c_str(), buffer.data(), static_cast<DWORD>(q.buffer), path.c_str());
    buffer.resize(copied);
    return buffer;
}

std::string shown(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\0') {
            out += "\\0";
        } else {
            out += c;
        }
    }
    return out.size() > 60 ? out.substr(0, 60) + "...(" + std::to_string(text.size()) + ")" : out;
}

std::string describe(const Query& q) {
    return "[" + (q.section ? *q.section : "<null>") + "] " + (q.key ? *q.key : "<null>") +
           " buffer " + std::to_string(q.buffer);
}

// Every disagreement as one line.
std::string disagreements(const std::string& file, const std::vector<Query>& queries,
                          bool fileExists = true) {
    TempFolder folder;
    if (fileExists) folder.write("test.ini", file);
    // Ours takes the native path; the system's 8-bit reader takes the same name as text.
    const std::filesystem::path iniFile = folder / "test.ini";
    const std::string path = fromFsPath(iniFile);
    std::ostringstream out;
    for (const Query& q : queries) {
        const std::string ours =
            getPrivateProfileString(q.section, q.key, q.defaultText, q.buffer, iniFile);
        const std::string system = systemAnswer(q, path);
        if (ours != system)
            out << describe(q) << ": ours \"" << shown(ours) << "\", system \"" << shown(system)
                << "\"\n";
    }
    return out.str();
}

const std::string kLong(300, 'x');

const std::string kFile =
    "; a comment line\r\n"
    "[General]\r\n"
    "Port=1\r\n"
    "PORT=2\r\n"
    "Name=\r\n"
    "Quoted=\"  spaced value  \"\r\n"
    "Single='abc'\r\n"
    "Mixed=\"abc'\r\n"
    "Inner=a \"b\" c\r\n"
    "Equation=a=b=c\r\n"
    "  Padded Key  =   padded value   \r\n"
    "\tTabbed=\tx\t\r\n"
    ";Commented=yes\r\n"
    "Trailing=value ; not a comment\r\n"
    "Long=" +
    kLong +
    "\r\n"
    "Exact=" +
    std::string(254, 'y') +
    "\r\n"
    "[Empty]\r\n"
    "[  Spaced Section  ]\r\n"
    "Key=spaced\r\n"
    "[Other]\r\n"
    "Port=9\r\n"
    "NoEquals\r\n"
    "[Keys]\r\n"
    "  Padded  =1\r\n"
    "Quoted=\"x\"\r\n"
    "Empty=\r\n"
    "; a comment\r\n"
    "Last=z\r\n";

TEST(IniAgainstWindows, ValuesAgree) {
    const std::vector<Query> queries = {
        {"General", "Port"},
        {"GENERAL", "port"},
        {"general", "PoRt"},
        {"General", "Name"},
        {"General", "Quoted"},
        {"General", "Single"},
        {"General", "Mixed"},
        {"General", "Inner"},
        {"General", "Equation"},
        {"General", "Padded Key"},
        {"General", "Tabbed"},
        {"General", "Commented"},
        {"General", "Trailing"},
        {"General", "Long"},
        {"General", "Exact"},
        {"General", "Missing"},
        {"Empty", "Port"},
        {"Spaced Section", "Key"},
        {"Other", "Port"},
        {"Missing", "Port"},
        {"Other", "NoEquals"},
        {"General", "Long", "", 10},
        {"General", "Missing", "a default", 5},
        {"General", "Missing", "  blank default  "},
        {"General", "Missing", "tab\t"},
        {"Missing", std::nullopt, "list default  ", 8192},
    };
    EXPECT_EQ(disagreements(kFile, queries), "");
}

TEST(IniAgainstWindows, DuplicatesTakeTheFirst) {
    const std::string file =
        "[Dup]\r\nKey=first\r\nkey=second\r\n"
        "[dup]\r\nKey=third\r\nOnlyHere=later section\r\n";
    const std::vector<Query> queries = {{"Dup", "Key"}, {"DUP", "KEY"}, {"dup", "OnlyHere"}};
    EXPECT_EQ(disagreements(file, queries), "");
}

TEST(IniAgainstWindows, ListsAgree) {
    const std::vector<Query> queries = {
        {"other", std::nullopt, "", 8192},       {"KEYS", std::nullopt, "", 8192},
        {"Empty", std::nullopt, "", 8192},       {std::nullopt, std::nullopt, "", 8192},
        {"Missing", std::nullopt, "none", 8192},
    };
    EXPECT_EQ(disagreements(kFile, queries), "");
}

TEST(IniAgainstWindows, AMissingFileGivesTheDefault) {
    const std::vector<Query> queries = {
        {"General", "Port"},
        {"General", "Port", ""},
        {"General", std::nullopt, "none", 8192},
        {std::nullopt, std::nullopt, "", 8192},
    };
    EXPECT_EQ(disagreements("", queries, false), "");
}

TEST(IniAgainstWindows, LineEndingsAndBlankLines) {
    const std::string file =
        "[A]\nKey=lf only\n\n[B]\r\n\r\nKey=after blank\r\n[C]\r\nKey=no final line end";
    const std::vector<Query> queries = {
        {"A", "Key"}, {"B", "Key"}, {"C", "Key"}, {std::nullopt, std::nullopt, "", 8192}};
    EXPECT_EQ(disagreements(file, queries), "");
}

// Broken files: NUL and high bytes, a line of 100,000 characters, a section header without its
// bracket. Nothing crashes, and the keys around the damage read as the system reads them.
TEST(IniAgainstWindows, DamagedFilesReadAlike) {
    const std::string file = std::string("[A]\r\nBefore=1\r\nJunk=\xFF\xFE\x01\x7F\r\n") +
                             std::string(100000, 'k') + "=long\r\n" +
                             std::string("Nul=a\0b\r\n", 9) + "[Broken\r\nKey=in broken\r\n" +
                             "[B]\r\nAfter=2\r\nLong=" + std::string(100000, 'v') + "\r\n";
    const std::vector<Query> queries = {
        {"A", "Before"},   {"A", "Junk"}, {"B", "After"}, {"B", "Long"},
        {"Broken", "Key"}, {"A", "Key"},  {"A", "Nul"},   {std::nullopt, std::nullopt, "", 8192},
    };
    EXPECT_EQ(disagreements(file, queries), "");
}

// Where the two differ on purpose. Both answers are pinned, so a change on either side shows.
// A key repeated in another letter case: the system lists every line, ours each name once (a
// caller reading the names back would get the first value twice). A line starting with ";": ours
// is a comment everywhere; the system leaves it out of the key list but still finds it by name.
// Neither case is documented for the system's reader.
TEST(IniAgainstWindows, DeliberateDifferences) {
    const std::string file = "[S]\r\nPort=1\r\nPORT=2\r\n;Note=yes\r\nName=x\r\n";
    TempFolder folder;
    folder.write("test.ini", file);
    const std::filesystem::path iniFile = folder / "test.ini";
    const std::string path = fromFsPath(iniFile);
    const Query list{"S", std::nullopt, "", 8192};
    EXPECT_EQ(systemAnswer(list, path), std::string("Port\0PORT\0Name\0", 15));
    EXPECT_EQ(getPrivateProfileString(list.section, list.key, "", 8192, iniFile),
              std::string("Port\0Name\0", 10));
    const Query comment{"S", ";Note", "none", 255};
    EXPECT_EQ(systemAnswer(comment, path), "yes");
    EXPECT_EQ(getPrivateProfileString(comment.section, comment.key, "none", 255, iniFile), "none");
    // A default of blanks only: the system keeps its first blank, ours strips them all.
    EXPECT_EQ(systemAnswer({"S", "Missing", "   ", 255}, path), " ");
    EXPECT_EQ(
        getPrivateProfileString(std::string("S"), std::string("Missing"), "   ", 255, iniFile), "");
}

// A list too long for the buffer: Windows cuts its last name short, ours leaves that name out
// whole, so that a caller never acts on half a name. The whole names before it agree.
TEST(IniAgainstWindows, ListsTooLongForTheBufferKeepOnlyWholeNames) {
    const std::string file = "[S]\r\nAlpha=1\r\nBravo=2\r\nCharlie=3\r\n";
    TempFolder folder;
    folder.write("test.ini", file);
    const std::filesystem::path iniFile = folder / "test.ini";
    const std::string path = fromFsPath(iniFile);
    const Query q{"S", std::nullopt, "", 16};
    const std::string ours =
        getPrivateProfileString(q.section, q.key, q.defaultText, q.buffer, iniFile);
    const std::string system = systemAnswer(q, path);
    EXPECT_EQ(ours, std::string("Alpha\0Bravo\0", 12));
    EXPECT_EQ(system.substr(0, ours.size()), ours);
    EXPECT_GT(system.size(), ours.size());  // the system's list ends in a cut "Char..."
}

TEST(IniAgainstWindows, cInifileValueMatchesTheSystemsBufferOf255) {
    TempFolder folder;
    folder.write("test.ini", kFile);
    cInifile ini;
    ini.setPath(folder / "test.ini");
    const std::string path = fromFsPath(ini.Path());
    ini.setSection("General");
    ini.setDefault("fallback");
    for (const char* key : {"Long", "Exact", "Quoted", "Name", "Missing"}) {
        ini.setKey(key);
        const std::string system = systemAnswer({"General", key, "fallback", 255}, path);
        EXPECT_EQ(ini.Value(), system) << key;
    }
    ini.setKey("Long");
    EXPECT_EQ(ini.Value().size(), 254u);
}

}  // namespace
}  // namespace korvex
