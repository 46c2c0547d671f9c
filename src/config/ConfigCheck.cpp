#include "config/ConfigCheck.h"

#include <unordered_set>

#include "config/IniDocument.h"
#include "config/SettingKeys.h"

namespace korvex {
namespace {

constexpr std::size_t kValueLimit = 254;        // what one read returns
constexpr std::size_t kSectionListRoom = 8190;  // what the list of all sections can hold

std::string folded(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool profileValueConverts(const ProfileKey& key, const std::string& value) {
    ProfileSettings profile;
    IconAppearance icon;
    GlobalSettings global;
    ProfileTarget scratch{profile, icon, global};
    return key.apply(value, scratch);
}

std::string notConverting(const std::string& accepts) {
    return "does not convert, so it is not used; accepted: " + accepts;
}

}  // namespace

std::string printableValue(std::string_view value, std::size_t maxShown) {
    std::string out;
    for (std::size_t i = 0; i < value.size() && i < maxShown; ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        out.push_back(c < 0x20 || c == 0x7F ? '?' : value[i]);
    }
    if (value.size() > maxShown) out += "...";
    return out;
}

std::vector<ConfigProblem> checkConfiguration(std::string_view fileBytes) {
    std::vector<ConfigProblem> problems;
    const IniDocument doc = IniDocument::parse(fileBytes);
    const auto& lines = doc.lines();
    if (fileBytes.substr(0, 3) == "\xEF\xBB\xBF") {
        problems.push_back({1,
                            {},
                            {},
                            {},
                            "the file starts with a UTF-8 byte-order mark: it must be saved as "
                            "Windows-1255 (ANSI) text, and its first line is not read as written"});
    }
    const auto configHeader = doc.findSection("Config");

    std::unordered_set<std::string> sectionsSeen;
    std::unordered_set<std::string> keysSeen;
    std::size_t listSize = 0;
    bool listFull = false;
    bool inSection = false, ignoredSection = false, configSource = false, profile = false;
    std::string section;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const IniLine& line = lines[i];
        if (line.raw.find('\0') != std::string::npos) {
            problems.push_back({line.number,
                                section,
                                line.name,
                                {},
                                "contains a NUL character; the rest of its name or value is "
                                "ignored"});
        }
        if (line.kind == IniLine::Kind::Section) {
            inSection = true;
            section = line.name;
            keysSeen.clear();
            ignoredSection = !sectionsSeen.insert(folded(line.name)).second;
            configSource = configHeader && *configHeader == i;
            profile = line.name != "Config";
            if (ignoredSection) {
                problems.push_back({line.number,
                                    section,
                                    {},
                                    {},
                                    "repeated section: only the first [" + line.name +
                                        "] is read, this one and its keys are ignored"});
                continue;
            }
            if (configSource && profile) {
                problems.push_back({line.number,
                                    section,
                                    {},
                                    {},
                                    "read as [Config] and also listed as a profile named \"" +
                                        line.name + "\"; write it as [Config]"});
            }
            if (profile && !line.name.empty()) {
                listSize += line.name.size() + 1;
                if (!listFull && listSize > kSectionListRoom) {
                    listFull = true;
                    problems.push_back({line.number,
                                        section,
                                        {},
                                        {},
                                        "the names of all sections exceed 8190 characters: this "
                                        "section and the ones after it are not seen as profiles"});
                }
            }
            continue;
        }
        if (line.kind == IniLine::Kind::Other) {
            const auto first = line.raw.find_first_not_of(" \t\v\f");
            if (first != std::string::npos && line.raw[first] != ';') {
                problems.push_back({line.number,
                                    section,
                                    {},
                                    printableValue(line.raw),
                                    "neither a section header, a key line nor a comment; ignored"});
            }
            continue;
        }
        // A key line.
        if (!inSection) {
            problems.push_back(
                {line.number, {}, line.name, line.value, "key outside any section; ignored"});
            continue;
        }
        if (ignoredSection) continue;
        if (!keysSeen.insert(folded(line.name)).second) {
            problems.push_back({line.number, section, line.name, line.value,
                                "repeated key: only the first is read, this one is ignored"});
            continue;
        }
        const std::string value = line.value.substr(0, kValueLimit);
        if (line.value.size() > kValueLimit) {
            problems.push_back({line.number, section, line.name, value,
                                "longer than 254 characters: only the first 254 are read"});
        }
        const ConfigKey* configKey = configSource ? findConfigKey(line.name) : nullptr;
        const ProfileKey* profileKey = findProfileKey(line.name);
        if (configKey != nullptr) {
            if (!configKey->converts(value)) {
                problems.push_back({line.number, section, line.name, value,
                                    "does not convert, so the program stops at start-up; "
                                    "accepted: " +
                                        configKey->accepts});
            }
        } else if (profileKey != nullptr) {
            if (!profileValueConverts(*profileKey, value)) {
                problems.push_back(
                    {line.number, section, line.name, value, notConverting(profileKey->accepts)});
            }
        } else if (findConfigKey(line.name) != nullptr) {
            problems.push_back({line.number, section, line.name, value,
                                "belongs in [Config]; ignored in a profile"});
        } else {
            problems.push_back({line.number, section, line.name, value, "unknown key; ignored"});
        }
    }
    return problems;
}

}  // namespace korvex
