// Reader lines: classification, the MICR groups, the field rules, the card keys and
// VerifyCheque with a small branch table. Input: a settings byte, five rule bytes, the line.

#include "FuzzCheck.h"
#include "interpret/ChequeVerification.h"
#include "interpret/FieldRules.h"
#include "interpret/MagStripe.h"
#include "interpret/MicrRecognition.h"
#include "interpret/PipelineFailure.h"

using namespace korvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const uint8_t flags = in.byte();
    const bool nonus = flags & 1;
    ProfileSettings profile;
    profile.TrimAccountByBank = flags & 2;
    // Each rule byte: start and length -8..7, leading zeros -2..1 (when set) and the flip.
    const auto rule = [&in](int32_t& start, int32_t& length, int32_t& zeros, bool& flip) {
        const uint8_t b = in.byte();
        start = (b & 15) - 8;
        length = static_cast<int32_t>(b >> 4) - 8;
        zeros = (b & 0x80) ? (b & 3) - 2 : -1;
        flip = b & 0x40;
    };
    rule(profile.ChequeNumStart, profile.ChequeNumLength, profile.ChequeNumLeadingZeros,
         profile.ChequeNumFlip);
    rule(profile.ChequeBankNumStart, profile.ChequeBankNumLength, profile.ChequeBankNumLeadingZeros,
         profile.ChequeBankNumFlip);
    rule(profile.ChequeBranchNumStart, profile.ChequeBranchNumLength,
         profile.ChequeBranchNumLeadingZeros, profile.ChequeBranchNumFlip);
    rule(profile.ChequeAccountNumStart, profile.ChequeAccountNumLength,
         profile.ChequeAccountNumLeadingZeros, profile.ChequeAccountNumFlip);
    rule(profile.MagStripe2Part1Start, profile.MagStripe2Part1Length,
         profile.MagStripe2Part1LeadingZeros, profile.MagStripe2Part1Flip);
    const std::string line = in.rest();

    const InputClass kind = ClassifyInput(line, nonus, (flags >> 2) & 7);
    const std::string postal = PostalBankChequeLine(line);
    KORVEX_FUZZ_CHECK(line.compare(0, postal.size(), postal) == 0, "the postal line is a prefix");
    KORVEX_FUZZ_CHECK(postal.empty() || postal.back() == 'C', "the postal line ends at a C");
    if (kind == InputClass::MagneticCard) {
        try {
            magStripeKeys(line, profile);
        } catch (const PipelineAbort&) {
        }
    }
    const MicrGroups groups = ExtractMicrGroups(line, nonus, [] {
        return DebugWindowResult{"12", "345", "678901"};
    });
    if (groups.outcome == MicrOutcome::Recognised) {
        KORVEX_FUZZ_CHECK(groups.group2.size() == 2, "a recognised bank has two characters");
    }
    if (!groups.usable()) return 0;
    ChequeRecord cheque;
    groups.fill(cheque);
    if (!ApplyChequeFieldRules(cheque, profile)) {
        for (const std::string* f :
             {&cheque.ChequeNum, &cheque.BankNum, &cheque.BranchNum, &cheque.AccountNum}) {
            KORVEX_FUZZ_CHECK(f->size() <= 16 || f->size() <= line.size(), "a field is bounded");
        }
    }
    static const BranchTable table = [] {
        BranchTable t;
        t.parse("10,1,999,0,1,2,3\n12,1,500,0,0,0,0\n20,1,999,0,10,20,0\n31,0,32767,0,0,0,0\n");
        return t;
    }();
    const int32_t code = VerifyCheque(table, groups.group2, groups.group3, groups.group4, false);
    KORVEX_FUZZ_CHECK(code == kChequeValid || code == kChequeNotAccepted ||
                          code == kChequeNoBranch || code == kChequeCheckFailed ||
                          code == kChequeNoRule,
                      "a verification code");
    return 0;
}
