#include "interpret/FieldRules.h"

#include <algorithm>
#include <array>

#include "interpret/MicrDigits.h"

namespace korvex {

namespace {

// Mid(text, position, count) on 1-based positions, with 64-bit arithmetic so that extreme
// settings cannot overflow: fewer characters when the text ends first, "" beyond its end.
std::string mid(std::string_view text, int64_t position, int64_t count) {
    const auto size = static_cast<int64_t>(text.size());
    if (position > size || count <= 0) return {};
    const int64_t available = size - position + 1;
    return std::string(text.substr(static_cast<size_t>(position - 1),
                                   static_cast<size_t>(std::min(count, available))));
}

FieldResult invalidPosition(int32_t start, int32_t length, int64_t position) {
    return {{},
            InterpretFailure{kErrInvalidArgument,
                             "Invalid procedure call or argument: field start " +
                                 std::to_string(start) + " with length " + std::to_string(length) +
                                 " begins at position " + std::to_string(position) +
                                 ", before the first character"}};
}

}  // namespace

FieldResult CutField(std::string_view text, int32_t start, int32_t length) {
    const auto size = static_cast<int64_t>(text.size());
    const int64_t s = start, l = length;
    if (s >= 0 && l >= 0) {
        if (s == 0) return invalidPosition(start, length, 0);
        return {mid(text, s, l), std::nullopt};
    }
    if (s < 0 && l >= 0) {
        const int64_t keep = std::min(-s, size);
        return {mid(text.substr(static_cast<size_t>(size - keep)), 1, l), std::nullopt};
    }
    // A window of -length characters ending at position start (counted from the end when
    // start is negative).
    const int64_t position = s >= 0 ? s + l + 1 : size + s + l + 2;
    if (position < 1) return invalidPosition(start, length, position);
    return {mid(text, position, -l), std::nullopt};
}

FieldResult ApplyLeadingZeros(std::string_view text, int32_t leadingZeros, int32_t length) {
    if (leadingZeros >= 0) {
        // Remove the first character while the text has two or more and its first
        // leadingZeros + 1 characters are all zeros.
        const auto zeros = static_cast<int64_t>(
            std::find_if(text.begin(), text.end(), [](char c) { return c != '0'; }) - text.begin());
        const auto size = static_cast<int64_t>(text.size());
        int64_t removed = 0;
        if (zeros > leadingZeros) removed = std::min<int64_t>(zeros - leadingZeros, size - 1);
        return {std::string(text.substr(static_cast<size_t>(std::max<int64_t>(removed, 0)))),
                std::nullopt};
    }
    if (leadingZeros == -2) {
        const auto size = static_cast<int64_t>(text.size());
        if (length <= size) return {std::string(text), std::nullopt};
        if (length > kMaxFieldLength) {
            return {{},
                    InterpretFailure{kErrFieldTooLong, "field length " + std::to_string(length) +
                                                           " exceeds the longest field (" +
                                                           std::to_string(kMaxFieldLength) + ")"}};
        }
        return {std::string(static_cast<size_t>(length - size), '0') + std::string(text),
                std::nullopt};
    }
    return {std::string(text), std::nullopt};
}

std::string FlipField(std::string_view text, bool flip) {
    std::string out(text);
    if (flip) std::reverse(out.begin(), out.end());
    return out;
}

int32_t AccountDigitsForBank(int32_t bank) {
    struct Entry {
        int32_t bank, digits;
    };
    static constexpr std::array<Entry, 14> kTable = {{{4, 6},
                                                      {9, 7},
                                                      {10, 8},
                                                      {11, 6},
                                                      {12, 6},
                                                      {13, 8},
                                                      {14, 6},
                                                      {17, 6},
                                                      {20, 6},
                                                      {31, 9},
                                                      {34, 8},
                                                      {46, 6},
                                                      {52, 9},
                                                      {54, 9}}};
    for (const Entry& e : kTable) {
        if (e.bank == bank) return e.digits;
    }
    return 0;
}

std::string TrimAccountToBankLength(std::string_view account, int32_t bank) {
    const int32_t digits = AccountDigitsForBank(bank);
    if (digits < 1 || account.size() <= static_cast<size_t>(digits)) return std::string(account);
    return std::string(account.substr(account.size() - static_cast<size_t>(digits)));
}

FieldResult ApplyFieldRule(std::string_view text, const FieldRule& rule) {
    FieldResult cut = CutField(text, rule.start, rule.length);
    if (!cut.ok()) return cut;
    FieldResult zeros = ApplyLeadingZeros(cut.text, rule.leadingZeros, rule.length);
    if (!zeros.ok()) return zeros;
    return {FlipField(zeros.text, rule.flip), std::nullopt};
}

FieldRule ChequeNumRule(const ProfileSettings& p) {
    return {p.ChequeNumStart, p.ChequeNumLength, p.ChequeNumLeadingZeros, p.ChequeNumFlip};
}
FieldRule ChequeBankNumRule(const ProfileSettings& p) {
    return {p.ChequeBankNumStart, p.ChequeBankNumLength, p.ChequeBankNumLeadingZeros,
            p.ChequeBankNumFlip};
}
FieldRule ChequeBranchNumRule(const ProfileSettings& p) {
    return {p.ChequeBranchNumStart, p.ChequeBranchNumLength, p.ChequeBranchNumLeadingZeros,
            p.ChequeBranchNumFlip};
}
FieldRule ChequeBranchCodeRule(const ProfileSettings& p) {
    return {p.ChequeBranchCodeStart, p.ChequeBranchCodeLength, p.ChequeBranchCodeLeadingZeros,
            p.ChequeBranchCodeFlip};
}
FieldRule ChequeAccountNumRule(const ProfileSettings& p) {
    return {p.ChequeAccountNumStart, p.ChequeAccountNumLength, p.ChequeAccountNumLeadingZeros,
            p.ChequeAccountNumFlip};
}
FieldRule MagStripe2Part1Rule(const ProfileSettings& p) {
    return {p.MagStripe2Part1Start, p.MagStripe2Part1Length, p.MagStripe2Part1LeadingZeros,
            p.MagStripe2Part1Flip};
}
FieldRule MagStripe2Part2Rule(const ProfileSettings& p) {
    return {p.MagStripe2Part2Start, p.MagStripe2Part2Length, p.MagStripe2Part2LeadingZeros,
            p.MagStripe2Part2Flip};
}

std::optional<InterpretFailure> ApplyChequeFieldRules(ChequeRecord& cheque,
                                                      const ProfileSettings& profile) {
    if (profile.TrimAccountByBank) {
        cheque.AccountNum =
            TrimAccountToBankLength(cheque.AccountNum, LeadingDigitsValue(cheque.BankNum));
    }
    const std::pair<std::string*, FieldRule> steps[] = {
        {&cheque.ChequeNum, ChequeNumRule(profile)},
        {&cheque.BankNum, ChequeBankNumRule(profile)},
        {&cheque.BranchNum, ChequeBranchNumRule(profile)},
        {&cheque.BranchCode, ChequeBranchCodeRule(profile)},
        {&cheque.AccountNum, ChequeAccountNumRule(profile)},
    };
    for (const auto& [field, rule] : steps) {
        FieldResult r = ApplyFieldRule(*field, rule);
        if (!r.ok()) return r.failure;
        *field = std::move(r.text);
    }
    return std::nullopt;
}

}  // namespace korvex
