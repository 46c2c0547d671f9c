#pragma once
// Fetching the scanned image the reader holds, and the progress the transfer window shows.

#include <cstdint>
#include <string>

#include "reader/ReaderIo.h"

namespace korvex {

struct ImageTransferResult {
    bool readerHadImage = false;  // false: "MN0" or no usable size
    int32_t announced = 0;        // the size the reader announced (after the safety cap)
    int32_t received = 0;         // bytes that arrived
    bool written = false;         // the file was written (possibly short)
};

// Asks the reader for the size of its image ("IS"), switches the port to binary input, requests
// the image ("TI F4") and collects it in chunks of at most 1024 bytes until the announced size
// has come or nothing has come for 15 seconds (time of day, across midnight), then writes every
// byte that came to fileName (relative names from the program folder, "\" between folders,
// missing folders created). Every "?" of fileName becomes "#" first, in the caller's text too.
// Unless quiet, the transfer window shows the name and the progress. The details window gets a
// line with the byte count. Afterwards the port is in text input and the polling timer runs,
// on every path that got past the size request. When the program starts ending during the
// transfer (io.ended), it stops there, writes nothing and leaves the polling timer off.
ImageTransferResult ReceiveImage(ReaderIo& io, std::string& fileName, bool quiet);

// An announced size above this is taken as this: no document image comes near it, and it keeps
// a confused reader from making the program hold gigabytes.
inline constexpr int32_t kMaxImageBytes = 32 * 1024 * 1024;

struct Progress {
    double fraction = 0;  // of the bar to fill, 0..1
    std::string text;     // the whole percentage and one blank, e.g. "37% "
};

// The progress bar of the transfer window for value between minimum and maximum. Values outside
// the range are drawn at its ends; maximum equal to minimum draws an empty bar.
Progress DrawProgress(int32_t minimum, int32_t maximum, int32_t value);

}  // namespace korvex
