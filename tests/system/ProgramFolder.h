#pragma once
// A fresh installation: a copy of the built program, the branch table and the test's configuration.

#include <string>

#include "support/ProcessHarness.h"  // with TempFolder

namespace korvex::test {

struct ProgramFolder : TempFolder {
    ProgramFolder() {
        std::filesystem::copy_file(KORVEX_PROGRAM, program());
        std::filesystem::copy_file(KORVEX_SOURCE_DIR "/src/resources/banks_branches.txt",
                                   *this / "banks_branches.txt");
    }
    std::filesystem::path program() const { return *this / "korvex"; }
    // Lines written "a|b|c"; the tests keep to ASCII, which Windows-1255 shares.
    void writeConfig(std::string lines) const {
        for (auto at = lines.find('|'); at != std::string::npos; at = lines.find('|', at)) {
            lines.replace(at, 1, "\r\n");
        }
        write("Korvex.ini", lines + "\r\n");
    }
};

}  // namespace korvex::test
