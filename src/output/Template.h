#pragma once
// Output templates: the per-profile texts that become key text, image file names and the log's
// archive name. Field codes ("{ChequeNum}") and date codes ("{HH}", "{CDD}" ...) are replaced
// exactly and case-sensitively, one code after the other in the order each kind of template
// fixes; a code a kind does not know stays in the text as it is.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace korvex {

class OperatorUi;

// Which template is being expanded; each kind knows its own codes in its own order.
enum class TemplateKind {
    Cheque,             // ChequeTemplate
    FrontImage,         // ImageFileNameTemplate, LimitedImageFileNameTemplate
    BackImage,          // BackImageFileNameTemplate, LimitedBackImageFileNameTemplate
    MagStripe1,         // MagStripe1Template
    MagStripe2,         // MagStripe2Template
    GenUS,              // GenUSTemplate
    GenUSFileName,      // GenUSFileNameTemplate
    GenUSBackFileName,  // GenUSBackFileNameTemplate
    ScanOverride,       // ScanOverrideFileNameTemplate
    CSVRen,             // CSVRenTemplate
};

// The values a template can draw on. The pipelines fill what their document has; the rest stays
// empty.
struct TemplateFields {
    // Cheque fields after the field rules (AccountNum also after the per-bank trim).
    std::string ChequeNum, BankNum, BranchNum, BranchCode, AccountNum;
    std::string Amount;    // typed in the full-details dialog, else empty
    std::string FileName;  // the front image's name as built, else empty
    std::string MICR;      // the unparsed cheque line
    // Card values.
    std::string Name, Account, DateMM, DateYY, MagPart1, MagPart2;
    // The cheque's own date for the "C" date codes. The cheque pipeline sets it only when
    // LetUserFillDetails is greater than 1; while it is unset, {CDD} and its kin stay literal.
    std::optional<LocalDateTime> ChequeDate;
};

// The operator's {User} text for one document. It is asked for at most once: with the front
// prompt when the front name needs it first, with the back prompt when only the back name does.
// The answer is cleaned with SanitizeFileName, so an empty or cancelled answer is the marker
// that suppresses saving.
class UserFileName {
public:
    using Ask = std::function<std::string(const std::string& prompt)>;

    explicit UserFileName(Ask ask);
    // Asks through input boxes titled "קורא צ'קים".
    static UserFileName through(OperatorUi& ui);

    const std::string& forFront();
    const std::string& forBack();
    bool obtained() const { return text_.has_value(); }

    // The prompts, in Windows-1255.
    static std::string frontPrompt();
    static std::string backPrompt();
    static std::string promptTitle();

private:
    const std::string& obtain(const std::string& prompt);

    Ask ask_;
    std::optional<std::string> text_;
};

// Every occurrence of `code` replaced by `value`, scanning left to right; the inserted value is
// not scanned again for the same code.
std::string ReplaceCode(std::string_view text, std::string_view code, std::string_view value);

// Replaces "{" + prefix + "HH}", "NN", "SS", "DD", "MM", "YY" and "YYYY" (in that order) by the
// moment's hour, minute, second, day, month, two-digit year and four-digit year. The prefix is
// empty for the present moment and "C" for the cheque's own date.
std::string ExpandDateCodes(std::string_view text, const LocalDateTime& moment,
                            std::string_view prefix = {});

// Expands a template of the given kind. `moment` fills the date codes of the kinds that have
// them (the present, or the front-scan moment for back-image names). `user` answers {User} for
// the image-name kinds; when it is null, {User} stays literal.
std::string ExpandTemplate(TemplateKind kind, std::string_view templateText,
                           const TemplateFields& fields, const LocalDateTime& moment,
                           UserFileName* user);

// The cheque date typed in the full-details dialog as a date: day, month and year separated by
// "/", "." or "-", blanks around allowed; a two-digit year is 1930-2029. nullopt when it is not
// a valid calendar date.
std::optional<LocalDateTime> ParseChequeDate(std::string_view text);

// "dd/mm/yyyy".
std::string FormatDayMonthYear(const LocalDateTime& date);

// The failure the cheque pipeline logs when the typed cheque date is not a date.
inline constexpr int kErrorInvalidChequeDate = 13;
std::string invalidChequeDateDescription(std::string_view dateText);

}  // namespace korvex
