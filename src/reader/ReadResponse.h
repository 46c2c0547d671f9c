#pragma once
// The blocking request-and-reply read used while the reader is set up and while an image is
// fetched: the polling tick is not involved.

#include <cstdint>
#include <string>

#include "reader/ReaderIo.h"

namespace korvex {

// Collects what the reader sends until the reply ends with the terminator, or until nothing has
// come for firstCharTimeoutMs, or the whole reply has taken totalTimeoutMs. Both limits count
// from the start, in time slept: between reads the thread sleeps pollIntervalMs without letting
// events run, and only those sleeps count (time spent reading does not). The reply, terminator
// included, is echoed to the details window. Read failures are ignored.
//
// With an empty terminator any text that has come counts as a whole reply. A poll interval
// below 1 ms is taken as 1 ms, so the limits are always reached.
std::string ReadResponse(ReaderIo& io, int32_t pollIntervalMs, int32_t firstCharTimeoutMs,
                         int32_t totalTimeoutMs);

}  // namespace korvex
