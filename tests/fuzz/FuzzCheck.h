#pragma once
// What a fuzz target asserts beyond "no crash": a plain check that stops the run with a message,
// so that libFuzzer keeps the input and the corpus runner fails.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define KORVEX_FUZZ_CHECK(condition, message)                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s (%s)\n", __FILE__, __LINE__, #condition, \
                         message);                                                                 \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace korvex::fuzz {

// Takes the input apart: small numbers and texts cut at a separator byte.
class Input {
public:
    Input(const uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}
    bool empty() const { return rest_.empty(); }
    uint8_t byte() {
        if (rest_.empty()) return 0;
        const auto b = static_cast<uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    // The text up to the next separator (removed), or all that is left.
    std::string text(char separator = '\x01') {
        const std::size_t at = rest_.find(separator);
        std::string out(rest_.substr(0, at));
        rest_.remove_prefix(at == std::string_view::npos ? rest_.size() : at + 1);
        return out;
    }
    std::string take(std::size_t n) {
        std::string out(rest_.substr(0, n));
        rest_.remove_prefix(out.size());
        return out;
    }
    std::string rest() { return take(rest_.size()); }

private:
    std::string_view rest_;
};

}  // namespace korvex::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);
