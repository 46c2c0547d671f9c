#pragma once
// Image and log file names: cleaning the operator's {User} text and creating folders.
//
// Names are Windows-1255 texts with "\" between folders, as the templates write them; the file
// layer (text/FilePath.h) turns them into paths for the disk.

#include <filesystem>
#include <string>
#include <string_view>

namespace korvex {

// Marks an image name that must not be saved: the operator left the {User} prompt empty.
inline constexpr std::string_view kDontSaveMarker = "<<DONTSAVE>>";

// True when an image name carries kDontSaveMarker anywhere.
bool IsDontSaveName(std::string_view name);

// The operator's text made safe for a file name: each of * > < | ? : and the double quote
// becomes "_", NUL characters are dropped, "\" and "/" stay (the operator may type sub-folders).
// An empty text (or one that cleaning empties) becomes kDontSaveMarker.
std::string SanitizeFileName(std::string_view text);

// The folder part of a file name: the text before its last "\" (or "/", which the operator may
// type too); empty when the name has no folder part.
std::string FolderPart(std::string_view name);

// Creates the folder `path` and every missing parent. Relative paths are taken from
// `programFolder`. One trailing separator is ignored; an empty path does nothing. Failures
// (the folder exists, access denied, an invalid name) are silent by contract: the caller finds
// out when it writes the file.
void MakeDirectoryPath(const std::filesystem::path& programFolder, std::string_view path);

}  // namespace korvex
