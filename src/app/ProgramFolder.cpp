#include "app/ProgramFolder.h"

#include <fstream>
#include <system_error>

namespace korvex {

namespace fs = std::filesystem;

fs::path userDataFolder(const std::string& xdgDataHome, const std::string& home) {
    const fs::path xdg(xdgDataHome);
    if (xdg.is_absolute()) return xdg / "korvex";
    const fs::path homeFolder(home);
    if (homeFolder.is_absolute()) return homeFolder / ".local" / "share" / "korvex";
    return {};
}

bool folderIsWritable(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return false;
    const fs::path probe = folder / ".korvex-write-probe";
    bool made = false;
    {
        std::ofstream out(probe, std::ios::binary | std::ios::trunc);
        made = out.good() && static_cast<bool>(out << 'x') && static_cast<bool>(out.flush());
    }
    fs::remove(probe, ec);
    return made;
}

ProgramFolder chooseProgramFolder(const fs::path& executableFolder, const fs::path& userData,
                                  const fs::path& sharedData) {
    // An installed program (its shared data beside it) never writes into the system's folders,
    // not even when run by the administrator.
    std::error_code ec;
    const bool installed = !sharedData.empty() && fs::is_directory(sharedData, ec);
    if (!installed && folderIsWritable(executableFolder)) return {executableFolder, false, {}};
    if (userData.empty()) {
        return {executableFolder, false,
                "no user data folder: neither XDG_DATA_HOME nor HOME is set"};
    }
    ProgramFolder chosen{userData, true, {}};
    fs::create_directories(userData, ec);
    if (ec) {
        chosen.error = "cannot make " + userData.string() + ": " + ec.message();
        return chosen;
    }
    if (!fs::is_directory(sharedData, ec)) return chosen;
    for (auto it = fs::recursive_directory_iterator(sharedData, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path target = userData / fs::relative(it->path(), sharedData);
        std::error_code itemError;
        if (it->is_directory(itemError)) {
            fs::create_directories(target, itemError);
        } else if (!fs::exists(target, itemError)) {
            fs::copy_file(it->path(), target, itemError);
        }
        if (itemError && chosen.error.empty()) {
            chosen.error = "cannot copy " + it->path().string() + ": " + itemError.message();
        }
    }
    return chosen;
}

}  // namespace korvex
