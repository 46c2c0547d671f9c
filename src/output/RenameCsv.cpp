// The tray menu's log reset: the cheque log is copied under its archive name and a new log begins.

#include <filesystem>
#include <system_error>

#include "app/frmKorvex.h"
#include "output/FileName.h"
#include "output/Template.h"
#include "platform/Clock.h"
#include "platform/OperatorUi.h"
#include "text/Cp1255.h"
#include "text/FilePath.h"

namespace korvex {

void frmKorvex::RenameCSV_Click() {
    const ProfileSettings& settings = profile();
    if (settings.CSVRenTemplate.empty() || settings.CSVFile.empty()) return;

    const LocalDateTime now =
        services().clock != nullptr ? services().clock->now() : LocalDateTime{};
    const std::string archiveName = ExpandDateCodes(settings.CSVRenTemplate, now);
    const std::string folder = FolderPart(archiveName);
    if (!folder.empty()) MakeDirectoryPath(program().folder, folder);

    const std::filesystem::path log = resolveIn(program().folder, settings.CSVFile);
    const std::filesystem::path archive = resolveIn(program().folder, archiveName);
    std::error_code error;
    // No log yet (nothing logged since the last reset): nothing to keep, nothing to say.
    if (!std::filesystem::exists(log, error)) return;

    const bool copied = std::filesystem::copy_file(
        log, archive, std::filesystem::copy_options::overwrite_existing, error);
    if (!copied || error) {
        // The live log is the only copy of these cheques: keep it and say so.
        if (services().ui != nullptr) {
            services().ui->messageBox(
                cp1255::fromUtf8("לא ניתן היה לשמור את קובץ היומן ") + settings.CSVFile +
                    cp1255::fromUtf8(" בשם ") + archiveName + "." + "\r\n\r\n" +
                    cp1255::fromUtf8("קובץ היומן לא נמחק, והצ'קים הבאים יירשמו בו כרגיל."),
                cp1255::fromUtf8("שגיאה בקורא צ'קים וכרטיסים של Ovra"), MsgIcon::Exclamation);
        }
        return;
    }
    std::filesystem::remove(log, error);
}

}  // namespace korvex
