#pragma once
// <windows.h> for the Win32 back ends, without the min and max macros that would break
// std::min, std::max and the Qt headers of the files that include these back ends.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
