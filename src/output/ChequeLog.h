#pragma once
// The cheque log: one comma-separated line per cheque, appended to the profile's CSVFile.
//
// Line layout: cheque number, bank, branch, account (the raw groups), time HH:NN:SS, date
// DD/MM/YYYY, amount, cheque date dd/mm/yyyy, and the front image's name in double quotes;
// no header, CR LF at the end, Windows-1255.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace korvex {

// A failure the cheque pipeline reports on its error path as "Error #" number " - " description.
struct OutputError {
    int number = 0;
    std::string description;
};

// Stable numbers of the log's failures.
inline constexpr int kErrorLogNotSet = 52;       // CSVFile is empty
inline constexpr int kErrorLogOpenFailed = 75;   // missing folder, a folder in its place, locked
inline constexpr int kErrorLogWriteFailed = 61;  // disk full, quota, write refused

// The part of the line known before the image name: fields 1 to 8 and the comma before field 9.
// `processed` fills the time and date; `chequeDate` (typed in the full-details dialog) is written
// as dd/mm/yyyy, or left empty. Values are written as they are, except that CR and LF become
// blanks, so one cheque is always one line of the file.
std::string BeginChequeLogLine(std::string_view chequeNum, std::string_view bankNum,
                               std::string_view branchNum, std::string_view accountNum,
                               const LocalDateTime& processed, std::string_view amount,
                               const std::optional<LocalDateTime>& chequeDate);

// The whole line: the begun part, the image name in double quotes, CR LF.
std::string FinishChequeLogLine(std::string_view begun, std::string_view imageFileName);

// Appends one whole line to the log `csvFile` (relative paths taken from `programFolder`),
// creating the file when it is missing. The line goes out in one write; when the write fails
// (disk full, file locked) the file is cut back to its size before the attempt, so it never keeps
// half a line. Returns the failure, or nullopt on success.
std::optional<OutputError> AppendChequeLog(const std::filesystem::path& programFolder,
                                           std::string_view csvFile, std::string_view line);

}  // namespace korvex
