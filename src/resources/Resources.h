#pragma once
// Files the program carries inside itself, byte for byte.

#include <string_view>

namespace korvex::resources {

// The default configuration file (Windows-1255, CR LF), written out when Korvex.ini is missing.
std::string_view defaultConfig();

// The watchdog of launcher mode: for the Windows script host (exactly 768 bytes: "'tempfile",
// 41 empty lines, the program, NUL padding) and for a POSIX shell (same arguments, files, loop).
std::string_view watchdogVbScript();
std::string_view watchdogShellScript();

}  // namespace korvex::resources
