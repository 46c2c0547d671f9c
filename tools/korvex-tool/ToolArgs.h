#pragma once
// The command line and the standard streams as every system's korvex-tool shows them: arguments
// in UTF-8, output passed byte for byte. One file per system, chosen by the build.

#include <string>
#include <vector>

namespace korvex::tool {

// The arguments after the program's name, in UTF-8. Call once, first thing in main(): it also
// sets the standard streams up to pass bytes through unchanged.
std::vector<std::string> programArguments(int argc, char** argv);

}  // namespace korvex::tool
