#include "output/Template.h"

#include <array>
#include <cstdio>
#include <span>

#include "output/FileName.h"
#include "platform/OperatorUi.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

// One step of an expansion: a field code replaced by its field, {User}, or a block of date codes.
struct Step {
    enum Kind { Field, ChequeDateCodes, UserFront, UserBack, DateCodes } kind = Field;
    std::string_view code{};                       // Field: the code
    std::string TemplateFields::*field = nullptr;  // Field: what stands for it
};

namespace steps {
constexpr Step ChequeNum{Step::Field, "{ChequeNum}", &TemplateFields::ChequeNum};
constexpr Step BankNum{Step::Field, "{BankNum}", &TemplateFields::BankNum};
constexpr Step BranchNum{Step::Field, "{BranchNum}", &TemplateFields::BranchNum};
constexpr Step BranchCode{Step::Field, "{BranchCode}", &TemplateFields::BranchCode};
constexpr Step AccountNum{Step::Field, "{AccountNum}", &TemplateFields::AccountNum};
constexpr Step FileName{Step::Field, "{FileName}", &TemplateFields::FileName};
constexpr Step Amount{Step::Field, "{Amount}", &TemplateFields::Amount};
constexpr Step MICR{Step::Field, "{MICR}", &TemplateFields::MICR};
constexpr Step Name{Step::Field, "{Name}", &TemplateFields::Name};
constexpr Step Account{Step::Field, "{Account}", &TemplateFields::Account};
constexpr Step DateMM{Step::Field, "{DateMM}", &TemplateFields::DateMM};
constexpr Step DateYY{Step::Field, "{DateYY}", &TemplateFields::DateYY};
constexpr Step MagPart1{Step::Field, "{MagPart1}", &TemplateFields::MagPart1};
constexpr Step MagPart2{Step::Field, "{MagPart2}", &TemplateFields::MagPart2};
constexpr Step ChequeDateCodes{Step::ChequeDateCodes};
constexpr Step UserFront{Step::UserFront};
constexpr Step UserBack{Step::UserBack};
constexpr Step DateCodes{Step::DateCodes};
}  // namespace steps

// The order in which each kind replaces its codes. A value inserted by one step is expanded by
// the steps after it, never by those before.
std::span<const Step> stepsFor(TemplateKind kind) {
    namespace S = steps;
    static constexpr std::array cheque{S::ChequeNum,  S::BankNum,         S::BranchNum,
                                       S::BranchCode, S::AccountNum,      S::FileName,
                                       S::Amount,     S::ChequeDateCodes, S::DateCodes};
    static constexpr std::array front{S::ChequeNum,       S::BankNum,    S::BranchNum,
                                      S::BranchCode,      S::AccountNum, S::Amount,
                                      S::ChequeDateCodes, S::UserFront,  S::DateCodes};
    static constexpr std::array back{S::ChequeNum,       S::BankNum,  S::BranchNum, S::BranchCode,
                                     S::AccountNum,      S::FileName, S::UserBack,  S::Amount,
                                     S::ChequeDateCodes, S::DateCodes};
    static constexpr std::array card1{S::MagPart1, S::MagPart2, S::Account,
                                      S::DateMM,   S::DateYY,   S::Name};
    static constexpr std::array card2{S::MagPart1, S::MagPart2, S::Account, S::DateMM, S::DateYY};
    static constexpr std::array genUs{S::MICR, S::FileName, S::DateCodes};
    static constexpr std::array genUsFront{S::UserFront, S::MICR, S::DateCodes};
    static constexpr std::array genUsBack{S::MICR, S::UserBack, S::DateCodes};
    static constexpr std::array dateOnly{S::DateCodes};
    switch (kind) {
        case TemplateKind::Cheque: return cheque;
        case TemplateKind::FrontImage: return front;
        case TemplateKind::BackImage: return back;
        case TemplateKind::MagStripe1: return card1;
        case TemplateKind::MagStripe2: return card2;
        case TemplateKind::GenUS: return genUs;
        case TemplateKind::GenUSFileName: return genUsFront;
        case TemplateKind::GenUSBackFileName: return genUsBack;
        case TemplateKind::ScanOverride:
        case TemplateKind::CSVRen: return dateOnly;
    }
    return {};
}

std::string twoDigits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

std::string fourDigits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d", value);
    return buffer;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[static_cast<size_t>(month - 1)];
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A run of 1 to `maxDigits` decimal digits at the front of `text`, consumed; nullopt otherwise.
std::optional<int> takeNumber(std::string_view& text, size_t maxDigits, size_t& digits) {
    digits = 0;
    int value = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        if (digits == maxDigits) return std::nullopt;
        value = value * 10 + (text[digits] - '0');
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    text.remove_prefix(digits);
    return value;
}

}  // namespace

// ------------------------------------------------------------------------------------------------

UserFileName::UserFileName(Ask ask) : ask_(std::move(ask)) {}

UserFileName UserFileName::through(OperatorUi& ui) {
    return UserFileName(
        [&ui](const std::string& prompt) { return ui.inputBox(prompt, promptTitle()); });
}

std::string UserFileName::frontPrompt() { return cp1255::fromUtf8("בחר שם קובץ לתמונה"); }
std::string UserFileName::backPrompt() { return cp1255::fromUtf8("בחר שם קובץ לתמונה אחורית"); }
std::string UserFileName::promptTitle() { return cp1255::fromUtf8("קורא צ'קים"); }

const std::string& UserFileName::forFront() { return obtain(frontPrompt()); }
const std::string& UserFileName::forBack() { return obtain(backPrompt()); }

const std::string& UserFileName::obtain(const std::string& prompt) {
    if (!text_) text_ = SanitizeFileName(ask_ ? ask_(prompt) : std::string());
    return *text_;
}

// ------------------------------------------------------------------------------------------------

std::string ReplaceCode(std::string_view text, std::string_view code, std::string_view value) {
    if (code.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t from = 0;
    for (size_t hit = text.find(code); hit != std::string_view::npos; hit = text.find(code, from)) {
        out.append(text.substr(from, hit - from));
        out.append(value);
        from = hit + code.size();
    }
    out.append(text.substr(from));
    return out;
}

std::string ExpandDateCodes(std::string_view text, const LocalDateTime& moment,
                            std::string_view prefix) {
    const std::string p(prefix);
    std::string out(text);
    out = ReplaceCode(out, "{" + p + "HH}", twoDigits(moment.hour));
    out = ReplaceCode(out, "{" + p + "NN}", twoDigits(moment.minute));
    out = ReplaceCode(out, "{" + p + "SS}", twoDigits(moment.second));
    out = ReplaceCode(out, "{" + p + "DD}", twoDigits(moment.day));
    out = ReplaceCode(out, "{" + p + "MM}", twoDigits(moment.month));
    out = ReplaceCode(out, "{" + p + "YY}", twoDigits(((moment.year % 100) + 100) % 100));
    out = ReplaceCode(out, "{" + p + "YYYY}", fourDigits(moment.year));
    return out;
}

std::string ExpandTemplate(TemplateKind kind, std::string_view templateText,
                           const TemplateFields& fields, const LocalDateTime& moment,
                           UserFileName* user) {
    std::string out(templateText);
    if (out.empty()) return out;
    for (const Step& step : stepsFor(kind)) {
        switch (step.kind) {
            case Step::Field: out = ReplaceCode(out, step.code, fields.*step.field); break;
            case Step::ChequeDateCodes:
                if (fields.ChequeDate) out = ExpandDateCodes(out, *fields.ChequeDate, "C");
                break;
            case Step::UserFront:
            case Step::UserBack:
                // The operator is asked only when the name really needs the text.
                if (user != nullptr && out.find("{User}") != std::string::npos) {
                    const std::string& text =
                        step.kind == Step::UserFront ? user->forFront() : user->forBack();
                    out = ReplaceCode(out, "{User}", text);
                }
                break;
            case Step::DateCodes: out = ExpandDateCodes(out, moment); break;
        }
    }
    return out;
}

std::optional<LocalDateTime> ParseChequeDate(std::string_view text) {
    std::string_view rest = trimBlanks(text);
    size_t digits = 0;
    const auto day = takeNumber(rest, 2, digits);
    if (!day || rest.empty()) return std::nullopt;
    const char separator = rest.front();
    if (separator != '/' && separator != '.' && separator != '-') return std::nullopt;
    rest.remove_prefix(1);
    const auto month = takeNumber(rest, 2, digits);
    if (!month || rest.empty() || rest.front() != separator) return std::nullopt;
    rest.remove_prefix(1);
    auto year = takeNumber(rest, 4, digits);
    if (!year || !rest.empty() || (digits != 2 && digits != 4)) return std::nullopt;
    if (digits == 2) *year += *year < 30 ? 2000 : 1900;
    if (*year < 100 || *month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month)) {
        return std::nullopt;
    }
    LocalDateTime date;
    date.year = *year;
    date.month = *month;
    date.day = *day;
    return date;
}

std::string FormatDayMonthYear(const LocalDateTime& date) {
    return twoDigits(date.day) + "/" + twoDigits(date.month) + "/" + fourDigits(date.year);
}

std::string invalidChequeDateDescription(std::string_view dateText) {
    return "Type mismatch: the cheque date \"" + std::string(dateText) + "\" is not a valid date";
}

}  // namespace korvex
