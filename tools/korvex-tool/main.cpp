// korvex-tool: a command-line window onto the core, for support staff and scripts.
#include <iostream>
#include <string>
#include <vector>

#include "Command.h"
#include "ToolArgs.h"

namespace korvex::tool {

std::map<std::string, Command>& commands() {
    static std::map<std::string, Command> table;
    return table;
}

Registrar::Registrar(const std::string& name, Command command) {
    commands().emplace(name, std::move(command));
}

ArgParser::ArgParser(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                     const std::vector<std::string>& valued) {
    auto isIn = [](const std::vector<std::string>& list, const std::string& s) {
        for (const auto& item : list) {
            if (item == s) return true;
        }
        return false;
    };
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (a.size() < 2 || a[0] != '-') break;
        if (isIn(flags, a)) {
            options_.emplace(a, "");
        } else if (isIn(valued, a)) {
            if (i + 1 >= args.size()) {
                error_ = "option " + a + " needs a value";
                return;
            }
            options_.emplace(a, args[++i]);
        } else {
            error_ = "unknown option " + a;
            return;
        }
    }
    operands_.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
}

bool ArgParser::flag(const std::string& name) const { return options_.count(name) != 0; }

std::optional<std::string> ArgParser::value(const std::string& name) const {
    const auto range = options_.equal_range(name);
    if (range.first == range.second) return std::nullopt;
    return std::prev(range.second)->second;  // the last one counts
}

std::vector<std::string> ArgParser::values(const std::string& name) const {
    std::vector<std::string> out;
    const auto range = options_.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) out.push_back(it->second);
    return out;
}

int usageError(std::ostream& err, const std::string& usage, const std::string& message) {
    if (!message.empty()) err << "korvex-tool: " << message << "\n";
    err << "usage: korvex-tool " << usage << "\n";
    return 2;
}

}  // namespace korvex::tool

int main(int argc, char** argv) {
    using namespace korvex::tool;
    std::vector<std::string> args = programArguments(argc, argv);
    if (args.empty() || commands().count(args[0]) == 0) {
        if (!args.empty()) std::cerr << "korvex-tool: unknown command " << args[0] << "\n";
        std::cerr << "usage:\n";
        for (const auto& [name, command] : commands())
            std::cerr << "  korvex-tool " << command.usage << "\n";
        return 2;
    }
    const Command& command = commands().at(args[0]);
    args.erase(args.begin());
    return command.run(args, std::cout, std::cerr);
}
