// korvex-tool check-config: every value of a folder's Korvex.ini that the program would not use.

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "Command.h"
#include "config/ConfigCheck.h"
#include "config/FileIo.h"
#include "text/Cp1255.h"

namespace korvex::tool {
namespace {

const char* const kUsage = "check-config [FOLDER]";

std::string shown(const std::string& cp1255Text) {
    return cp1255::toUtf8(printableValue(cp1255Text, 80));
}

int runCheckConfig(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ArgParser parser(args, {}, {});
    if (!parser.ok()) return usageError(err, kUsage, parser.error());
    const auto& operands = parser.operands();
    if (operands.size() > 1) return usageError(err, kUsage);
    const std::string folderText = operands.empty() ? std::string(".") : operands[0];
    const std::filesystem::path folder(std::u8string(folderText.begin(), folderText.end()));
    const auto bytes = readWholeFile(folder / "Korvex.ini");
    if (!bytes) {
        out << folderText
            << ": no readable Korvex.ini (the program would write the default one "
               "when none exists)\n";
        return 1;
    }
    const auto problems = checkConfiguration(*bytes);
    for (const auto& p : problems) {
        std::string where;
        if (!p.section.empty() || !p.key.empty()) where += " [" + shown(p.section) + "]";
        if (!p.key.empty()) {
            where += " " + shown(p.key) + "=" + shown(p.value);
        } else if (!p.value.empty()) {
            where += " " + shown(p.value);
        }
        out << "Korvex.ini:" << p.line << (where.empty() ? "" : ":" + where) << ": " << p.problem
            << "\n";
    }
    if (problems.empty()) {
        out << "Korvex.ini: no problems found\n";
        return 0;
    }
    out << problems.size() << (problems.size() == 1 ? " problem" : " problems") << " found\n";
    return 1;
}

}  // namespace

KORVEX_TOOL_COMMAND("check-config", Command{kUsage, runCheckConfig});

}  // namespace korvex::tool
