#pragma once
// A small regular-expression engine with the meaning of the scripting RegExp object the reader
// patterns were written for: not global (only the first match counts), case-sensitive, "." not
// matching "\n", "^" and "$" at the ends of the whole text.
//
// Why not std::regex: libstdc++'s matcher recurses once per character and overflows the stack on
// long input, and the reader can send a megabyte of noise. This engine compiles the pattern into
// a small program and runs it as a Pike VM: one pass over the text, at most one thread per program
// instruction, no recursion, so time is linear in the text and memory is bounded by the pattern.
// It gives leftmost-first (backtracking) semantics for the overall match and the captures.
//
// Syntax: literals; "." ; "^" "$"; classes "[...]" "[^...]" with ranges; the escapes \d \D \w \W
// \s \S \b \B \n \r \t \f \v \0 (NUL, or an octal escape when octal digits follow) \xhh \uhhhh
// (mapped to Windows-1255) \cX and any escaped punctuation; groups "(...)" and "(?:...)";
// alternation "|"; the quantifiers * + ? {n} {n,} {n,m}, each lazy when followed by "?".
// Back references and look-ahead are not supported: such a pattern fails to compile.
//
// Text is bytes (Windows-1255, one byte a character); NUL is an ordinary character.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

class RegExp {
public:
    // The span of the whole match (group 0) and of every capturing group; a group that did not
    // take part in the match has no span.
    struct Match {
        struct Span {
            size_t position = 0;
            size_t length = 0;
        };
        std::vector<std::optional<Span>> groups;  // groups[0] is the whole match

        size_t position() const { return groups[0]->position; }
        size_t length() const { return groups[0]->length; }
        // The text of group n, or "" when it did not take part (or does not exist).
        std::string_view group(size_t n, std::string_view text) const;
    };

    // Compiles the pattern; a pattern that does not compile leaves ok() false, and then test()
    // is false, search() finds nothing and replace() returns the text unchanged.
    explicit RegExp(std::string_view pattern);

    bool ok() const { return error_.empty(); }
    // Why the pattern did not compile ("" when it did).
    const std::string& error() const { return error_; }
    const std::string& pattern() const { return pattern_; }
    // The number of capturing groups.
    size_t groupCount() const { return groupCount_; }

    // The first (leftmost, then by pattern priority) match in the text.
    std::optional<Match> search(std::string_view text) const;
    bool test(std::string_view text) const;
    // The text with its first match replaced. In the replacement "$1".."$99" stand for a group
    // (a group that does not exist leaves the "$" text as it is), "$&" for the match, "$`" and
    // "$'" for the text before and after it, "$$" for "$".
    std::string replace(std::string_view text, std::string_view replacement) const;

    // Limits that keep a pattern's program small; a pattern beyond them does not compile.
    static constexpr size_t kMaxProgramSize = 20000;
    static constexpr int kMaxRepeat = 1000;
    static constexpr int kMaxNesting = 100;

    enum class Op : uint8_t {
        Char,
        Class,
        Any,
        Split,
        Jmp,
        Save,
        Match,
        LineStart,
        LineEnd,
        WordBoundary,
        NotWordBoundary
    };
    struct Inst {
        Op op = Op::Match;
        unsigned char ch = 0;
        int32_t x = 0;  // Class: class index; Split/Jmp: first target; Save: slot
        int32_t y = 0;  // Split: second (lower-priority) target
    };
    struct CharSet {
        uint64_t bits[4] = {0, 0, 0, 0};
        bool has(unsigned char c) const { return (bits[c >> 6] >> (c & 63)) & 1u; }
        void add(unsigned char c) { bits[c >> 6] |= uint64_t{1} << (c & 63); }
    };

private:
    std::string pattern_;
    std::string error_;
    size_t groupCount_ = 0;
    bool anchoredStart_ = false;
    bool wordAssertions_ = false;
    std::vector<Inst> program_;
    std::vector<CharSet> classes_;
};

}  // namespace korvex
