#pragma once
// A card swipe's keys: the track's fields cut by the profile's rules and put through its card
// template.

#include <string>

#include "config/Settings.h"

namespace korvex {

// Track 2 (it holds "="), else track 1 (it holds "^"), else the swipe between its first and last
// characters followed by {ENTER}. A field rule that cannot be applied throws PipelineAbort.
std::string magStripeKeys(const std::string& message, const ProfileSettings& profile);

}  // namespace korvex
