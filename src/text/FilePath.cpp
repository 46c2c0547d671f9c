#include "text/FilePath.h"

#include "text/Cp1255.h"

namespace korvex {

std::filesystem::path toFsPath(std::string_view cp1255Path) {
    std::string utf8 = cp1255::toUtf8(cp1255Path);
    if constexpr (std::filesystem::path::preferred_separator == '/') {
        for (char& c : utf8) {
            if (c == '\\') c = '/';
        }
    }
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::filesystem::path resolveIn(const std::filesystem::path& folder, std::string_view cp1255Path) {
    std::filesystem::path p = toFsPath(cp1255Path);
    if (p.is_absolute() || folder.empty()) return p;
    return folder / p;
}

std::string fromFsPath(const std::filesystem::path& path) {
    const std::u8string u8 = path.u8string();
    return cp1255::fromUtf8(std::string(u8.begin(), u8.end()));
}

}  // namespace korvex
