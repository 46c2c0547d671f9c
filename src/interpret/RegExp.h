#pragma once
// The matcher for the reader's cheque patterns (MicrRecognition.h). It knows only the syntax those
// patterns use: literal characters, "." (any character but "\n"), classes "[...]" and "[^...]"
// with ranges, the escape "\0" (NUL) and escaped punctuation, the greedy quantifiers * + ? {n}
// {n,} {n,m} on a single character or class, capturing groups "(...)" (not themselves
// quantified), "^" at the very start and "$" at the very end. Anything else is refused when the
// pattern is compiled.
//
// Meaning as the scripting RegExp object the patterns were written for: not global (the first
// match counts), case-sensitive, leftmost-first captures as a backtracking engine gives them.
// Text is bytes (Windows-1255); NUL is an ordinary character.
//
// Why not std::regex: libstdc++'s matcher recurses once per character and overflows the stack on
// long input, and the reader can send a megabyte of noise. This one runs as a Pike VM over
// (item, repeat count) states in priority order: one pass over the text, at most one thread per
// state, no recursion, so time is linear in the text and memory is bounded by the pattern.

#include <bitset>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace korvex {

class RegExp {
public:
    // The span of the whole match (group 0) and of every capturing group.
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

    // Compiles the pattern; throws std::invalid_argument for syntax outside the list above.
    explicit RegExp(std::string_view pattern);

    size_t groupCount() const { return groupCount_; }
    // The first (leftmost, then by pattern priority) match in the text.
    std::optional<Match> search(std::string_view text) const;
    bool test(std::string_view text) const;

private:
    // One character class with its repeat counts (max < 0 for no limit).
    struct Item {
        std::bitset<256> set;
        int min = 1, max = 1;
        int firstState = 0;  // the state of a repeat count of 0
    };
    bool run(std::string_view text, bool anyMatch, std::vector<std::ptrdiff_t>& best) const;

    std::vector<Item> items_;
    // The capture slots set where the matcher moves onto item i (i == items_.size(): the end).
    std::vector<std::vector<int>> savesBefore_;
    size_t groupCount_ = 0;
    int stateCount_ = 0;  // the match state's number
    bool anchoredStart_ = false, anchoredEnd_ = false;
};

}  // namespace korvex
