#pragma once
// Whole-file reads and crash-safe whole-file writes for the configuration layer.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

// The bytes of a regular file, or nullopt when it is missing, not a regular file or unreadable.
std::optional<std::string> readWholeFile(const std::filesystem::path& path);

// Writes `bytes` to a new temporary file beside `path` and renames it over `path`, so that a
// crash at any moment leaves either the old file or the new one. A symbolic link is followed
// (the file it names is replaced, the link stays), and an existing file's permissions are kept.
// Returns false, with `path` untouched and no temporary file left, when any step fails (missing
// or non-folder parent, `path` being a folder, a full disk, a refused rename).
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace korvex
