#include "config/FileIo.h"

#include <fstream>
#include <random>
#include <system_error>

namespace korvex {
namespace {

namespace fs = std::filesystem;

std::string randomSuffix() {
    static std::mt19937_64 generator{std::random_device{}()};
    static const char* const digits = "0123456789abcdef";
    std::string suffix;
    auto value = generator();
    for (int i = 0; i < 12; ++i, value >>= 4) suffix.push_back(digits[value & 0xF]);
    return suffix;
}

}  // namespace

std::optional<std::string> readWholeFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    // One read of the whole size: the configuration is read again for every key, so this path
    // must stay cheap even for a large file.
    const auto size = fs::file_size(path, error);
    std::string bytes;
    if (!error) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(bytes.data(), static_cast<std::streamsize>(size));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        if (in.bad()) return std::nullopt;
        in.clear();
    }
    // Whatever the file grew by meanwhile.
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool writeFileAtomically(const fs::path& requested, std::string_view bytes) {
    std::error_code error;
    fs::path target = requested;
    if (fs::is_symlink(target, error)) {
        target = fs::weakly_canonical(target, error);
        if (error) return false;
    }
    const auto status = fs::status(target, error);
    const bool exists = fs::exists(status);
    if (exists && !fs::is_regular_file(status)) return false;
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, error)) return false;

    fs::path temporary;
    for (int attempt = 0; attempt < 8; ++attempt) {
        fs::path candidate =
            folder / (target.filename().native() + fs::path(".tmp-" + randomSuffix()).native());
        if (!fs::exists(candidate, error)) {
            temporary = std::move(candidate);
            break;
        }
    }
    if (temporary.empty()) return false;

    bool written = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.close();  // close() reports a failed final flush through failbit
            written = !out.fail();
        }
    }
    if (written && exists) {
        fs::permissions(temporary, status.permissions(), fs::perm_options::replace, error);
        written = !error;
    }
    if (written) {
        fs::rename(temporary, target, error);
        written = !error;
    }
    if (!written) fs::remove(temporary, error);
    return written;
}

}  // namespace korvex
