#pragma once
// Classification of reader messages and recognition of a cheque's four MICR groups.
//
// Pure functions of the message text and the settings they are given; they keep no state and
// write no log themselves. What the cheque pipeline must log comes back in the result.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "interpret/ChequeRecord.h"
#include "interpret/InputClass.h"
#include "interpret/InterpretFailure.h"
#include "platform/OperatorUi.h"

namespace korvex {

// The patterns, in the syntax of RegExp. In the Magtek line "A" stands before the cheque number
// and between bank and branch, "C" before the bank, "E" before the account, and "?" for any
// character the reader could not read.
inline constexpr std::string_view kMagtekChequePattern =
    "^[A?]([0-9?]*)[ ?]{0,3}[C?]([0-9?]{2})[A?]([0-9?]*)[E?][ ?]{0,3}([0-9?]*)[AC?].*";
inline constexpr std::string_view kUsChequePattern = "^[-0-9TU ?]{15,}$";
// The "\0" (backslash, zero) in the first class is the pattern's NUL character.
inline constexpr std::string_view kNonusClassifyPattern =
    "[@_:\\0]{0,1}([0-9;@]*)[ ]{0,1}[@_<]([0-9;@]{2})[@_:]([0-9;@]*)[@_>][ "
    "]{0,1}([0-9;@]*)[@_:<].*";
inline constexpr std::string_view kNonusExtractPattern =
    "[:]([0-9]*)[<]([0-9]{2})[:]([0-9]*)[>]([0-9]*)[<:].*";

// The class of one message. nonus is the [Config] Nonus setting, minUnreadCharsForNoMicr the
// profile's MinUnreadCharsForNoMICR (0 or less switches the count test off). Never fails: any
// failure inside gives Unidentified.
InputClass ClassifyInput(std::string_view message, bool nonus, int32_t minUnreadCharsForNoMicr);

// The line a postal-bank cheque (class 4) is processed as: the message up to and including its
// last "C" ("" when it has none).
std::string PostalBankChequeLine(std::string_view message);

enum class MicrOutcome {
    Recognised,       // the pattern matched
    ByPosition,       // the pattern failed; the Magtek line was split by position
    FromDebugWindow,  // the line was "DEBUG"; bank, branch and account came from the window
    Dropped,          // a Nonus line the pattern did not recognise: the pipeline ends, no error
    Failed,           // no groups to trust (a separator missing in the positional split, no
                      // debug window, no memory): the pipeline's error path, or the operator
                      // completes what could be read (partlyRead)
};

struct MicrGroups {
    MicrOutcome outcome = MicrOutcome::Failed;
    std::string group1, group2, group3, group4;  // cheque number, bank, branch, account
    // A line for the diagnostics log ("Regexp failed for " and the message), or "".
    std::string diagnostic;
    InterpretFailure failure;  // set when outcome is Failed
    // Set when the positional split refused the line (outcome Failed): the groups then hold the
    // pieces whose separators were found in order, and "?" for each piece that could not be cut,
    // for the operator to complete.
    bool partlyRead = false;

    bool usable() const {
        return outcome == MicrOutcome::Recognised || outcome == MicrOutcome::ByPosition ||
               outcome == MicrOutcome::FromDebugWindow;
    }
    // Fills the raw fields of the cheque: ChequeNum, BankNum, BranchNum, BranchCode (a second
    // copy of group 3) and AccountNum.
    void fill(ChequeRecord& cheque) const;
};

// Asks the bank-selection debug window for bank, branch and account.
using DebugWindowQuery = std::function<DebugWindowResult()>;

// Breaks a cheque line into its four groups. The line "DEBUG" takes groups 2 to 4 from
// debugWindow (an empty query makes it a failure). Never throws.
MicrGroups ExtractMicrGroups(std::string_view message, bool nonus,
                             const DebugWindowQuery& debugWindow);
// The same, the debug window being the operator interface's.
MicrGroups ExtractMicrGroups(std::string_view message, bool nonus, OperatorUi& ui);

// The Magtek line split by position, used when the pattern does not recognise it: exposed for
// tests and tools. outcome is ByPosition, or Failed with partlyRead.
MicrGroups SplitMicrByPosition(std::string_view message);

}  // namespace korvex
