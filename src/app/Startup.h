#pragma once
// Start-up's messages and the pieces of it that are plain rules, kept apart so they are tested
// on their own. The sequence itself is frmKorvex::Form_Load.

#include <filesystem>
#include <optional>
#include <string>

#include "accounts/RestrictedAccounts.h"
#include "platform/Clock.h"

namespace korvex {

// The restricted-list age check: the first file that matches `accountListPath` followed
// directly by "ACC*.TXT" (the path is a prefix: it names a folder when it ends with "\"), else
// the path itself. nullopt when neither exists.
std::optional<std::filesystem::path> restrictedListForAgeCheck(
    const std::filesystem::path& programFolder, const std::string& accountListPath);

// True when the warning is due: more than 7 calendar days, or the time cannot be read.
bool restrictedListTooOld(const std::optional<LocalDateTime>& modified, const LocalDateTime& now);

// Message texts (Windows-1255).
std::string programTitle();       // "קורא צ'קים וכרטיסים של Ovra"
std::string programErrorTitle();  // "שגיאה בקורא צ'קים וכרטיסים של Ovra"
std::string listAgeWarningText();
std::string pageUnreachableText();
std::string branchFileMissingText();
std::string exitQuestionTitle();  // "קורא כרטיסים וצ'קים של Ovra"
std::string exitQuestionText();

// The watchdog's command line on a Windows script host: wscript.exe, the script in quotes,
// " //e:vbscript  //nologo ", the program file in quotes, a blank, the semaphore file in quotes.
std::string windowsWatchdogCommand(const std::string& scriptFile, const std::string& programFile,
                                   const std::string& semaphoreFile);

}  // namespace korvex
