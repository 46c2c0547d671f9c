#pragma once
// One-line descriptions of what the key engines do, shared by korvex-tool's "keys" listing and
// the tests' recordings:
//   down VK SCAN | up VK SCAN | unicode CODEPOINT down|up | sleep MS | yield | batch N | paste TEXT

#include <string>
#include <string_view>

#include "platform/KeyInjector.h"

namespace korvex {

std::string describeKeyEvent(const KeyEvent& event);

// Control characters written as \r \n \t \b \e (others as \xHH) and "\" as "\\", so that a
// pasted text fits on one line and reads back unambiguously.
std::string escapeControlCharacters(std::string_view text);

}  // namespace korvex
