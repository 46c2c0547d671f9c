#pragma once
// Where the program keeps Korvex.ini, the CSV log, the images and the netpbm folder with its
// scripts and temporary pictures. Operators copy the program into a folder of their own, and it
// keeps everything beside itself. After a system-wide install that folder is read-only; the
// program then uses the user's own data folder, made on the first start from the shared data the
// package installs.

#include <filesystem>
#include <string>

namespace korvex {

// $XDG_DATA_HOME/korvex; $HOME/.local/share/korvex when XDG_DATA_HOME is unset, empty or
// relative (relative values are to be ignored); empty when neither gives an absolute folder.
std::filesystem::path userDataFolder(const std::string& xdgDataHome, const std::string& home);

// Whether a file can be made in `folder`: a probe file is created and removed again.
bool folderIsWritable(const std::filesystem::path& folder);

struct ProgramFolder {
    std::filesystem::path folder;
    bool userData = false;  // the user's data folder stands in for the executable's
    std::string error;      // why the user's data folder could not be made (empty: it was)
};

// The executable's folder when it is writable and not an installed program's (one with the
// shared data folder beside it); else `userData`, created when missing, with each
// file of `sharedData` (the netpbm scripts, the sample branch table; subfolders included) copied
// in when the user's folder lacks it. Files already there are never overwritten: the operator
// may have edited them.
ProgramFolder chooseProgramFolder(const std::filesystem::path& executableFolder,
                                  const std::filesystem::path& userData,
                                  const std::filesystem::path& sharedData);

}  // namespace korvex
