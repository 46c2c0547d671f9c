// The main window's branch-table routines.
#include "app/frmKorvex.h"
#include "interpret/ChequeVerification.h"
#include "text/FilePath.h"

namespace korvex {

bool frmKorvex::LoadBranchTable() {
    return branchTable.load(resolveIn(program().folder, kBranchTableFileName)).ok;
}

int32_t frmKorvex::VerifyCheque(const std::string& bank, const std::string& branch,
                                const std::string& account) const {
    return ::korvex::VerifyCheque(branchTable, bank, branch, account, profile().IgnoreVerify);
}

}  // namespace korvex
