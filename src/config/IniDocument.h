#pragma once
// One INI file held as its lines, the single parser behind the private-profile functions, the
// configuration checker and the command-line INI reader.
//
// Reading rules (those the configuration depends on):
//  - lines end in CR LF, LF or a lone CR; a missing final line end is fine;
//  - a line whose first non-blank character is "[" and that has a "]" is a section header; the
//    name is what stands between them, blanks around it dropped; text after the "]" is ignored;
//  - any other line with an "=" is a key line: the name is what stands before the first "=", the
//    value everything after it; both lose surrounding blanks, and a value in a matching pair of
//    single or double quotes loses the quotes; text after a value is never a comment;
//  - everything else (";" comments, blank lines, key lines with an empty name, key lines before
//    the first header) is ignored;
//  - a NUL byte ends a name or value the way it ends a C string;
//  - names match without regard to ASCII letter case, and the first match wins.
// Bytes are kept as they are (Windows-1255); nothing is decoded.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

// ASCII case-insensitive equality, the comparison used for section and key names.
bool iniNamesEqual(std::string_view a, std::string_view b);

// Whether a name written into a file reads back as itself: no line break and no blank around it
// (reading drops blanks, so the name would never be found again and every write would add a new
// line); a section name holds no "]"; a key name is not empty, holds no "=" and does not start
// with ";" or "[" (it would read as a comment or a header).
bool iniNameWritable(std::string_view name, bool isKey);

struct IniLine {
    enum class Kind { Other, Section, Key };
    Kind kind = Kind::Other;
    std::string name;        // section or key name
    std::string value;       // key value (Key lines only)
    std::string raw;         // the line's bytes without its line end
    std::size_t number = 0;  // 1-based line number in the file as read
};

class IniDocument {
public:
    static IniDocument parse(std::string_view bytes);

    const std::vector<IniLine>& lines() const { return lines_; }

    // Index of the first header naming `section`, if any.
    std::optional<std::size_t> findSection(std::string_view section) const;
    // One past the last line of the section whose header is at `header`.
    std::size_t sectionEnd(std::size_t header) const;
    // Index of the first key line named `key` in the section whose header is at `header`.
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;

    // Section names in file order; a name repeated (in any letter case) is listed once, in its
    // first spelling, since only its first section is ever read. Empty names are left out.
    std::vector<std::string> sectionNames() const;
    // Key names of the section at `header`, in order, each listed once (first spelling).
    std::vector<std::string> keyNames(std::size_t header) const;

    // Edits. The line texts written are "[section]" and "key=value"; a value with blanks around
    // it, or in a pair of quotes, is written in double quotes so that it reads back whole.
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    // Removes every line of `key` in the first `section` (duplicates included).
    void removeKey(std::string_view section, std::string_view key);
    // Removes every section named `section`, headers and bodies.
    void removeSection(std::string_view section);

    // The file's bytes: every line followed by CR LF.
    std::string serialize() const;

private:
    std::vector<IniLine> lines_;
};

// The value of `key` in the first `section` of the file's bytes, found without building the
// whole document (the configuration is read once per key); nullopt when either is absent.
std::optional<std::string> findIniValue(std::string_view bytes, std::string_view section,
                                        std::string_view key);

}  // namespace korvex
