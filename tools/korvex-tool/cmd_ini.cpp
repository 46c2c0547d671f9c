// korvex-tool ini: what the program's INI reader sees in a file.

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "Command.h"
#include "config/cInifile.h"
#include "text/Cp1255.h"

namespace korvex::tool {
namespace {

const char* const kUsage = "ini FILE [SECTION [KEY [DEFAULT]]]";

int runIni(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ArgParser parser(args, {}, {});
    if (!parser.ok()) return usageError(err, kUsage, parser.error());
    const auto& operands = parser.operands();
    if (operands.empty() || operands.size() > 4) return usageError(err, kUsage);

    const std::filesystem::path file(std::u8string(operands[0].begin(), operands[0].end()));
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        err << "korvex-tool: " << operands[0] << ": not a readable file\n";
        return 1;
    }
    cInifile ini;
    ini.setPath(file);
    if (operands.size() == 1) {
        std::vector<std::string> sections;
        int32_t count = 0;
        ini.EnumerateAllSections(sections, count);
        for (const auto& name : sections) out << cp1255::toUtf8(name) << "\n";
        return 0;
    }
    ini.setSection(cp1255::fromUtf8(operands[1]));
    if (operands.size() == 2) {
        std::vector<std::string> keys;
        int32_t count = 0;
        ini.EnumerateCurrentSection(keys, count);
        for (const auto& name : keys) out << cp1255::toUtf8(name) << "\n";
        return 0;
    }
    ini.setKey(cp1255::fromUtf8(operands[2]));
    if (operands.size() == 4) ini.setDefault(cp1255::fromUtf8(operands[3]));
    out << cp1255::toUtf8(ini.Value()) << "\n";
    return 0;
}

}  // namespace

KORVEX_TOOL_COMMAND("ini", Command{kUsage, runIni});

}  // namespace korvex::tool
