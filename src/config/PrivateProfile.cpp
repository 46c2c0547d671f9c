#include "config/PrivateProfile.h"

#include "config/FileIo.h"
#include "config/IniDocument.h"

namespace korvex {
namespace {

IniDocument load(const std::filesystem::path& path) {
    const auto bytes = readWholeFile(path);
    return bytes ? IniDocument::parse(*bytes) : IniDocument{};
}

// Names joined as "a\0b\0", cut after the last whole name that leaves room for the closing NUL
// pair. A name that does not fit is dropped rather than listed half.
std::string joinList(const std::vector<std::string>& names, std::size_t bufferSize) {
    std::string list;
    if (bufferSize < 2) return list;
    const std::size_t room = bufferSize - 2;
    for (const auto& name : names) {
        if (list.size() + name.size() + 1 > room) break;
        list += name;
        list += '\0';
    }
    return list;
}

std::string cut(const std::string& text, std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    return text.substr(0, bufferSize - 1);
}

// The system's reader drops the trailing blanks of the default text of a value; so does ours, so
// that a default reads back the same from either.
std::string defaultOf(const std::string& text) {
    const std::size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// Names and values pass as C strings would: a NUL ends them.
std::string cString(const std::string& text) { return text.substr(0, text.find('\0')); }

bool hasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

std::string getPrivateProfileString(const std::optional<std::string>& section,
                                    const std::optional<std::string>& key,
                                    const std::string& defaultText, std::size_t bufferSize,
                                    const std::filesystem::path& path) {
    if (section && key) {
        const auto bytes = readWholeFile(path);
        const auto value =
            bytes ? findIniValue(*bytes, cString(*section), cString(*key)) : std::nullopt;
        return cut(value ? *value : defaultOf(defaultText), bufferSize);
    }
    const IniDocument doc = load(path);
    if (!section) return joinList(doc.sectionNames(), bufferSize);
    const auto header = doc.findSection(cString(*section));
    if (!header) return cut(defaultText, bufferSize);
    return joinList(doc.keyNames(*header), bufferSize);
}

bool writePrivateProfileString(const std::optional<std::string>& section,
                               const std::optional<std::string>& key,
                               const std::optional<std::string>& value,
                               const std::filesystem::path& path) {
    if (!section) return false;
    const std::string sectionName = cString(*section);
    // A name or value that would not read back as written (a line break would even start a new
    // line of its own) is refused rather than written half.
    if (!iniNameWritable(sectionName, false)) return false;
    const std::string keyName = key ? cString(*key) : std::string();
    if (key && !iniNameWritable(keyName, true)) return false;
    const std::string text = value ? cString(*value) : std::string();
    if (hasLineBreak(text)) return false;

    IniDocument doc = load(path);
    if (!key || !value) {
        const std::size_t before = doc.lines().size();
        if (!key) {
            doc.removeSection(sectionName);
        } else {
            doc.removeKey(sectionName, keyName);
        }
        // Nothing to remove is success, and leaves the file (or its absence) alone.
        if (doc.lines().size() == before) return true;
    } else {
        doc.setValue(sectionName, keyName, text);
    }
    return writeFileAtomically(path, doc.serialize());
}

}  // namespace korvex
