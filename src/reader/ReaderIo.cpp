#include "reader/ReaderIo.h"

#include <algorithm>

#include "platform/OperatorUi.h"

namespace korvex {

std::string lastCharacters(const std::string& a, const std::string& b, std::size_t limit) {
    if (b.size() >= limit) return b.substr(b.size() - limit);
    const std::size_t fromA = std::min(a.size(), limit - b.size());
    std::string out = a.substr(a.size() - fromA);
    out += b;
    return out;
}

void echoReaderData(OperatorUi& ui, const std::string& text) {
    if (!ui.detailsWindowExists()) return;
    ui.detailsSetReaderData(lastCharacters(ui.detailsReaderData(), text, kReaderDataLimit));
}

}  // namespace korvex
