// korvex-tool groups: the four MICR groups the program reads from a cheque line.

#include <iostream>
#include <string>
#include <vector>

#include "Command.h"
#include "interpret/MicrRecognition.h"
#include "text/Cp1255.h"

namespace korvex::tool {
namespace {

const char* const kUsage = "groups [--nonus] LINE";

int runGroups(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ArgParser parser(args, {"--nonus"}, {});
    if (!parser.ok()) return usageError(err, kUsage, parser.error());
    if (parser.operands().size() != 1) return usageError(err, kUsage, "give exactly one LINE");
    // No operator here to answer the bank-selection window, so "DEBUG" reports that.
    const MicrGroups g = ExtractMicrGroups(cp1255::fromUtf8(parser.operands()[0]),
                                           parser.flag("--nonus"), DebugWindowQuery{});
    switch (g.outcome) {
        case MicrOutcome::Dropped: out << "dropped\n"; return 0;
        case MicrOutcome::Failed:
            out << "error: " << cp1255::toUtf8(g.failure.description) << "\n";
            return 1;
        default:
            for (const std::string* group : {&g.group1, &g.group2, &g.group3, &g.group4}) {
                out << cp1255::toUtf8(*group) << "\n";
            }
            return 0;
    }
}

}  // namespace

KORVEX_TOOL_COMMAND("groups", Command{kUsage, runGroups});

}  // namespace korvex::tool
