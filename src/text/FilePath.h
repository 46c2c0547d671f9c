#pragma once
// The file layer's view of the core's path texts.
//
// Templates and settings write folders with "\" (stored configuration files rely on it), and the
// core's texts are Windows-1255. Turning such a text into a path for the disk happens here and
// only here: "\" becomes the system's separator, the text becomes Unicode, and a relative path
// is taken from the program folder.

#include <filesystem>
#include <string>
#include <string_view>

namespace korvex {

// A Windows-1255 path text as a filesystem path (no folder applied).
std::filesystem::path toFsPath(std::string_view cp1255Path);

// The same, relative paths taken from `folder`.
std::filesystem::path resolveIn(const std::filesystem::path& folder, std::string_view cp1255Path);

// A filesystem path back to a Windows-1255 text (characters outside the code page become "?").
std::string fromFsPath(const std::filesystem::path& path);

}  // namespace korvex
