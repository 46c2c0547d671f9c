#pragma once
// Our own reader and writer of INI files, with the behaviour of the Windows private-profile
// functions that the configuration relies on:
//  - section and key names match without regard to letter case; the first match counts;
//  - a key line is split at its first "="; names and values lose their surrounding blanks, and a
//    value in a matching pair of single or double quotes loses the quotes; text after a value is
//    never a comment;
//  - other lines (";" comments among them) are ignored;
//  - "Name=" yields the empty text, not the default;
//  - a null key lists the key names of the section, a null section the section names of the
//    file, each name followed by a NUL and the list by a second NUL;
//  - writing creates file, section and key; a null value removes the key, a null key the section.
// The file is named by a native path: the program folder it lies in comes from the system and may
// hold characters that Windows-1255 lacks. Its contents are Windows-1255 bytes; lines end in CR
// LF, LF-only files are read as well. Writes go to a temporary file beside the target that is
// then renamed into place, so a crash mid-write leaves the old file or the new one, never half of
// either.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace korvex {

// GetPrivateProfileStringA: copies into a buffer of bufferSize characters (the last one kept for
// the closing NUL) and returns what was copied, NULs of a list included, without the final NUL.
// A null section or key (nullopt) asks for the lists. A list keeps room for its two closing NULs
// and loses the names that do not fit whole; a name repeated in the file (in any letter case) is
// listed once. A missing section gives the default, for the key list as for a value. The default
// of a value loses its trailing blanks, as the system's reader strips them.
std::string getPrivateProfileString(const std::optional<std::string>& section,
                                    const std::optional<std::string>& key,
                                    const std::string& defaultText, std::size_t bufferSize,
                                    const std::filesystem::path& path);

// WritePrivateProfileStringA: returns false when the file could not be written, or when a name or
// value would not read back as written (a line break anywhere, "=" or a leading ";" or "[" in a
// key, "]" in a section). A NUL ends a name or value as in a C string. Removing what is not there
// succeeds without touching the file. A removal takes every line of the key, or every section of
// the name, so that a repeated one does not come to light.
bool writePrivateProfileString(const std::optional<std::string>& section,
                               const std::optional<std::string>& key,
                               const std::optional<std::string>& value,
                               const std::filesystem::path& path);

}  // namespace korvex
