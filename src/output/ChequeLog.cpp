#include "output/ChequeLog.h"

#include <fstream>
#include <system_error>

#include "output/Template.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

// A field value on one line: CR and LF would split the cheque over two lines.
std::string oneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

}  // namespace

std::string BeginChequeLogLine(std::string_view chequeNum, std::string_view bankNum,
                               std::string_view branchNum, std::string_view accountNum,
                               const LocalDateTime& processed, std::string_view amount,
                               const std::optional<LocalDateTime>& chequeDate) {
    std::string line = oneLine(chequeNum) + "," + oneLine(bankNum) + "," + oneLine(branchNum) +
                       "," + oneLine(accountNum);
    line += ExpandDateCodes(",{HH}:{NN}:{SS},{DD}/{MM}/{YYYY},", processed);
    line += oneLine(amount);
    line += ",";
    if (chequeDate) line += FormatDayMonthYear(*chequeDate);
    line += ",";
    return line;
}

std::string FinishChequeLogLine(std::string_view begun, std::string_view imageFileName) {
    return std::string(begun) + "\"" + oneLine(imageFileName) + "\"\r\n";
}

std::optional<OutputError> AppendChequeLog(const std::filesystem::path& programFolder,
                                           std::string_view csvFile, std::string_view line) {
    if (csvFile.empty()) {
        return OutputError{kErrorLogNotSet, "No cheque log file is set (CSVFile is empty)"};
    }
    const std::filesystem::path path = resolveIn(programFolder, csvFile);
    const std::string name(csvFile);

    // Only a regular file (or one about to be created) can be cut back after a failed write.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    const bool missing = status.type() == std::filesystem::file_type::not_found;
    std::uintmax_t sizeBefore = 0;
    bool canCutBack = missing;
    if (std::filesystem::is_regular_file(status)) {
        sizeBefore = std::filesystem::file_size(path, error);
        canCutBack = !error;
    }

    std::ofstream out;
    // Unbuffered, so the line leaves in one write call and a failure shows at once.
    out.rdbuf()->pubsetbuf(nullptr, 0);
    out.open(path, std::ios::binary | std::ios::app);
    if (!out.is_open()) {
        return OutputError{kErrorLogOpenFailed,
                           "The cheque log cannot be opened for appending: " + name};
    }
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.flush();
    const bool written = out.good();
    out.close();
    if (written && !out.fail()) return std::nullopt;

    // Take back whatever part of the line reached the file.
    if (canCutBack) std::filesystem::resize_file(path, sizeBefore, error);
    return OutputError{
        kErrorLogWriteFailed,
        "The cheque line could not be written to the log (disk full or file locked): " + name};
}

}  // namespace korvex
