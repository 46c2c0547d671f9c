#pragma once
// korvex-tool's subcommands. Each lives in a file of its own and registers itself with
// KORVEX_TOOL_COMMAND; main() dispatches on the first argument.
//
// Arguments and output are UTF-8 on the command line; commands convert to and from
// Windows-1255 at the edges. Exit status: 0 success, 1 a problem found, 2 a usage error (with a
// usage line on standard error).

#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvex::tool {

struct Command {
    std::string usage;  // e.g. "classify [--nonus] [--min-unread N] LINE..."
    std::function<int(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)>
        run;
};

std::map<std::string, Command>& commands();

struct Registrar {
    Registrar(const std::string& name, Command command);
};

// Options before operands; "--" ends the options. Options are declared with or without a value.
class ArgParser {
public:
    ArgParser(const std::vector<std::string>& args, const std::vector<std::string>& flags,
              const std::vector<std::string>& valued);
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    bool flag(const std::string& name) const;
    std::optional<std::string> value(const std::string& name) const;
    std::vector<std::string> values(const std::string& name) const;  // repeatable option
    const std::vector<std::string>& operands() const { return operands_; }

private:
    std::multimap<std::string, std::string> options_;
    std::vector<std::string> operands_;
    std::string error_;
};

// Prints "usage: korvex-tool <usage>" (and the error, if any) and returns 2.
int usageError(std::ostream& err, const std::string& usage, const std::string& message = {});

}  // namespace korvex::tool

#define KORVEX_TOOL_CONCAT2(a, b) a##b
#define KORVEX_TOOL_CONCAT(a, b) KORVEX_TOOL_CONCAT2(a, b)
#define KORVEX_TOOL_COMMAND(name, ...)                                                    \
    static const ::korvex::tool::Registrar KORVEX_TOOL_CONCAT(registrar_, __LINE__)(name, \
                                                                                    __VA_ARGS__)
