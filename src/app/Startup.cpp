#include "app/Startup.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "text/Cp1255.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

bool equalsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

bool startsWithNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

const char* const kSupportLine = "לסיוע, נא לפנות ל-Ovra בטלפון: 03-5550123";

}  // namespace

std::optional<std::filesystem::path> restrictedListForAgeCheck(
    const std::filesystem::path& programFolder, const std::string& accountListPath) {
    // Split the prefix into its folder and the start of the file name.
    const auto cut = accountListPath.find_last_of('\\');
    const std::string folderText =
        cut == std::string::npos ? std::string() : accountListPath.substr(0, cut + 1);
    const std::string namePrefix =
        (cut == std::string::npos ? accountListPath : accountListPath.substr(cut + 1)) + "ACC";
    const std::filesystem::path folder =
        folderText.empty() ? programFolder : resolveIn(programFolder, folderText);
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = fromFsPath(it->path().filename());
        if (name.size() >= namePrefix.size() + 4 && startsWithNoCase(name, namePrefix) &&
            equalsNoCase(name.substr(name.size() - 4), ".TXT") && it->is_regular_file(error)) {
            return it->path();
        }
    }
    const std::filesystem::path itself = resolveIn(programFolder, accountListPath);
    if (std::filesystem::exists(itself, error)) return itself;
    return std::nullopt;
}

bool restrictedListTooOld(const std::optional<LocalDateTime>& modified, const LocalDateTime& now) {
    return !modified || now.calendarDaysSince(*modified) > 7;
}

std::string programTitle() { return cp1255::fromUtf8("קורא צ'קים וכרטיסים של Ovra"); }
std::string programErrorTitle() { return cp1255::fromUtf8("שגיאה בקורא צ'קים וכרטיסים של Ovra"); }

std::string listAgeWarningText() {
    return cp1255::fromUtf8(
               "אזהרה: נתונים אודות חשבונות מוגבלים לא עודכנו מאתר בנק ישראל מעל שבוע ימים. "
               "מומלץ לבצע עדכון.") +
           "\r\n\r\n" + cp1255::fromUtf8(kSupportLine);
}

std::string pageUnreachableText() {
    return cp1255::fromUtf8("אין תקשורת נתונים לאתר בנק ישראל. ") + "\r\n\r\n" +
           cp1255::fromUtf8("לא ניתן להריץ את התוכנה.") + "\r\n\r\n" +
           cp1255::fromUtf8(kSupportLine);
}

std::string branchFileMissingText() {
    return cp1255::fromUtf8("שגיאה:") + "\r\n" +
           cp1255::fromUtf8(
               "קובץ סניפי בנק מותרים לא נמצא. ייתכן כי יהיו בעיות בקריאת צ'קים. "
               "אנא פנה ל-Ovra בטלפון: 03-5550123");
}

std::string exitQuestionTitle() { return cp1255::fromUtf8("קורא כרטיסים וצ'קים של Ovra"); }

std::string exitQuestionText() {
    return cp1255::fromUtf8("האם אתה בטוח שברצונך לצאת מתוכנת קורא הכרטיסים והצ'קים?");
}

std::string windowsWatchdogCommand(const std::string& scriptFile, const std::string& programFile,
                                   const std::string& semaphoreFile) {
    return "wscript.exe \"" + scriptFile + "\" //e:vbscript  //nologo \"" + programFile + "\" \"" +
           semaphoreFile + "\"";
}

}  // namespace korvex
