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

const std::nullopt_t kList = std::nullopt;  // a null section or key asks for the names
struct Asked {
    std::optional<std::string> section;
    std::vector<std::optional<std::string>> keys;
    std::string defaultText = "DEFAULT";
    std::size_t buffer = 255;
};

// One file asked of both readers; ours takes the native path, the system's the same as text.
struct IniFile {
    test::TempFolder folder;
    std::filesystem::path path = folder / "test.ini";
    explicit IniFile(const std::string& text) { folder.write("test.ini", text); }
    std::string ours(const Asked& q, const std::optional<std::string>& key) const {
        return getPrivateProfileString(q.section, key, q.defaultText, q.buffer, path);
    }
    std::string system(const Asked& q, const std::optional<std::string>& key) const {
        std::string buffer(q.buffer, '\x7F');
        buffer.resize(::GetPrivateProfileStringA(
            q.section ? q.section->c_str() : nullptr, key ? key->c_str() : nullptr,
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
    const IniFile file(kFile);
    const Asked asked[] = {
        {"GENERAL",
         {"port", "Name", "Quoted", "Mixed", "Equation", "Padded Key", "Tabbed", "Commented",
          "Trailing", "Long", "Exact"}},
        {"Spaced Section", {"Key"}},
        {"Other", {"NoEquals"}},
        {"General", {"Long"}, "", 10},
        {"General", {"Missing"}, "a def", 5},
        {"General", {"Missing"}, "  blank default  "},
        {"KEYS", {kList}, "", 8192},
        {"Empty", {kList}, "", 8192},
        {"Missing", {kList}, "none", 8192},
        {kList, {kList}, "", 8192},  // the sections
    };
    for (const Asked& a : asked) {
        for (const auto& key : a.keys) {
            SCOPED_TRACE("[" + a.section.value_or("-") + "] " + key.value_or("-"));
            EXPECT_EQ(file.ours(a, key), file.system(a, key));
        }
    }
}

}  // namespace
}  // namespace korvex
