// Our INI reader against the system's own GetPrivateProfileStringA on the same files: the answers
// must be the same bytes, lists included. Where ours differs on purpose (a name repeated in another
// letter case listed once, ";" lines never keys, a default of blanks stripped whole, a list cut
// before a name that does not fit) the core's tests pin our answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "config/PrivateProfile.h"
#include "support/TempFolder.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

struct Query {
    std::optional<std::string> section, key;
    std::string defaultText = "DEFAULT";
    std::size_t buffer = 255;
};
const std::nullopt_t kList = std::nullopt;  // a null section or key asks for the names

// One file asked of both readers; ours takes the native path, the system's the same as text.
struct IniFile {
    test::TempFolder folder;
    std::filesystem::path path = folder / "test.ini";
    explicit IniFile(const std::optional<std::string>& text) {
        if (text) folder.write("test.ini", *text);
    }
    std::string ours(const Query& q) const {
        return getPrivateProfileString(q.section, q.key, q.defaultText, q.buffer, path);
    }
    std::string system(const Query& q) const {
        std::string buffer(q.buffer, '\x7F');
        buffer.resize(::GetPrivateProfileStringA(
            q.section ? q.section->c_str() : nullptr, q.key ? q.key->c_str() : nullptr,
            q.defaultText.c_str(), buffer.data(), static_cast<DWORD>(q.buffer),
            fromFsPath(path).c_str()));
        return buffer;
    }
};

const std::string kFile =
    "; a comment line\r\n[General]\r\nPort=1\r\nPORT=2\r\nName=\r\nQuoted=\"  spaced value  \"\r\n"
    "Mixed=\"abc'\r\nEquation=a=b=c\r\n"
    "  Padded Key  =   padded value   \r\n\tTabbed=\tx\t\r\n;Commented=yes\r\n"
    "Trailing=value ; not a comment\r\nLong=" +
    std::string(300, 'x') + "\r\nExact=" + std::string(254, 'y') +
    "\r\n[Empty]\r\n[  Spaced Section  ]\r\nKey=spaced\r\n"
    "[Other]\r\nPort=9\r\nNoEquals\r\n[Keys]\r\n  Padded  =1\r\nQuoted=\"x\"\r\nEmpty=\r\n"
    "; a comment\r\nLast=z\r\n";

TEST(IniAgainstWindows, AnswersAgree) {
    // Broken files: NUL and high bytes, lines of 100,000 characters, a header without its bracket.
    const std::string damaged = std::string("[A]\r\nBefore=1\r\nJunk=\xFF\xFE\x01\x7F\r\n") +
                                std::string(100000, 'k') + "=long\r\n" +
                                std::string("Nul=a\0b\r\n", 9) + "[Broken\r\nKey=in broken\r\n" +
                                "[B]\r\nAfter=2\r\nLong=" + std::string(100000, 'v') + "\r\n";
    const Query allSections{kList, kList, "", 8192};
    const std::pair<std::optional<std::string>, std::vector<Query>> cases[] = {
        {kFile,
         {{"GENERAL", "port"},
          {"General", "Name"},
          {"General", "Quoted"},
          {"General", "Mixed"},
          {"General", "Equation"},
          {"General", "Padded Key"},
          {"General", "Tabbed"},
          {"General", "Commented"},
          {"General", "Trailing"},
          {"General", "Long"},
          {"General", "Exact"},
          {"Spaced Section", "Key"},
          {"Other", "NoEquals"},
          {"General", "Long", "", 10},
          {"General", "Missing", "a def", 5},
          {"General", "Missing", "  blank default  "},
          {"KEYS", kList, "", 8192},
          {"Empty", kList, "", 8192},
          {"Missing", kList, "none", 8192},
          allSections}},
        {"[Dup]\r\nKey=first\r\nkey=second\r\n[dup]\r\nKey=third\r\nOnlyHere=later section\r\n",
         {{"Dup", "Key"}, {"DUP", "KEY"}, {"dup", "OnlyHere"}}},
        {std::nullopt,  // no file at all
         {{"General", "Port"},
          {"General", "Port", ""},
          {"General", kList, "none", 8192},
          allSections}},
        {"[A]\nKey=lf only\n\n[B]\r\n\r\nKey=after blank\r\n[C]\r\nKey=no final line end",
         {{"A", "Key"}, {"B", "Key"}, {"C", "Key"}, allSections}},
        {damaged,
         {{"A", "Before"},
          {"A", "Junk"},
          {"B", "After"},
          {"B", "Long"},
          {"Broken", "Key"},
          {"A", "Key"},
          {"A", "Nul"},
          allSections}},
    };
    for (const auto& [text, queries] : cases) {
        const IniFile file(text);
        for (const Query& q : queries) {
            SCOPED_TRACE("[" + q.section.value_or("<null>") + "] " + q.key.value_or("<null>"));
            EXPECT_EQ(file.ours(q), file.system(q));
        }
    }
}

}  // namespace
}  // namespace korvex
