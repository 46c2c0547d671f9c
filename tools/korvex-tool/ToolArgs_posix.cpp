#include "ToolArgs.h"

namespace korvex::tool {

// POSIX systems hand the arguments over as the bytes typed, UTF-8 on every desktop we run on, and
// their streams never translate line ends.
std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace korvex::tool
