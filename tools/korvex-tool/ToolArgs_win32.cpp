#include "ToolArgs.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

namespace korvex::tool {

// The 8-bit argv of Windows is in the ANSI code page and loses every character that page lacks, so
// the UTF-16 command line is read instead.
std::vector<std::string> programArguments(int, char**) {
    // Output as on other systems: UTF-8 with "\n" line ends, byte for byte, so scripts and the
    // comparison with the other builds see the same text.
    ::SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) return args;
    for (int i = 1; i < count; ++i) {
        const int length =
            ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(length > 0 ? static_cast<std::size_t>(length) : 1, '\0');
        if (length > 0)
            ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), length, nullptr, nullptr);
        arg.resize(arg.size() - 1);  // the closing NUL
        args.push_back(std::move(arg));
    }
    ::LocalFree(wide);
    return args;
}

}  // namespace korvex::tool
