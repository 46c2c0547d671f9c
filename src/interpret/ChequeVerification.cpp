#include "interpret/ChequeVerification.h"

#include <string>

#include "interpret/MicrDigits.h"
#include "text/Convert.h"

namespace korvex {

namespace {

// A branch counts by its first three characters; a shorter one is the same number with leading
// zeros, so it is padded to three (the rules weight from the right, where this changes nothing).
std::string normaliseBranch(std::string_view branch) {
    branch = branch.substr(0, 3);
    return std::string(3 - branch.size(), '0') + std::string(branch);
}

// An account counts by its last nine characters, padded on the left with zeros.
std::string normaliseAccount(std::string_view account) {
    if (account.size() >= 9) return std::string(account.substr(account.size() - 9));
    return std::string(9 - account.size(), '0') + std::string(account);
}

int digit(std::string_view text, size_t index0) {
    return DigitAt(text, static_cast<int>(index0) + 1);
}

// The sum of the digits of w weighted first, first + 1, ... starting at its last character.
int32_t sumFromRight(std::string_view w, int32_t firstWeight) {
    int32_t sum = 0;
    for (size_t k = 0; k < w.size(); ++k)
        sum += digit(w, w.size() - 1 - k) * (firstWeight + static_cast<int32_t>(k));
    return sum;
}

// The same starting at its first character.
int32_t sumFromLeft(std::string_view w, int32_t firstWeight) {
    int32_t sum = 0;
    for (size_t k = 0; k < w.size(); ++k)
        sum += digit(w, k) * (firstWeight + static_cast<int32_t>(k));
    return sum;
}

}  // namespace

std::string Bank20ComputationBranch(std::string_view branch3) {
    const int32_t value = LeadingDigitsValue(branch3);
    if (value <= 400) return std::string(branch3);
    std::string adjusted = std::to_string(value - 400);
    if (adjusted.size() < 3) adjusted.insert(0, 3 - adjusted.size(), '0');
    return adjusted;
}

std::optional<CheckResult> ComputeCheckResult(int32_t bank, std::string_view branch3,
                                              std::string_view account9) {
    const std::string account(account9);
    // Account positions are 1-based: positions a to b.
    auto positions = [&account](size_t a, size_t b) { return account.substr(a - 1, b - a + 1); };
    switch (bank) {
        case 4:
        case 12:
        case 14:
        case 28:
        case 46:
            return CheckResult{sumFromRight(std::string(branch3) + positions(4, 9), 1) % 11,
                               CheckComparison::Table};
        case 20:
            return CheckResult{
                sumFromRight(Bank20ComputationBranch(branch3) + positions(4, 9), 1) % 11,
                CheckComparison::Table};
        case 7: {
            const std::string w = std::string(branch3) + account;
            int32_t sum = 0;
            for (size_t k = 0; k < w.size(); ++k) {
                int32_t product = digit(w, w.size() - 1 - k) * (k % 2 == 0 ? 1 : 2);
                if (product > 9) product -= 9;  // the sum of its two digits
                sum += product;
            }
            return CheckResult{sum % 10, CheckComparison::Table};
        }
        case 9: return CheckResult{sumFromLeft(positions(3, 9), 1) % 10, CheckComparison::Table};
        case 10:
        case 13:
        case 34: {
            const int32_t sum = sumFromRight(std::string(branch3) + positions(2, 7), 2);
            const int32_t tail = digit(account, 7) * 10 + digit(account, 8);
            return CheckResult{(sum + tail) % 100, CheckComparison::Table};
        }
        case 11:
        case 17:
        case 31:
        case 33:
        case 52: return CheckResult{sumFromRight(account, 1) % 11, CheckComparison::Table};
        case 19:
            return CheckResult{sumFromLeft(positions(4, 8), 2) % 10, CheckComparison::LastDigit};
        case 22: {
            // Positions 8 down to 3 weigh 2 to 7; position 2 weighs 2 and position 1 weighs 3.
            int32_t sum = sumFromRight(positions(3, 8), 2);
            sum += digit(account, 1) * 2 + digit(account, 0) * 3;
            return CheckResult{11 - sum % 11, CheckComparison::LastDigit};
        }
        default: return std::nullopt;
    }
}

int32_t VerifyCheque(const BranchTable& table, std::string_view bank, std::string_view branch,
                     std::string_view account, bool ignoreVerify) {
    if (ignoreVerify) return kChequeValid;
    try {
        const std::optional<int16_t> b = toInt16(bank);
        if (!b) return kChequeCheckFailed;
        const std::string branch3 = normaliseBranch(branch);
        const int32_t branchValue = LeadingDigitsValue(branch3);
        if (!table.covers(*b, branchValue)) return kChequeNoBranch;
        const std::string account9 = normaliseAccount(account);
        if (*b < 4 || *b > 52) return kChequeNoRule;
        const std::optional<CheckResult> check = ComputeCheckResult(*b, branch3, account9);
        if (!check) return kChequeNoRule;
        if (check->comparison == CheckComparison::LastDigit) {
            return check->result == digit(account9, 8) ? kChequeValid : kChequeNotAccepted;
        }
        // Table records of bank 20 are matched with the branch as read, not the adjusted one.
        for (const BranchRecord& r : table.records()) {
            if (r.covers(*b, branchValue) && r.accepts(check->result)) return kChequeValid;
        }
        return kChequeNotAccepted;
    } catch (...) {
        return kChequeCheckFailed;
    }
}

}  // namespace korvex
