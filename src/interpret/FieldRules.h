#pragma once
// The rules that cut an output field out of its MICR group: where it starts, how long it is,
// what happens to leading zeros, whether it is reversed; and the per-bank account trim.
// Positions are 1-based characters; digits and "?" are treated alike.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/Settings.h"
#include "interpret/ChequeRecord.h"
#include "interpret/InterpretFailure.h"

namespace korvex {

struct FieldRule {
    int32_t start = 0;
    int32_t length = 0;
    int32_t leadingZeros = 0;
    bool flip = false;
};

// A field text, or the failure that abandons the cheque.
struct FieldResult {
    std::string text;
    std::optional<InterpretFailure> failure;
    bool ok() const { return !failure.has_value(); }
};

// The longest text padding may produce; a rule asking for more is a broken setting.
inline constexpr int32_t kMaxFieldLength = 65535;

// By the signs of start and length:
//   start >= 0, length >= 0: the length characters from position start;
//   start <  0, length >= 0: of the last -start characters, the first length;
//   start >= 0, length <  0: the -length characters that end at position start;
//   start <  0, length <  0: the same, position start counted from the end (-1 is the last).
// A start of 0, or a window that begins before the first character, fails.
FieldResult CutField(std::string_view text, int32_t start, int32_t length);

// leadingZeros >= 0 keeps at most that many leading zeros (a text of zeros keeps at least one);
// -2 pads with zeros on the left to `length` characters; any other negative value keeps the text.
// Fails only when the padding would exceed kMaxFieldLength.
FieldResult ApplyLeadingZeros(std::string_view text, int32_t leadingZeros, int32_t length);

// The text reversed when flip is set.
std::string FlipField(std::string_view text, bool flip);

// The number of account digits bank `bank` keeps (0 = no trim), for banks 0 to 100.
int32_t AccountDigitsForBank(int32_t bank);

// The last N characters of the account when the bank's table entry N is 1 or more.
std::string TrimAccountToBankLength(std::string_view account, int32_t bank);

// Cut, then leading zeros, then flip.
FieldResult ApplyFieldRule(std::string_view text, const FieldRule& rule);

// The rules of the profile, field by field.
FieldRule ChequeNumRule(const ProfileSettings& profile);
FieldRule ChequeBankNumRule(const ProfileSettings& profile);
FieldRule ChequeBranchNumRule(const ProfileSettings& profile);
FieldRule ChequeBranchCodeRule(const ProfileSettings& profile);
FieldRule ChequeAccountNumRule(const ProfileSettings& profile);
FieldRule MagStripe2Part1Rule(const ProfileSettings& profile);
FieldRule MagStripe2Part2Rule(const ProfileSettings& profile);

// The cheque's raw fields made output fields: the account trimmed by its bank when the profile's
// TrimAccountByBank is on (bank = the leading number of the raw bank field), then the rules of
// ChequeNum, BankNum, BranchNum, BranchCode and AccountNum, in that order. On a failure the
// cheque keeps the fields already done and the failure is returned.
std::optional<InterpretFailure> ApplyChequeFieldRules(ChequeRecord& cheque,
                                                      const ProfileSettings& profile);

}  // namespace korvex
