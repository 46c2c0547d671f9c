// korvex-tool verify: the verification code the program gives a bank, branch and account.

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "Command.h"
#include "interpret/BranchTable.h"
#include "interpret/ChequeVerification.h"
#include "text/Cp1255.h"

namespace korvex::tool {
namespace {

const char* const kUsage = "verify --branches FILE [--ignore] BANK BRANCH ACCOUNT";

int runVerify(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ArgParser parser(args, {"--ignore"}, {"--branches"});
    if (!parser.ok()) return usageError(err, kUsage, parser.error());
    const auto file = parser.value("--branches");
    if (!file) return usageError(err, kUsage, "--branches FILE is required");
    const auto& operands = parser.operands();
    if (operands.size() != 3) return usageError(err, kUsage, "give BANK, BRANCH and ACCOUNT");

    BranchTable table;
    const BranchTableLoad load =
        table.load(std::filesystem::path(std::u8string(file->begin(), file->end())));
    if (!load.ok) {
        // The program runs on with an empty table; show the code it would give, and the reason.
        err << "korvex-tool: " << *file;
        if (load.line != 0) err << " line " << load.line;
        err << ": " << load.error << "\n";
    }
    const int32_t code =
        VerifyCheque(table, cp1255::fromUtf8(operands[0]), cp1255::fromUtf8(operands[1]),
                     cp1255::fromUtf8(operands[2]), parser.flag("--ignore"));
    out << code << "\n";
    return load.ok ? 0 : 1;
}

}  // namespace

KORVEX_TOOL_COMMAND("verify", Command{kUsage, runVerify});

}  // namespace korvex::tool
