#include "output/FileName.h"

#include <system_error>

#include "text/FilePath.h"

namespace korvex {
namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Deep enough for any real folder tree, small enough that a hostile name cannot exhaust the stack.
constexpr int kMaxFolderDepth = 256;

void makeDirectoryPath(const std::filesystem::path& programFolder, std::string_view path,
                       int depth) {
    if (path.empty() || depth > kMaxFolderDepth) return;
    if (isSeparator(path.back())) path.remove_suffix(1);
    if (path.empty()) return;
    const std::filesystem::path target = resolveIn(programFolder, path);
    std::error_code error;
    if (std::filesystem::create_directory(target, error) || !error) return;
    if (error != std::errc::no_such_file_or_directory) return;
    const std::string parent = FolderPart(path);
    if (parent.empty()) return;
    makeDirectoryPath(programFolder, parent, depth + 1);
    std::filesystem::create_directory(target, error);
}

}  // namespace

bool IsDontSaveName(std::string_view name) {
    return name.find(kDontSaveMarker) != std::string_view::npos;
}

std::string SanitizeFileName(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '\0': break;
            case '*':
            case '>':
            case '<':
            case '|':
            case '?':
            case ':':
            case '"': out.push_back('_'); break;
            default: out.push_back(c);
        }
    }
    // A text of nothing but NULs is as empty as no text at all.
    if (out.empty()) return std::string(kDontSaveMarker);
    return out;
}

std::string FolderPart(std::string_view name) {
    const size_t last = name.find_last_of("\\/");
    if (last == std::string_view::npos) return {};
    return std::string(name.substr(0, last));
}

void MakeDirectoryPath(const std::filesystem::path& programFolder, std::string_view path) {
    makeDirectoryPath(programFolder, path, 0);
}

}  // namespace korvex
