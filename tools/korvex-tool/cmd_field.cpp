// korvex-tool field: a text after a field rule (cut, leading zeros, flip).

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "Command.h"
#include "interpret/FieldRules.h"
#include "text/Cp1255.h"

namespace korvex::tool {
namespace {

const char* const kUsage = "field --start S --length L --zeros Z [--flip] TEXT";

bool parseInt32(const std::string& text, int32_t& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && !text.empty();
}

int runField(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ArgParser parser(args, {"--flip"}, {"--start", "--length", "--zeros"});
    if (!parser.ok()) return usageError(err, kUsage, parser.error());
    if (parser.operands().size() != 1) return usageError(err, kUsage, "give exactly one TEXT");
    FieldRule rule;
    const std::pair<const char*, int32_t*> numbers[] = {
        {"--start", &rule.start}, {"--length", &rule.length}, {"--zeros", &rule.leadingZeros}};
    for (const auto& [name, target] : numbers) {
        const auto value = parser.value(name);
        if (!value) return usageError(err, kUsage, std::string(name) + " is required");
        if (!parseInt32(*value, *target)) {
            return usageError(err, kUsage,
                              std::string(name) + " needs a whole number, not \"" + *value + "\"");
        }
    }
    rule.flip = parser.flag("--flip");
    const FieldResult r = ApplyFieldRule(cp1255::fromUtf8(parser.operands()[0]), rule);
    if (!r.ok()) {
        out << "error: " << r.failure->description << "\n";
        return 1;
    }
    out << cp1255::toUtf8(r.text) << "\n";
    return 0;
}

}  // namespace

KORVEX_TOOL_COMMAND("field", Command{kUsage, runField});

}  // namespace korvex::tool
