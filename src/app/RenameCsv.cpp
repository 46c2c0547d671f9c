// The tray menu's log reset: the cheque log is copied under its archive name and a new log begins.

#include <filesystem>
#include <system_error>

#include "app/frmKorvex.h"
#include "config/FileIo.h"
#include "output/FileName.h"
#include "output/Template.h"
#include "platform/Clock.h"
#include "platform/OperatorUi.h"
#include "text/Cp1255.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

// Whether the two paths name the same file, so that archiving would copy the log onto itself
// and then delete it. Links are resolved and letters compared without case, as Windows file
// names are; where the system tells case apart this refuses a name that differs only in case,
// which keeps the log and says so.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    const std::filesystem::path first = std::filesystem::weakly_canonical(a, error);
    if (error) return true;
    const std::filesystem::path second = std::filesystem::weakly_canonical(b, error);
    if (error) return true;
    auto folded = [](const std::filesystem::path& p) {
        const std::u8string text = p.generic_u8string();
        std::string out(text.begin(), text.end());
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        return out;
    };
    return folded(first) == folded(second);
}

}  // namespace

void frmKorvex::RenameCSV_Click() {
    const ProfileSettings& settings = profile();
    if (settings.CSVRenTemplate.empty() || settings.CSVFile.empty()) return;

    const std::string archiveName =
        ExpandDateCodes(settings.CSVRenTemplate, services().clock.now());
    const std::string folder = FolderPart(archiveName);
    if (!folder.empty()) MakeDirectoryPath(program().folder, folder);

    const std::filesystem::path log = resolveIn(program().folder, settings.CSVFile);
    const std::filesystem::path archive = resolveIn(program().folder, archiveName);
    std::error_code error;
    // No log yet (nothing logged since the last reset): nothing to keep, nothing to say.
    if (!std::filesystem::exists(log, error)) return;

    // Read whole and written beside the archive, then renamed over it: an archive of the same
    // name is replaced only by a complete copy (and the standard library's copy_file cannot
    // overwrite on every system).
    const auto bytes = readWholeFile(log);
    const bool copied = bytes && !sameFile(log, archive) && writeFileAtomically(archive, *bytes);
    if (!copied) {
        // The live log is the only copy of these cheques: keep it and say so.
        services().ui.messageBox(
            cp1255::fromUtf8("לא ניתן היה לשמור את קובץ היומן ") + settings.CSVFile +
                cp1255::fromUtf8(" בשם ") + archiveName + "." + "\r\n\r\n" +
                cp1255::fromUtf8("קובץ היומן לא נמחק, והצ'קים הבאים יירשמו בו כרגיל."),
            cp1255::fromUtf8("שגיאה בקורא צ'קים וכרטיסים של Ovra"), MsgIcon::Exclamation);
        return;
    }
    std::filesystem::remove(log, error);
}

}  // namespace korvex
