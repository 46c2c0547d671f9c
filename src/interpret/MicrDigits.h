#pragma once
// How the cheque rules read numbers out of MICR texts that may hold "?" and other noise.

#include <cstdint>
#include <string_view>

namespace korvex {

// The value of the text's leading run of digits, blanks skipped; any other character ("?"
// included) ends the run, and no digits give 0. Saturates at INT32_MAX instead of overflowing.
int32_t LeadingDigitsValue(std::string_view text);

// The digit at 1-based position i: a character that is not a digit, and a position outside the
// text, count as 0.
int DigitAt(std::string_view text, int position);

}  // namespace korvex
