#include "interpret/BranchTable.h"

#include <array>
#include <fstream>
#include <limits>
#include <system_error>

#include "interpret/MicrDigits.h"

namespace korvex {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A decimal integer with an optional sign, within 16 bits.
bool parseInt16(std::string_view s, int16_t& out) {
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    int32_t value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
        if (value > 32768) return false;
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<int16_t>::min() ||
        value > std::numeric_limits<int16_t>::max()) {
        return false;
    }
    out = static_cast<int16_t>(value);
    return true;
}

std::string printable(std::string_view value) {
    constexpr size_t kShown = 20;
    std::string out;
    for (char c : value.substr(0, kShown)) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            static const char* hex = "0123456789ABCDEF";
            out += "\\x";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    if (value.size() > kShown) out += "...";
    return out;
}

}  // namespace

BranchTableLoad BranchTable::load(const std::filesystem::path& file) {
    records_.clear();
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec) return {false, "cannot read " + file.string() + ": " + ec.message(), 0};
    if (size > kMaxFileSize) {
        return {false, file.string() + " is larger than " + std::to_string(kMaxFileSize) + " bytes",
                0};
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) return {false, "cannot open " + file.string(), 0};
    // Read no more than the size seen, so a file that grows meanwhile cannot grow memory.
    std::string text(static_cast<size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(size));
    if (in.bad()) return {false, "cannot read " + file.string(), 0};
    text.resize(static_cast<size_t>(in.gcount()));
    return parse(text);
}

BranchTableLoad BranchTable::parse(std::string_view text) {
    records_.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<BranchRecord> records;
    std::array<int16_t, 7> pending{};
    size_t filled = 0;
    size_t lineNumber = 0;
    size_t recordLine = 0;  // where the record being filled began
    while (!text.empty()) {
        ++lineNumber;
        const size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (trimBlanks(line).empty()) continue;
        while (true) {
            const size_t comma = line.find(',');
            const std::string_view field = trimBlanks(line.substr(0, comma));
            int16_t value = 0;
            if (field.empty()) return {false, "empty value", lineNumber};
            if (!parseInt16(field, value)) {
                return {false,
                        "\"" + printable(field) + "\" is not a whole number from -32768 to 32767",
                        lineNumber};
            }
            if (filled == 0) recordLine = lineNumber;
            pending[filled++] = value;
            if (filled == pending.size()) {
                records.push_back({pending[0], pending[1], pending[2], pending[3], pending[4],
                                   pending[5], pending[6]});
                filled = 0;
            }
            if (comma == std::string_view::npos) break;
            line.remove_prefix(comma + 1);
        }
    }
    if (filled != 0) {
        return {false, "the last record has " + std::to_string(filled) + " of its 7 values",
                recordLine};
    }
    records_ = std::move(records);
    return {true, {}, 0};
}

bool BranchTable::covers(int32_t bank, int32_t branch) const {
    for (const BranchRecord& r : records_) {
        if (r.covers(bank, branch)) return true;
    }
    return false;
}

int32_t BranchTable::LookupBranch(std::string_view bank, std::string_view branch) const {
    const int32_t b = LeadingDigitsValue(bank);
    const int32_t br = LeadingDigitsValue(branch.substr(0, 3));
    for (const BranchRecord& r : records_) {
        if (r.covers(b, br)) return r.Bank;
    }
    return 0;
}

}  // namespace korvex
