#pragma once
// One cheque as it travels through the cheque pipeline. Every text may hold "?" where the reader
// sensed ink but could not read the character.

#include <cstdint>
#include <string>

namespace korvex {

struct ChequeRecord {
    std::string ChequeNum;   // group 1, then its field rules
    std::string BankNum;     // group 2, then its field rules
    std::string BranchNum;   // group 3, then its field rules
    std::string BranchCode;  // a second copy of group 3, cut by its own rules
    std::string AccountNum;  // group 4, then the per-bank trim and its field rules
    std::string Amount;      // typed in the full-details dialog, else ""
    std::string ChequeDate;  // typed in the full-details dialog, else ""
    // The operator chose (in a dialog) to pass the cheque despite its verification result.
    bool SkipVerifyPrompt = false;
    int32_t VerifyResult = 0;  // 0 = valid, otherwise a verification code
    bool Restricted = false;
    std::string ImageFileName;
    std::string UserName;
};

}  // namespace korvex
