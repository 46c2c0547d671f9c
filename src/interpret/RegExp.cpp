#include "interpret/RegExp.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace korvex {

std::string_view RegExp::Match::group(size_t n, std::string_view text) const {
    if (n >= groups.size() || !groups[n]) return {};
    return text.substr(groups[n]->position, groups[n]->length);
}

RegExp::RegExp(std::string_view p) {
    size_t i = 0;
    auto fail = [&](const char* why) {
        throw std::invalid_argument("pattern \"" + std::string(p) + "\", position " +
                                    std::to_string(i + 1) + ": " + why);
    };
    auto number = [&] {
        const size_t start = i;
        int value = 0;
        while (i < p.size() && p[i] >= '0' && p[i] <= '9' && value <= 1000)
            value = value * 10 + (p[i++] - '0');
        if (i == start || value > 1000) fail("a repeat count of 0 to 1000 expected");
        return value;
    };
    // One character of the pattern, an escape resolved.
    auto literal = [&]() -> unsigned char {
        if (p[i] != '\\') return static_cast<unsigned char>(p[i++]);
        if (++i == p.size()) fail("the pattern ends with \"\\\"");
        const auto c = static_cast<unsigned char>(p[i++]);
        if (c == '0') return 0;
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            fail("an escape other than \"\\0\"");
        }
        return c;
    };

    std::vector<size_t> open;  // the groups not closed yet
    savesBefore_.push_back({0});
    if (!p.empty() && p[0] == '^') anchoredStart_ = true, ++i;
    bool repeatable = false;
    while (i < p.size()) {
        const char c = p[i];
        if (c == '$' && i + 1 == p.size()) {
            anchoredEnd_ = true, ++i;
        } else if (c == '(') {
            if (i + 1 < p.size() && p[i + 1] == '?') fail("a group other than \"(...)\"");
            open.push_back(++groupCount_);
            savesBefore_.back().push_back(static_cast<int>(2 * groupCount_));
            ++i, repeatable = false;
        } else if (c == ')') {
            if (open.empty()) fail("an unmatched \")\"");
            savesBefore_.back().push_back(static_cast<int>(2 * open.back() + 1));
            open.pop_back();
            ++i, repeatable = false;
        } else if (c == '*' || c == '+' || c == '?' || c == '{') {
            if (!repeatable) fail("nothing to repeat (a group cannot be repeated)");
            Item& item = items_.back();
            ++i, repeatable = false;
            if (c == '*') {
                item.min = 0, item.max = -1;
            } else if (c == '+') {
                item.max = -1;
            } else if (c == '?') {
                item.min = 0;
            } else {
                item.min = item.max = number();
                if (i < p.size() && p[i] == ',') {
                    ++i;
                    item.max = i < p.size() && p[i] == '}' ? -1 : number();
                }
                if (i == p.size() || p[i] != '}') fail("a \"{\" that is not {n}, {n,} or {n,m}");
                ++i;
                if (item.max >= 0 && item.max < item.min) fail("{n,m} with m below n");
            }
        } else if (c == '^' || c == '$' || c == '|' || c == ']' || c == '}') {
            fail("syntax the matcher does not know");
        } else {
            Item item;
            if (c == '.') {
                item.set.set().reset('\n');
                ++i;
            } else if (c == '[') {
                const bool negated = ++i < p.size() && p[i] == '^';
                if (negated) ++i;
                while (i < p.size() && p[i] != ']') {
                    const unsigned char from = literal();
                    unsigned char to = from;
                    if (i + 1 < p.size() && p[i] == '-' && p[i + 1] != ']') ++i, to = literal();
                    if (to < from) fail("a range out of order");
                    for (int ch = from; ch <= to; ++ch) item.set.set(static_cast<size_t>(ch));
                }
                if (i == p.size()) fail("a missing \"]\"");
                ++i;
                if (negated) item.set.flip();
            } else {
                item.set.set(literal());
            }
            items_.push_back(item);
            savesBefore_.emplace_back();
            repeatable = true;
        }
    }
    if (!open.empty()) fail("a missing \")\"");
    savesBefore_.back().push_back(1);
    // An item has a state for each repeat count that matters: up to its maximum, or up to its
    // minimum when it has none (every count beyond behaves the same).
    for (Item& item : items_) {
        item.firstState = stateCount_;
        stateCount_ += (item.max < 0 ? item.min : item.max) + 1;
    }
}

bool RegExp::run(std::string_view text, bool anyMatch, std::vector<std::ptrdiff_t>& best) const {
    // A run that only asks whether there is a match keeps no capture slots: several times faster.
    const size_t n = text.size(), slots = anyMatch ? 0 : 2 * (groupCount_ + 1);
    // The threads at one position in priority order: (item, repeat count) with capture slots.
    struct Threads {
        std::vector<std::pair<size_t, int>> at;
        std::vector<std::ptrdiff_t> caps;
    } current, next;
    std::vector<std::ptrdiff_t> path(slots);
    std::vector<size_t> mark(static_cast<size_t>(stateCount_) + 1, 0);  // position + 1 when seen

    auto save = [&](size_t item, size_t p) {
        if (slots == 0) return;
        for (int s : savesBefore_[item])
            path[static_cast<size_t>(s)] = static_cast<std::ptrdiff_t>(p);
    };
    // Adds the thread at (i, k) with the slots in `path` to the list for position p, and then
    // every state it reaches by leaving items whose minimum count is met; a state a thread of
    // higher priority already reached at p is not added again.
    auto add = [&](Threads& list, size_t i, int k, size_t p) {
        for (;;) {
            const bool end = i == items_.size();
            size_t& seen = mark[end ? static_cast<size_t>(stateCount_)
                                    : static_cast<size_t>(items_[i].firstState + k)];
            if (seen == p + 1) return;
            seen = p + 1;
            if (end || items_[i].max < 0 || k < items_[i].max) {
                if (!end || !anchoredEnd_ || p == n) {
                    list.at.emplace_back(i, k);
                    list.caps.insert(list.caps.end(), path.begin(), path.end());
                }
            }
            if (end || k < items_[i].min) return;
            ++i, k = 0;
            save(i, p);
        }
    };

    bool matched = false;
    for (size_t p = 0; p <= n; ++p) {
        if (!matched && (p == 0 || !anchoredStart_)) {
            // A match starting here ranks below every match that started earlier.
            std::fill(path.begin(), path.end(), -1);
            save(0, p);
            add(current, 0, 0, p);
        }
        if (current.at.empty() && (matched || anchoredStart_)) break;
        next.at.clear(), next.caps.clear();
        for (size_t t = 0; t < current.at.size(); ++t) {
            const auto [i, k] = current.at[t];
            const auto caps = current.caps.begin() + static_cast<std::ptrdiff_t>(t * slots);
            if (i == items_.size()) {
                best.assign(caps, caps + static_cast<std::ptrdiff_t>(slots));
                matched = true;
                if (anyMatch) return true;
                break;  // the threads of lower priority are cut off
            }
            const Item& item = items_[i];
            if (p < n && item.set[static_cast<unsigned char>(text[p])]) {
                std::copy(caps, caps + static_cast<std::ptrdiff_t>(slots), path.begin());
                add(next, i, item.max < 0 ? std::min(k + 1, item.min) : k + 1, p + 1);
            }
        }
        std::swap(current, next);
    }
    return matched;
}

bool RegExp::test(std::string_view text) const {
    std::vector<std::ptrdiff_t> caps;
    return run(text, true, caps);
}

std::optional<RegExp::Match> RegExp::search(std::string_view text) const {
    std::vector<std::ptrdiff_t> caps;
    if (!run(text, false, caps)) return std::nullopt;
    Match m;
    m.groups.resize(groupCount_ + 1);
    for (size_t g = 0; g <= groupCount_; ++g) {
        const std::ptrdiff_t b = caps[2 * g], e = caps[2 * g + 1];
        if (b >= 0 && e >= b)
            m.groups[g] = Match::Span{static_cast<size_t>(b), static_cast<size_t>(e - b)};
    }
    return m;
}

}  // namespace korvex
