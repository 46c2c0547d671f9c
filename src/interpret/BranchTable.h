#pragma once
// The bank branch table: per bank and branch range, the check results its accounts may give.
// Loaded once at start-up from "banks_branches.txt" in the program folder and read-only after.
//
// File format: integers separated by commas or line ends, read seven at a time as
// Bank, FirstBranch, LastBranch, Accept1, Accept2, Accept3, Accept4 (one record a line is
// usual, e.g. "12,1,999,0,0,0,0"). Every value is a signed 16-bit integer; blanks around a
// value and blank lines are allowed, CR LF and LF line ends alike, and a leading UTF-8 byte-order
// mark is ignored. Anything else (an empty value, a non-number, a value beyond 16 bits, a partial
// last record, a file over kMaxFileSize) fails the whole load and leaves the table empty.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

inline constexpr const char* kBranchTableFileName = "banks_branches.txt";

struct BranchRecord {
    int16_t Bank = 0;
    int16_t FirstBranch = 0;
    int16_t LastBranch = 0;
    int16_t Accept1 = 0, Accept2 = 0, Accept3 = 0, Accept4 = 0;

    bool covers(int32_t bank, int32_t branch) const {
        return Bank == bank && FirstBranch <= branch && branch <= LastBranch;
    }
    bool accepts(int32_t result) const {
        return Accept1 == result || Accept2 == result || Accept3 == result || Accept4 == result;
    }
};

// The outcome of a load: ok, or why not and on which line (1-based; 0 when no line applies).
struct BranchTableLoad {
    bool ok = false;
    std::string error;
    size_t line = 0;
};

class BranchTable {
public:
    // A real table has a few thousand records; a larger file is not a branch table.
    static constexpr std::uintmax_t kMaxFileSize = 16u * 1024u * 1024u;

    // Replaces the table with the file's records; on any failure the table is left empty.
    BranchTableLoad load(const std::filesystem::path& file);
    // The same from the file's text.
    BranchTableLoad parse(std::string_view text);

    const std::vector<BranchRecord>& records() const { return records_; }
    size_t count() const { return records_.size(); }
    void clear() { records_.clear(); }

    // Whether some record covers the bank and branch (numeric comparison).
    bool covers(int32_t bank, int32_t branch) const;
    // The bank number when a record covers the bank's and the branch's numeric values (only the
    // first three characters of a longer branch count), otherwise 0.
    int32_t LookupBranch(std::string_view bank, std::string_view branch) const;

private:
    std::vector<BranchRecord> records_;
};

}  // namespace korvex
