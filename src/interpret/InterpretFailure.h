#pragma once
// How an interpretation step reports a failure that abandons the cheque: a stable number and a
// description, which the cheque pipeline writes to the diagnostics log as "Error #<n> - <text>".

#include <cstdint>
#include <string>

namespace korvex {

struct InterpretFailure {
    int32_t number = 0;
    std::string description;
};

// The failure numbers of this folder. 5 is the number the scripting runtime gives an invalid
// procedure argument (a string position below 1, a negative length); support staff know it.
inline constexpr int32_t kErrInvalidArgument = 5;
// A field padded beyond the largest text a field can hold.
inline constexpr int32_t kErrFieldTooLong = 6;
// No memory for the text being interpreted.
inline constexpr int32_t kErrOutOfMemory = 7;
// The bank-selection window was needed but none is available (a tool without a user interface).
inline constexpr int32_t kErrNoDebugWindow = 1001;

}  // namespace korvex
