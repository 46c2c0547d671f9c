#include "reader/ImageTransfer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/Clock.h"
#include "platform/OperatorUi.h"
#include "platform/SerialPort.h"
#include "reader/ReadResponse.h"
#include "text/Convert.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

constexpr double kIdleLimitSeconds = 15.0;
constexpr double kDaySeconds = 86400.0;
constexpr std::size_t kChunkBytes = 1024;
// While the reader is quiet the loop naps this long between looks at the port, so that a
// transfer does not keep a processor core busy for its whole idle limit.
constexpr std::chrono::milliseconds kIdleNap{2};

std::vector<std::string> splitAtCommas(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(',', from);
        out.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) return out;
        from = at + 1;
    }
}

int32_t announcedSize(const std::string& field) {
    const double n = std::trunc(leadingNumber(field));
    if (!(n > 0)) return 0;
    return n >= kMaxImageBytes ? kMaxImageBytes : static_cast<int32_t>(n);
}

bool ending(const ReaderIo& io) { return io.ended && io.ended(); }

// Returns the port to text input and the polling timer to running when the transfer ends,
// however it ends; a program that is ending keeps its timer off.
class TransferScope {
public:
    explicit TransferScope(ReaderIo& io) : io_(io) {}
    ~TransferScope() {
        try {
            io_.port.setInputMode(SerialPort::InputMode::Text);
            if (!ending(io_)) io_.ui.setPollingTimerEnabled(true);
        } catch (...) {
        }
    }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

private:
    ReaderIo& io_;
};

bool writeImage(const std::filesystem::path& folder, const std::string& fileName,
                const std::string& bytes) {
    const std::filesystem::path target = resolveIn(folder, fileName);
    std::error_code ignored;
    if (fileName.find('\\') != std::string::npos) {
        std::filesystem::create_directories(target.parent_path(), ignored);
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

}  // namespace

Progress DrawProgress(int32_t minimum, int32_t maximum, int32_t value) {
    Progress p;
    if (maximum != minimum) {
        p.fraction =
            (static_cast<double>(value) - minimum) / (static_cast<double>(maximum) - minimum);
        p.fraction = std::clamp(p.fraction, 0.0, 1.0);
    }
    p.text = std::to_string(static_cast<long>(std::floor(p.fraction * 100.0 + 0.5))) + "% ";
    return p;
}

ImageTransferResult ReceiveImage(ReaderIo& io, std::string& fileName, bool quiet) {
    ImageTransferResult result;
    std::replace(fileName.begin(), fileName.end(), '?', '#');

    io.port.setInputMode(SerialPort::InputMode::Text);
    io.port.output("IS" + io.terminator);
    std::string reply = ReadResponse(io, 10, 300, 300);
    if (reply.empty()) {
        io.log("Retrying to get image size");
        io.clock.sleep(std::chrono::milliseconds(100));
        reply = ReadResponse(io, 10, 600, 600);
    }
    const std::vector<std::string> fields = splitAtCommas(reply);
    // "MN0": the reader holds no image; nothing was changed, so nothing needs restoring.
    if (fields.front() == "MN0") return result;

    TransferScope restore(io);
    if (fields.size() == 3) result.announced = announcedSize(fields[1]);
    if (result.announced <= 0) return result;
    result.readerHadImage = true;

    if (!quiet) io.ui.fileXferShow(fileName);
    io.port.input();  // whatever came after the size reply is not image data
    io.port.setInputMode(SerialPort::InputMode::Binary);
    io.port.output("TI F4" + io.terminator);

    std::string image;
    double start = io.clock.timeOfDay();
    io.ui.setPollingTimerEnabled(false);
    // Exit chosen during one of the loop's turns ends the transfer at once: the port is closed,
    // and a cut image must not be left under the document's name.
    while (!ending(io) && io.clock.timeOfDay() - start < kIdleLimitSeconds &&
           result.received < result.announced) {
        // Past midnight the time of day starts again from 0: count from the same moment of the
        // day before.
        if (io.clock.timeOfDay() < start) start -= kDaySeconds;
        if (io.port.inBufferCount() == 0) {
            io.ui.doEvents();
            io.clock.sleep(kIdleNap);
            continue;
        }
        const std::string chunk = io.port.input(kChunkBytes);
        image += chunk;
        result.received += static_cast<int32_t>(chunk.size());
        if (!quiet) {
            const Progress p = DrawProgress(0, result.announced, result.received);
            io.ui.fileXferProgress(p.fraction, p.text);
        }
        start = io.clock.timeOfDay();
        io.ui.doEvents();
    }

    if (ending(io)) {
        if (!quiet) io.ui.fileXferClose();
        return result;
    }
    result.written = writeImage(io.programFolder, fileName, image);
    if (!result.written) io.log("Could not write the image file " + fileName);
    if (!quiet) io.ui.fileXferClose();
    echoReaderData(io.ui, "<<<" + std::to_string(result.received) + " bytes of image data>>>\r\n");
    return result;
}

}  // namespace korvex
