#pragma once
// The configuration tests use the main window on fakes that every core test shares.

#include "support/CoreHarness.h"

namespace korvex::test {

using ConfigHarness = CoreHarness;

}  // namespace korvex::test
