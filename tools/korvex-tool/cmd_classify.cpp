// korvex-tool classify: the class the program gives each reader message.

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "Command.h"
#include "interpret/MicrRecognition.h"
#include "text/Cp1255.h"

namespace korvex::tool {
namespace {

const char* const kUsage = "classify [--nonus] [--min-unread N] LINE...";

bool parseInt32(const std::string& text, int32_t& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && !text.empty();
}

int runClassify(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ArgParser parser(args, {"--nonus"}, {"--min-unread"});
    if (!parser.ok()) return usageError(err, kUsage, parser.error());
    if (parser.operands().empty()) return usageError(err, kUsage, "no LINE given");
    int32_t minUnread = 0;
    if (const auto value = parser.value("--min-unread"); value && !parseInt32(*value, minUnread)) {
        return usageError(err, kUsage, "--min-unread needs a whole number, not \"" + *value + "\"");
    }
    const bool nonus = parser.flag("--nonus");
    for (const std::string& line : parser.operands()) {
        const InputClass c = ClassifyInput(cp1255::fromUtf8(line), nonus, minUnread);
        out << static_cast<int32_t>(c) << "\t" << line << "\n";
    }
    return 0;
}

}  // namespace

KORVEX_TOOL_COMMAND("classify", Command{kUsage, runClassify});

}  // namespace korvex::tool
