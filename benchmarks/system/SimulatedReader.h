#pragma once
// The reader benchmark's entry point: the shared harness's simulated reader.
#include "support/ProcessHarness.h"
