#pragma once
// What the two cheque dialogs decide, apart from their widgets: which part of a field to select
// for the operator, how the completed code line is rebuilt, and how the date box's text becomes
// the cheque date. The Qt dialogs call these; the cheque pipeline builds the VerifyCode caption.

#include <cstdint>
#include <optional>
#include <string>

namespace korvex {

struct TextSelection {
    int start = 0;  // counted from 0
    int length = 0;
};

// MarkMissingData: the span from the first to the last "?" (else "@", else ";"); nullopt leaves
// the selection alone.
std::optional<TextSelection> MarkMissingData(const std::string& text);

// The code line in the reader's notation, from the four fields exactly as typed.
std::string composeMagtekLine(const std::string& cheque, const std::string& bank,
                              const std::string& branch, const std::string& account);
std::string composeNonusLine(const std::string& cheque, const std::string& bank,
                             const std::string& branch, const std::string& account);

// "הצ'ק לא תקין, קוד שגיאה " + code + ". סמן תיבה זו כדי להתעלם." (Windows-1255).
std::string verifyCodeCaption(int32_t code);

// The date box "dd/mm/yy": nullopt when it is incomplete ("_" left) or names no real date.
// Two-digit years are read as 20yy, as DateText writes them.
struct DialogDate {
    int day, month, year;
};
std::optional<DialogDate> parseDialogDate(const std::string& boxText);

// DateText: the first 6 characters, "20", the last 2 ("05/12/26" -> "05/12/2026").
std::string dialogDateText(const std::string& boxText);

// Today's date for the date box: dd/mm/yy.
std::string dialogDateBoxText(int day, int month, int year);

}  // namespace korvex
