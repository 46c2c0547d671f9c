// The polling tick: the reader identified, then bytes arriving in chunks at arbitrary moments,
// classified and dispatched, an image fetched for every document. Input: a reply count n (bit 4:
// identify the reader first), n replies the reader gives to the commands it is sent (each ended by
// 0x01), then chunks: a control byte (length in the low five bits, a flood bit, a time step in the
// high two) and the bytes.

#include <deque>

#include "FuzzCheck.h"
#include "interpret/MicrRecognition.h"
#include "reader/ImageTransfer.h"
#include "reader/InputAssembler.h"
#include "reader/ReaderSetup.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"

using namespace korvex;

namespace {

struct Dispatch : MessageDispatch {
    ReaderIo& io;
    explicit Dispatch(ReaderIo& readerIo) : io(readerIo) {}
    int classify(const std::string& m) override {
        return static_cast<int>(ClassifyInput(m, false, 3));
    }
    void cheque(const std::string& line) override { ExtractMicrGroups(line, false, io.ui); }
    void magStripe(const std::string&) override {}
    void genUSCheque(const std::string&) override {}
    void backsideImage() override { documentImage(); }
    int images = 0;
    void documentImage() override {
        ++images;
        std::string name = "img\\a?.tif";
        const ImageTransferResult r = ReceiveImage(io, name, true);
        KORVEX_FUZZ_CHECK(r.announced <= kMaxImageBytes && r.received >= 0, "image size capped");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const test::TempFolder folder;
    fuzz::Input in(data, size);
    test::FakeServices fakes;
    std::deque<std::string> replies;
    const uint8_t first = in.byte();
    for (int n = first & 15; n > 0; --n) replies.push_back(in.text());
    fakes.port.responder = [&replies](const std::string&) {
        if (replies.empty()) return std::string();
        std::string reply = replies.front();
        replies.pop_front();
        return reply;
    };
    fakes.port.open();
    test::FakeClock clock;  // no journal: an image transfer naps thousands of times
    ReaderIo io{fakes.port, clock, fakes.ui, [](const std::string&) {}, "\r", folder.path(), [] {}};
    if (first & 16) {
        CheckIsMagtek(io);
        fakes.port.open();  // a failed identification ends the program; the ticks run anyway
    }

    Dispatch dispatch(io);
    InputAssembler assembler;
    std::string buffer;
    while (!in.empty()) {
        const uint8_t control = in.byte();
        const std::string chunk = in.take(control & 31);
        // Bit 5: a flood, the chunk repeated as a noisy line would send it for seconds.
        for (int i = (control & 32) ? 4096 : 1; i > 0; --i) fakes.port.feed(chunk);
        clock.advance(std::chrono::milliseconds(100 << (control >> 6)));
        const std::size_t slept = clock.sleeps.size();
        dispatch.images = 0;
        assembler.tick(io, buffer, TickSettings{}, dispatch);
        KORVEX_FUZZ_CHECK(!assembler.running(), "the tick finished");
        KORVEX_FUZZ_CHECK(buffer.size() <= InputAssembler::kBufferLimit, "the buffer is capped");
        std::chrono::milliseconds waited{0};
        for (std::size_t i = slept; i < clock.sleeps.size(); ++i) {
            waited += clock.sleeps[i];
        }
        // An image request waits at most about 16 s for a silent reader; nothing else waits.
        KORVEX_FUZZ_CHECK(waited <= std::chrono::seconds(20) * dispatch.images,
                          "a tick waits a bounded time for each image");
    }
    return 0;
}
