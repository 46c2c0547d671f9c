#pragma once
// The check-digit verification of a cheque's bank, branch and account against the rules of the
// Israeli banks and the accepted results of the branch table.

#include <cstdint>
#include <optional>
#include <string_view>

#include "interpret/BranchTable.h"

namespace korvex {

// The verification codes.
inline constexpr int32_t kChequeValid = 0;
inline constexpr int32_t kChequeNotAccepted = 1;    // known bank and branch, result not accepted
inline constexpr int32_t kChequeNoBranch = 555;     // no table record covers the bank and branch
inline constexpr int32_t kChequeCheckFailed = 888;  // the check itself failed (bank not a number)
inline constexpr int32_t kChequeNoRule = 999;       // no rule for this bank

// How a bank's result is judged.
enum class CheckComparison { Table, LastDigit };

// The result r of the bank's rule on the normalised branch (three characters) and account (nine
// characters), and how it is judged; nullopt when no rule exists for the bank.
struct CheckResult {
    int32_t result = 0;
    CheckComparison comparison = CheckComparison::Table;
};
std::optional<CheckResult> ComputeCheckResult(int32_t bank, std::string_view branch3,
                                              std::string_view account9);

// The branch the rules of bank 20 compute with: above 400 it is the value less 400, written as
// three digits; otherwise the branch itself.
std::string Bank20ComputationBranch(std::string_view branch3);

// Verifies the raw bank, branch and account groups of a cheque. ignoreVerify is the profile's
// IgnoreVerify. Returns one of the codes above; never throws.
int32_t VerifyCheque(const BranchTable& table, std::string_view bank, std::string_view branch,
                     std::string_view account, bool ignoreVerify);

}  // namespace korvex
