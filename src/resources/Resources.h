#pragma once
// Files the program carries inside itself, byte for byte.

#include <string_view>

namespace korvex::resources {

// The default configuration file (Windows-1255, CR LF), written out when Korvex.ini is missing.
std::string_view defaultConfig();

}  // namespace korvex::resources
