#pragma once
// A fresh program folder: a copy of the built program next to a configuration of the test's own
// and the branch table, as an installation anywhere on a disk would look.

#include <filesystem>
#include <string>
#include <vector>

#include "SystemHarness.h"
#include "support/TempFolder.h"

namespace korvex::test {

// INI text from its lines, each ended by CR LF.
inline std::string iniText(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

class ProgramFolder {
public:
    ProgramFolder() {
        namespace fs = std::filesystem;
        fs::copy_file(KORVEX_PROGRAM, program(), fs::copy_options::overwrite_existing);
        fs::permissions(program(), fs::perms::owner_all, fs::perm_options::add);
        fs::copy_file(fs::path(KORVEX_SOURCE_DIR) / "src/resources/banks_branches.txt",
                      folder_ / "banks_branches.txt");
    }

    const std::filesystem::path& path() const { return folder_.path(); }
    std::filesystem::path operator/(const std::string& name) const { return folder_ / name; }
    std::filesystem::path program() const { return folder_ / "korvex"; }
    // Configuration text is written as given: the tests keep to ASCII, which Windows-1255 shares.
    void writeConfig(const std::string& text) const { folder_.write("Korvex.ini", text); }
    void write(const std::string& name, const std::string& bytes) const {
        folder_.write(name, bytes);
    }
    std::string read(const std::string& name) const { return folder_.read(name); }
    bool exists(const std::string& name) const { return folder_.exists(name); }

private:
    TempFolder folder_;
};

}  // namespace korvex::test
