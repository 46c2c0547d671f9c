// The key notation: parse, then each of the three key engines on the recording injector. Every
// engine must release every key it pressed, and stay within its event limit.

#include <map>

#include "FuzzCheck.h"
#include "output/SendKeys.h"
#include "support/FakeServices.h"

using namespace korvex;

namespace {

void checkBalanced(const std::vector<KeyEvent>& events) {
    KORVEX_FUZZ_CHECK(events.size() <= 4 * modSendKeys::kMaxKeyEventsPerText, "event limit");
    std::map<std::pair<uint32_t, bool>, long> held;  // (key or code point, is unicode)
    for (const KeyEvent& e : events) {
        const bool unicode = e.kind == KeyEvent::Kind::Unicode;
        held[{unicode ? static_cast<uint32_t>(e.codePoint) : e.virtualKey, unicode}] +=
            e.keyUp ? -1 : 1;
    }
    for (const auto& [key, count] : held) KORVEX_FUZZ_CHECK(count == 0, "every key released");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    KORVEX_FUZZ_CHECK(readKeyNotation(text).size() <= size, "a token takes a character at least");
    test::FakeServices fakes;
    modSendKeys engines(
        fakes.services().keyServices(), [] {}, [](const std::string&) {});
    engines.VbSendKeys(text, size % 3, false);
    checkBalanced(fakes.keys.events);
    fakes.keys.events.clear();
    engines.VbSendInput(text);
    checkBalanced(fakes.keys.events);
    fakes.keys.events.clear();
    engines.SendKeysWait(text);
    checkBalanced(fakes.keys.events);
    if (engines.VbSendPaste(text)) {
        KORVEX_FUZZ_CHECK(fakes.clipboard.text.size() <= modSendKeys::kMaxPasteBytes,
                          "a paste text over its limit is refused");
    }
    return 0;
}
