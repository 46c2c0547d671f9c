#pragma once
// The configuration tests use the main window on fakes that every core test shares.

#include "config/cInifile.h"
#include "support/CoreHarness.h"

namespace korvex::test {

using ConfigHarness = CoreHarness;

// An INI file object aimed at one file, section, key and default.
inline cInifile iniAt(const std::filesystem::path& file, const std::string& section = {},
                      const std::string& key = {}, const std::string& defaultText = {}) {
    cInifile ini;
    ini.setPath(file);
    ini.setSection(section);
    ini.setKey(key);
    ini.setDefault(defaultText);
    return ini;
}

}  // namespace korvex::test
