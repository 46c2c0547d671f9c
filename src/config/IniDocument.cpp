#include "config/IniDocument.h"

#include <algorithm>
#include <unordered_set>

namespace korvex {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A name or value ends at a NUL, as it would in a C string.
std::string_view cutAtNul(std::string_view s) {
    const auto nul = s.find('\0');
    return nul == std::string_view::npos ? s : s.substr(0, nul);
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

struct LineView {
    IniLine::Kind kind = IniLine::Kind::Other;
    std::string_view name, value;
};

LineView classifyView(std::string_view raw) {
    LineView line;
    const std::string_view text = trim(raw);
    if (text.empty() || text.front() == ';') return line;
    if (text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos) return line;
        line.kind = IniLine::Kind::Section;
        line.name = trim(cutAtNul(text.substr(1, close - 1)));
        return line;
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) return line;
    const std::string_view name = trim(cutAtNul(text.substr(0, equals)));
    if (name.empty()) return line;
    // The value is cut at a NUL before trimming, so "a\0 b" reads as "a".
    std::string_view value = trim(cutAtNul(text.substr(equals + 1)));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    line.kind = IniLine::Kind::Key;
    line.name = name;
    line.value = value;
    return line;
}

// The value as a key line must hold it: reading drops blanks around a value and one pair of
// quotes, so such a value is wrapped in quotes of its own.
std::string valueText(std::string_view value) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (value.empty() || (!quoted && !isBlank(value.front()) && !isBlank(value.back()))) {
        return std::string(value);
    }
    return "\"" + std::string(value) + "\"";
}

IniLine classify(std::string raw, std::size_t number) {
    const LineView view = classifyView(raw);
    IniLine line;
    line.kind = view.kind;
    line.name = std::string(view.name);
    line.value = std::string(view.value);
    line.raw = std::move(raw);
    line.number = number;
    return line;
}

// Calls visit(raw line) for every line; lines end in CR LF, LF or a lone CR. visit returns false
// to stop. The next CR and LF are found with the library's fast search and kept until passed, so
// that long lines and many short ones both cost linear time.
template <typename Visit>
void forEachLine(std::string_view bytes, Visit visit) {
    std::size_t start = 0;
    std::size_t nextCr = bytes.find('\r');
    std::size_t nextLf = bytes.find('\n');
    while (start < bytes.size()) {
        if (nextCr != std::string_view::npos && nextCr < start) nextCr = bytes.find('\r', start);
        if (nextLf != std::string_view::npos && nextLf < start) nextLf = bytes.find('\n', start);
        std::size_t end = std::min(std::min(nextCr, nextLf), bytes.size());
        if (!visit(bytes.substr(start, end - start))) return;
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
            bytes[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
}

std::string folded(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

// Appends `name` unless a name equal to it in letter-case-blind comparison is already there.
// The set keeps this linear for files with very many names.
void addOnce(std::vector<std::string>& names, std::unordered_set<std::string>& seen,
             const std::string& name) {
    if (seen.insert(folded(name)).second) names.push_back(name);
}

}  // namespace

bool iniNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

bool iniNameWritable(std::string_view name, bool isKey) {
    if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
    if (!name.empty() && (isBlank(name.front()) || isBlank(name.back()))) return false;
    if (!isKey) return name.find(']') == std::string_view::npos;
    return !name.empty() && name.find('=') == std::string_view::npos && name.front() != ';' &&
           name.front() != '[';
}

IniDocument IniDocument::parse(std::string_view bytes) {
    IniDocument doc;
    std::size_t number = 1;
    forEachLine(bytes, [&](std::string_view raw) {
        doc.lines_.push_back(classify(std::string(raw), number++));
        return true;
    });
    return doc;
}

std::optional<std::string> findIniValue(std::string_view bytes, std::string_view section,
                                        std::string_view key) {
    std::optional<std::string> found;
    bool inSection = false;
    forEachLine(bytes, [&](std::string_view raw) {
        const LineView line = classifyView(raw);
        if (line.kind == IniLine::Kind::Section) {
            // Only the first section of the name is read: its end ends the search.
            if (inSection) return false;
            inSection = iniNamesEqual(line.name, section);
        } else if (inSection && line.kind == IniLine::Kind::Key && iniNamesEqual(line.name, key)) {
            found = std::string(line.value);
            return false;
        }
        return true;
    });
    return found;
}

std::optional<std::size_t> IniDocument::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == IniLine::Kind::Section && iniNamesEqual(lines_[i].name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniDocument::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != IniLine::Kind::Section) ++i;
    return i;
}

std::optional<std::size_t> IniDocument::findKey(std::size_t header, std::string_view key) const {
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == IniLine::Kind::Key && iniNamesEqual(lines_[i].name, key)) return i;
    }
    return std::nullopt;
}

std::vector<std::string> IniDocument::sectionNames() const {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const auto& line : lines_) {
        if (line.kind == IniLine::Kind::Section && !line.name.empty())
            addOnce(names, seen, line.name);
    }
    return names;
}

std::vector<std::string> IniDocument::keyNames(std::size_t header) const {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == IniLine::Kind::Key) addOnce(names, seen, lines_[i].name);
    }
    return names;
}

void IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    const auto header = findSection(section);
    if (!header) {
        lines_.push_back(classify("[" + std::string(section) + "]", 0));
        lines_.push_back(classify(std::string(key) + "=" + valueText(value), 0));
        return;
    }
    if (const auto at = findKey(*header, key)) {
        // Keep the file's spelling of the name.
        lines_[*at] = classify(lines_[*at].name + "=" + valueText(value), 0);
        return;
    }
    // A new key goes after the section's last key line, so the comment block that introduces
    // the next section stays with that section.
    std::size_t insertAt = *header + 1;
    const std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (lines_[i].kind == IniLine::Kind::Key) insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  classify(std::string(key) + "=" + valueText(value), 0));
}

void IniDocument::removeKey(std::string_view section, std::string_view key) {
    const auto header = findSection(section);
    if (!header) return;
    std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end;) {
        if (lines_[i].kind == IniLine::Kind::Key && iniNamesEqual(lines_[i].name, key)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            --end;
        } else {
            ++i;
        }
    }
}

void IniDocument::removeSection(std::string_view section) {
    while (const auto header = findSection(section)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd(*header)));
    }
}

std::string IniDocument::serialize() const {
    std::string out;
    std::size_t size = 0;
    for (const auto& line : lines_) size += line.raw.size() + 2;
    out.reserve(size);
    for (const auto& line : lines_) {
        out += line.raw;
        out += "\r\n";
    }
    return out;
}

}  // namespace korvex
