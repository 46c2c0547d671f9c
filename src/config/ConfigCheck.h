#pragma once
// Judging a configuration file the way the program reads it: every value that would not convert,
// every key or line the program ignores, and what a byte-order mark or repeated names hide. The
// knowledge of keys comes from the same tables LoadProfile and ReadConfig read through.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

struct ConfigProblem {
    std::size_t line = 0;  // 1-based line of the file
    std::string section;   // Windows-1255; empty outside any section
    std::string key;       // empty for a problem of a whole line or section
    std::string value;     // as the program reads it
    std::string problem;   // English, for support staff
};

std::vector<ConfigProblem> checkConfiguration(std::string_view fileBytes);

// A value as a message can show it: control characters as "?", and at most `maxShown`
// characters followed by "..." when longer.
std::string printableValue(std::string_view value, std::size_t maxShown = 64);

}  // namespace korvex
