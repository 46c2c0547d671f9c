#include "interpret/RegExp.h"

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>

#include "text/Cp1255.h"

namespace korvex {

namespace {

using Inst = RegExp::Inst;
using Op = RegExp::Op;
using CharSet = RegExp::CharSet;

constexpr int kUnbounded = -1;

struct Node {
    enum class Kind { Empty, Char, Class, Any, LineStart, LineEnd, WordB, NotWordB, Group, Concat, Alt, Repeat };
    Kind kind = Kind::Empty;
    unsigned char ch = 0;
    int32_t classIndex = 0;
    int32_t groupIndex = -1;  // Group: capture number, or -1 for (?:...)
    int min = 0, max = 0;     // Repeat
    bool greedy = true;
    std::vector<std::unique_ptr<Node>> children;
};
using NodePtr = std::unique_ptr<Node>;

struct CompileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isWordChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c) || c == '_';
}
int hexValue(unsigned char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

CharSet digitSet() {
    CharSet s;
    for (unsigned char c = '0'; c <= '9'; ++c) s.add(c);
    return s;
}
CharSet wordSet() {
    CharSet s;
    for (int c = 0; c < 256; ++c) {
        if (isWordChar(static_cast<unsigned char>(c))) s.add(static_cast<unsigned char>(c));
    }
    return s;
}
CharSet spaceSet() {
    CharSet s;
    for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) s.add(c);
    s.add(0xA0);  // no-break space of the code page
    return s;
}
CharSet complement(const CharSet& in) {
    CharSet out;
    for (int i = 0; i < 4; ++i) out.bits[i] = ~in.bits[i];
    return out;
}
void addAll(CharSet& into, const CharSet& from) {
    for (int i = 0; i < 4; ++i) into.bits[i] |= from.bits[i];
}

class Parser {
public:
    Parser(std::string_view pattern, std::vector<CharSet>& classes)
        : p_(pattern), classes_(classes) {}

    NodePtr parse() {
        NodePtr root = parseAlternation(0);
        if (pos_ < p_.size()) throw CompileError("unmatched ')' at position " + std::to_string(pos_ + 1));
        return root;
    }
    int groupCount() const { return groups_; }

private:
    bool atEnd() const { return pos_ >= p_.size(); }
    unsigned char peek() const { return static_cast<unsigned char>(p_[pos_]); }

    NodePtr parseAlternation(int depth) {
        if (depth > RegExp::kMaxNesting) throw CompileError("groups nested too deeply");
        NodePtr first = parseConcat(depth);
        if (atEnd() || peek() != '|') return first;
        auto alt = std::make_unique<Node>();
        alt->kind = Node::Kind::Alt;
        alt->children.push_back(std::move(first));
        while (!atEnd() && peek() == '|') {
            ++pos_;
            alt->children.push_back(parseConcat(depth));
        }
        return alt;
    }

    NodePtr parseConcat(int depth) {
        auto cat = std::make_unique<Node>();
        cat->kind = Node::Kind::Concat;
        while (!atEnd() && peek() != '|' && peek() != ')') {
            NodePtr atom = parseAtom(depth);
            cat->children.push_back(parseQuantifiers(std::move(atom)));
        }
        return cat;
    }

    // Reads "{n}", "{n,}" or "{n,m}" at pos_; returns false (pos_ unchanged) when the brace does
    // not form a quantifier, in which case it is a literal "{".
    bool readBraces(int& min, int& max) {
        size_t i = pos_ + 1;
        auto readNumber = [&](int& out) {
            const size_t start = i;
            long long value = 0;
            while (i < p_.size() && isDigit(static_cast<unsigned char>(p_[i]))) {
                if (value <= RegExp::kMaxRepeat) value = value * 10 + (p_[i] - '0');
                ++i;
            }
            if (i == start) return false;
            if (value > RegExp::kMaxRepeat) {
                throw CompileError("repeat count above " + std::to_string(RegExp::kMaxRepeat));
            }
            out = static_cast<int>(value);
            return true;
        };
        if (!readNumber(min)) return false;
        if (i < p_.size() && p_[i] == '}') {
            max = min;
        } else if (i < p_.size() && p_[i] == ',') {
            ++i;
            if (i < p_.size() && p_[i] == '}') {
                max = kUnbounded;
            } else if (!readNumber(max) || i >= p_.size() || p_[i] != '}') {
                return false;
            }
        } else {
            return false;
        }
        if (max != kUnbounded && max < min) throw CompileError("repeat count {n,m} with m below n");
        pos_ = i + 1;
        return true;
    }

    // At most one quantifier (with its lazy mark) follows an atom; "a**" has nothing to repeat.
    NodePtr parseQuantifiers(NodePtr atom) {
        bool quantified = false;
        while (!atEnd()) {
            int min = 0, max = 0;
            const unsigned char c = peek();
            if (c == '*') {
                min = 0, max = kUnbounded, ++pos_;
            } else if (c == '+') {
                min = 1, max = kUnbounded, ++pos_;
            } else if (c == '?') {
                min = 0, max = 1, ++pos_;
            } else if (c == '{') {
                if (!readBraces(min, max)) return atom;
            } else {
                return atom;
            }
            if (quantified) throw CompileError("nothing to repeat at position " + std::to_string(pos_));
            quantified = true;
            auto rep = std::make_unique<Node>();
            rep->kind = Node::Kind::Repeat;
            rep->min = min;
            rep->max = max;
            if (!atEnd() && peek() == '?') {
                rep->greedy = false;
                ++pos_;
            }
            rep->children.push_back(std::move(atom));
            atom = std::move(rep);
        }
        return atom;
    }

    NodePtr makeChar(unsigned char c) {
        auto n = std::make_unique<Node>();
        n->kind = Node::Kind::Char;
        n->ch = c;
        return n;
    }
    NodePtr makeClass(const CharSet& set) {
        auto n = std::make_unique<Node>();
        n->kind = Node::Kind::Class;
        n->classIndex = static_cast<int32_t>(classes_.size());
        classes_.push_back(set);
        return n;
    }
    NodePtr makeKind(Node::Kind kind) {
        auto n = std::make_unique<Node>();
        n->kind = kind;
        return n;
    }

    NodePtr parseAtom(int depth) {
        const unsigned char c = peek();
        switch (c) {
            case '(': {
                ++pos_;
                int groupIndex = -1;
                if (pos_ + 1 < p_.size() && p_[pos_] == '?') {
                    if (p_[pos_ + 1] != ':') throw CompileError("look-ahead groups are not supported");
                    pos_ += 2;
                } else {
                    groupIndex = ++groups_;
                }
                auto g = std::make_unique<Node>();
                g->kind = Node::Kind::Group;
                g->groupIndex = groupIndex;
                g->children.push_back(parseAlternation(depth + 1));
                if (atEnd() || peek() != ')') throw CompileError("missing ')'");
                ++pos_;
                return g;
            }
            case '[':
                return parseClass();
            case '.':
                ++pos_;
                return makeKind(Node::Kind::Any);
            case '^':
                ++pos_;
                return makeKind(Node::Kind::LineStart);
            case '$':
                ++pos_;
                return makeKind(Node::Kind::LineEnd);
            case '*':
            case '+':
            case '?':
                throw CompileError("nothing to repeat at position " + std::to_string(pos_ + 1));
            case '{': {
                int min = 0, max = 0;
                const size_t save = pos_;
                if (readBraces(min, max)) {
                    throw CompileError("nothing to repeat at position " + std::to_string(save + 1));
                }
                ++pos_;
                return makeChar(c);
            }
            case '\\':
                return parseEscape();
            default:
                ++pos_;
                return makeChar(c);
        }
    }

    // An escape outside a class, pos_ at the backslash.
    NodePtr parseEscape() {
        ++pos_;
        if (atEnd()) throw CompileError("pattern ends with '\\'");
        const unsigned char c = peek();
        switch (c) {
            case 'b':
                ++pos_;
                return makeKind(Node::Kind::WordB);
            case 'B':
                ++pos_;
                return makeKind(Node::Kind::NotWordB);
            default: {
                CharSet set;
                bool isSet = false;
                const unsigned char single = readEscapedChar(set, isSet, false);
                return isSet ? makeClass(set) : makeChar(single);
            }
        }
    }

    // Reads the character after a backslash (pos_ at it). A class escape (\d \w \s and their
    // negations) fills `set` and sets isSet; otherwise the escaped character is returned.
    unsigned char readEscapedChar(CharSet& set, bool& isSet, bool inClass) {
        const unsigned char c = peek();
        ++pos_;
        isSet = false;
        switch (c) {
            case 'd': isSet = true; set = digitSet(); return 0;
            case 'D': isSet = true; set = complement(digitSet()); return 0;
            case 'w': isSet = true; set = wordSet(); return 0;
            case 'W': isSet = true; set = complement(wordSet()); return 0;
            case 's': isSet = true; set = spaceSet(); return 0;
            case 'S': isSet = true; set = complement(spaceSet()); return 0;
            case 'n': return '\n';
            case 'r': return '\r';
            case 't': return '\t';
            case 'f': return '\f';
            case 'v': return '\v';
            case 'b':
                if (inClass) return '\b';
                break;
            case '0': {
                // "\0" is NUL; octal digits after it make an octal escape.
                int value = 0, count = 0;
                while (count < 2 && !atEnd() && peek() >= '0' && peek() <= '7') {
                    value = value * 8 + (peek() - '0');
                    ++pos_, ++count;
                }
                return static_cast<unsigned char>(value);
            }
            case 'x': {
                if (pos_ + 1 < p_.size() && hexValue(static_cast<unsigned char>(p_[pos_])) >= 0 &&
                    hexValue(static_cast<unsigned char>(p_[pos_ + 1])) >= 0) {
                    const int v = hexValue(static_cast<unsigned char>(p_[pos_])) * 16 +
                                  hexValue(static_cast<unsigned char>(p_[pos_ + 1]));
                    pos_ += 2;
                    return static_cast<unsigned char>(v);
                }
                return 'x';
            }
            case 'u': {
                if (pos_ + 3 < p_.size()) {
                    int v = 0;
                    bool good = true;
                    for (size_t k = 0; k < 4; ++k) {
                        const int h = hexValue(static_cast<unsigned char>(p_[pos_ + k]));
                        if (h < 0) good = false;
                        v = v * 16 + (h < 0 ? 0 : h);
                    }
                    if (good) {
                        pos_ += 4;
                        return static_cast<unsigned char>(cp1255::fromUnicode(static_cast<char32_t>(v)));
                    }
                }
                return 'u';
            }
            case 'c': {
                if (!atEnd() && ((peek() >= 'a' && peek() <= 'z') || (peek() >= 'A' && peek() <= 'Z'))) {
                    const unsigned char letter = peek();
                    ++pos_;
                    return static_cast<unsigned char>(letter % 32);
                }
                --pos_;  // a lone "\c" stands for the backslash itself
                return '\\';
            }
            default:
                break;
        }
        if (c >= '1' && c <= '9') throw CompileError("back references are not supported");
        return c;
    }

    NodePtr parseClass() {
        ++pos_;  // '['
        bool negate = false;
        if (!atEnd() && peek() == '^') {
            negate = true;
            ++pos_;
        }
        CharSet set;
        while (true) {
            if (atEnd()) throw CompileError("missing ']'");
            if (peek() == ']') {
                ++pos_;
                break;
            }
            CharSet itemSet;
            bool itemIsSet = false;
            unsigned char lo = readClassItem(itemSet, itemIsSet);
            if (itemIsSet) {
                addAll(set, itemSet);
                continue;
            }
            if (pos_ + 1 < p_.size() && peek() == '-' && p_[pos_ + 1] != ']') {
                ++pos_;  // '-'
                CharSet hiSet;
                bool hiIsSet = false;
                const unsigned char hi = readClassItem(hiSet, hiIsSet);
                if (hiIsSet) {
                    // "[a-\d]": the dash is literal.
                    set.add(lo);
                    set.add('-');
                    addAll(set, hiSet);
                    continue;
                }
                if (hi < lo) throw CompileError("class range out of order");
                for (int ch = lo; ch <= hi; ++ch) set.add(static_cast<unsigned char>(ch));
                continue;
            }
            set.add(lo);
        }
        return makeClass(negate ? complement(set) : set);
    }

    unsigned char readClassItem(CharSet& set, bool& isSet) {
        isSet = false;
        const unsigned char c = peek();
        if (c == '\\') {
            ++pos_;
            if (atEnd()) throw CompileError("pattern ends with '\\'");
            return readEscapedChar(set, isSet, true);
        }
        ++pos_;
        return c;
    }

    std::string_view p_;
    size_t pos_ = 0;
    int groups_ = 0;
    std::vector<CharSet>& classes_;
};

class CodeGen {
public:
    explicit CodeGen(std::vector<Inst>& program) : prog_(program) {}

    void emit(const Node& node, int depth) {
        if (depth > 4 * RegExp::kMaxNesting) throw CompileError("pattern nested too deeply");
        switch (node.kind) {
            case Node::Kind::Empty:
                break;
            case Node::Kind::Char:
                push({Op::Char, node.ch, 0, 0});
                break;
            case Node::Kind::Class:
                push({Op::Class, 0, node.classIndex, 0});
                break;
            case Node::Kind::Any:
                push({Op::Any, 0, 0, 0});
                break;
            case Node::Kind::LineStart:
                push({Op::LineStart, 0, 0, 0});
                break;
            case Node::Kind::LineEnd:
                push({Op::LineEnd, 0, 0, 0});
                break;
            case Node::Kind::WordB:
                push({Op::WordBoundary, 0, 0, 0});
                break;
            case Node::Kind::NotWordB:
                push({Op::NotWordBoundary, 0, 0, 0});
                break;
            case Node::Kind::Group:
                if (node.groupIndex >= 0) push({Op::Save, 0, 2 * node.groupIndex, 0});
                emit(*node.children[0], depth + 1);
                if (node.groupIndex >= 0) push({Op::Save, 0, 2 * node.groupIndex + 1, 0});
                break;
            case Node::Kind::Concat:
                for (const auto& child : node.children) emit(*child, depth + 1);
                break;
            case Node::Kind::Alt:
                emitAlternation(node, 0, depth + 1);
                break;
            case Node::Kind::Repeat:
                emitRepeat(node, depth + 1);
                break;
        }
    }

private:
    int32_t here() const { return static_cast<int32_t>(prog_.size()); }
    int32_t push(Inst inst) {
        if (prog_.size() >= RegExp::kMaxProgramSize) throw CompileError("pattern too large");
        prog_.push_back(inst);
        return here() - 1;
    }
    // A split whose preferred branch is the next instruction or `other`, by greediness.
    void setSplit(int32_t at, int32_t taken, int32_t skipped, bool greedy) {
        prog_[static_cast<size_t>(at)].x = greedy ? taken : skipped;
        prog_[static_cast<size_t>(at)].y = greedy ? skipped : taken;
    }

    void emitAlternation(const Node& node, size_t index, int depth) {
        if (index + 1 == node.children.size()) {
            emit(*node.children[index], depth);
            return;
        }
        const int32_t split = push({Op::Split, 0, 0, 0});
        emit(*node.children[index], depth);
        const int32_t jump = push({Op::Jmp, 0, 0, 0});
        const int32_t second = here();
        emitAlternation(node, index + 1, depth + 1);
        setSplit(split, split + 1, second, true);
        prog_[static_cast<size_t>(jump)].x = here();
    }

    void emitRepeat(const Node& node, int depth) {
        const Node& body = *node.children[0];
        for (int i = 0; i < node.min; ++i) emit(body, depth);
        if (node.max == kUnbounded) {
            const int32_t split = push({Op::Split, 0, 0, 0});
            emit(body, depth);
            push({Op::Jmp, 0, split, 0});
            setSplit(split, split + 1, here(), node.greedy);
            return;
        }
        std::vector<int32_t> splits;
        for (int i = node.min; i < node.max; ++i) {
            splits.push_back(push({Op::Split, 0, 0, 0}));
            emit(body, depth);
        }
        for (int32_t s : splits) setSplit(s, s + 1, here(), node.greedy);
    }

    std::vector<Inst>& prog_;
};

// Whether every match must begin at the start of the text: the pattern's top level is a
// sequence whose first element is "^".
bool startsAnchored(const Node& root) {
    const Node* n = &root;
    while (n->kind == Node::Kind::Concat || (n->kind == Node::Kind::Group)) {
        if (n->children.empty()) return false;
        n = n->children[0].get();
    }
    return n->kind == Node::Kind::LineStart;
}

// The thread lists of the Pike VM: program counters in priority order, each with its capture
// slots (none in a run that only asks whether there is a match).
class ThreadList {
public:
    void reset(size_t programSize, size_t slots) {
        slots_ = slots;
        pcs_.clear();
        caps_.clear();
        pcs_.reserve(programSize);
        caps_.reserve(programSize * slots);
    }
    void clear() {
        pcs_.clear();
        caps_.clear();
    }
    // Adds a thread with a copy of `caps`; returns its slots for the caller to update.
    std::ptrdiff_t* add(int32_t pc, const std::ptrdiff_t* caps) {
        pcs_.push_back(pc);
        const size_t at = caps_.size();
        caps_.insert(caps_.end(), caps, caps + slots_);
        return caps_.data() + at;
    }
    size_t size() const { return pcs_.size(); }
    bool empty() const { return pcs_.empty(); }
    int32_t pc(size_t i) const { return pcs_[i]; }
    const std::ptrdiff_t* caps(size_t i) const { return caps_.data() + i * slots_; }

private:
    size_t slots_ = 0;
    std::vector<int32_t> pcs_;
    std::vector<std::ptrdiff_t> caps_;
};

// What the empty transitions from one instruction reach at a position of a given kind: the
// consuming (or matching) instructions in priority order, each with the capture slots set on
// the way there (all to the current position). Computed once per instruction and kind of
// position, so a step of the VM only walks short precomputed lists.
struct Closure {
    struct Entry {
        int32_t pc;
        uint32_t savesBegin, savesEnd;  // range in `saves`
    };
    std::vector<Entry> entries;
    std::vector<int32_t> saves;
};

// The kind of a position as the assertions see it.
enum ContextBits : unsigned {
    kAtStart = 1,
    kAtEnd = 2,
    kAfterWord = 4,
    kBeforeWord = 8,
    kContextCount = 16,
};

class Vm {
public:
    Vm(const std::vector<Inst>& program, const std::vector<CharSet>& classes, size_t slots,
       bool wordAssertions, std::string_view text)
        : prog_(program),
          classes_(classes),
          slots_(slots),
          wordAssertions_(wordAssertions),
          text_(text),
          marks_(program.size(), 0),
          closureIndex_(program.size() * kContextCount, -1),
          visited_(program.size(), 0) {
        clist_.reset(program.size(), slots);
        nlist_.reset(program.size(), slots);
    }

    // Whether there is any match, by a lazily built DFA whose states are the sets of threads a
    // capture-free run would hold: one table lookup per character once a state is known. Only
    // for patterns without word assertions (a middle position is then always of one kind);
    // returns nullopt when the pattern has them or the DFA grows too large, and the caller runs
    // the VM instead.
    std::optional<bool> dfaTest(bool anchored) {
        if (wordAssertions_) return std::nullopt;
        constexpr size_t kMaxStates = 2000;
        struct State {
            std::vector<int32_t> pcs;
            bool match = false;
            std::array<int32_t, 256> next;
        };
        std::vector<State> states;
        std::map<std::vector<int32_t>, int32_t> ids;
        const Inst* prog = prog_.data();
        // The set the threads `from` reach after consuming c, at a position of kind ctx, with a
        // new start thread when the search is not anchored.
        auto step = [&](const std::vector<int32_t>& from, int c, unsigned ctx, bool seed) {
            std::vector<int32_t> to;
            auto addClosure = [&](int32_t pc) {
                for (const Closure::Entry& e : closureOf(pc, ctx).entries) to.push_back(e.pc);
            };
            for (int32_t pc : from) {
                const Inst& inst = prog[pc];
                const auto uc = static_cast<unsigned char>(c);
                const bool advance = (inst.op == Op::Char && inst.ch == uc) ||
                                     (inst.op == Op::Class && classes_[static_cast<size_t>(inst.x)].has(uc)) ||
                                     (inst.op == Op::Any && uc != '\n');
                if (advance) addClosure(pc + 1);
            }
            if (seed) addClosure(0);
            std::sort(to.begin(), to.end());
            to.erase(std::unique(to.begin(), to.end()), to.end());
            return to;
        };
        auto intern = [&](std::vector<int32_t> pcs) -> int32_t {
            const auto found = ids.find(pcs);
            if (found != ids.end()) return found->second;
            State st;
            st.next.fill(-1);
            for (int32_t pc : pcs) st.match = st.match || prog[pc].op == Op::Match;
            st.pcs = pcs;
            states.push_back(std::move(st));
            const auto id = static_cast<int32_t>(states.size() - 1);
            ids.emplace(std::move(pcs), id);
            return id;
        };

        const size_t n = text_.size();
        std::vector<int32_t> startPcs;
        for (const Closure::Entry& e : closureOf(0, contextAt(0)).entries) startPcs.push_back(e.pc);
        std::sort(startPcs.begin(), startPcs.end());
        startPcs.erase(std::unique(startPcs.begin(), startPcs.end()), startPcs.end());
        int32_t current = intern(std::move(startPcs));
        for (size_t p = 0; p < n; ++p) {
            if (states[static_cast<size_t>(current)].match) return true;
            if (anchored && states[static_cast<size_t>(current)].pcs.empty()) return false;
            const auto c = static_cast<unsigned char>(text_[p]);
            if (p + 1 == n) {
                // The last position is of its own kind ("$" holds there): not cached.
                const std::vector<int32_t> last =
                    step(states[static_cast<size_t>(current)].pcs, c, kAtEnd, !anchored);
                for (int32_t pc : last) {
                    if (prog[pc].op == Op::Match) return true;
                }
                return false;
            }
            int32_t next = states[static_cast<size_t>(current)].next[c];
            if (next < 0) {
                if (states.size() >= kMaxStates) return std::nullopt;
                next = intern(step(states[static_cast<size_t>(current)].pcs, c, 0, !anchored));
                states[static_cast<size_t>(current)].next[c] = next;
            }
            current = next;
        }
        return states[static_cast<size_t>(current)].match;
    }

    // Leftmost-first search; fills `best` (the capture slots) and returns true on a match.
    bool run(bool anchored, std::vector<std::ptrdiff_t>& best) {
        const size_t n = text_.size();
        std::vector<std::ptrdiff_t> seed(slots_, -1);
        bool matched = false;
        for (size_t p = 0;; ++p) {
            if (!matched && (p == 0 || !anchored)) addThreads(clist_, 0, seed.data(), p);
            if (clist_.empty()) {
                if (matched || anchored || p >= n) break;
                continue;
            }
            nlist_.clear();
            const unsigned char c = p < n ? static_cast<unsigned char>(text_[p]) : 0;
            for (size_t i = 0; i < clist_.size(); ++i) {
                const Inst& inst = prog_[static_cast<size_t>(clist_.pc(i))];
                bool advance = false;
                switch (inst.op) {
                    case Op::Match:
                        matched = true;
                        best.assign(clist_.caps(i), clist_.caps(i) + slots_);
                        i = clist_.size();  // lower-priority threads are cut off
                        continue;
                    case Op::Char:
                        advance = p < n && c == inst.ch;
                        break;
                    case Op::Class:
                        advance = p < n && classes_[static_cast<size_t>(inst.x)].has(c);
                        break;
                    case Op::Any:
                        advance = p < n && c != '\n';
                        break;
                    default:
                        break;
                }
                if (advance) addThreads(nlist_, clist_.pc(i) + 1, clist_.caps(i), p + 1);
            }
            std::swap(clist_, nlist_);
            if (p >= n) break;
        }
        return matched;
    }

private:
    bool wordAt(size_t p) const {
        return p < text_.size() && isWordChar(static_cast<unsigned char>(text_[p]));
    }
    unsigned contextAt(size_t p) const {
        unsigned ctx = (p == 0 ? kAtStart : 0u) | (p == text_.size() ? kAtEnd : 0u);
        if (wordAssertions_) {
            if (p > 0 && wordAt(p - 1)) ctx |= kAfterWord;
            if (wordAt(p)) ctx |= kBeforeWord;
        }
        return ctx;
    }

    // Adds the threads that pc0 reaches at position p to the list, skipping instructions a
    // higher-priority thread already reached at this position.
    void addThreads(ThreadList& list, int32_t pc0, const std::ptrdiff_t* caps, size_t p) {
        const uint64_t generation = static_cast<uint64_t>(p) + 1;
        const Closure& closure = closureOf(pc0, contextAt(p));
        for (const Closure::Entry& e : closure.entries) {
            uint64_t& mark = marks_[static_cast<size_t>(e.pc)];
            if (mark == generation) continue;
            mark = generation;
            std::ptrdiff_t* added = list.add(e.pc, caps);
            if (slots_ == 0) continue;
            for (uint32_t k = e.savesBegin; k < e.savesEnd; ++k) {
                added[static_cast<size_t>(closure.saves[k])] = static_cast<std::ptrdiff_t>(p);
            }
        }
    }

    const Closure& closureOf(int32_t pc0, unsigned ctx) {
        int32_t& index = closureIndex_[static_cast<size_t>(pc0) * kContextCount + ctx];
        if (index >= 0) return closures_[static_cast<size_t>(index)];
        index = static_cast<int32_t>(closures_.size());
        // A deque keeps earlier closures in place while later ones are added.
        Closure& closure = closures_.emplace_back();
        // Depth-first in priority order with an explicit stack; a path remembers the save
        // instructions it passed as a chain of (slot, parent) links.
        struct Frame {
            int32_t pc;
            int32_t path;  // index into links, -1 for none
        };
        struct Link {
            int32_t slot, parent;
        };
        std::vector<Frame> stack{{pc0, -1}};
        std::vector<Link> links;
        ++stamp_;
        while (!stack.empty()) {
            const Frame f = stack.back();
            stack.pop_back();
            if (visited_[static_cast<size_t>(f.pc)] == stamp_) continue;
            visited_[static_cast<size_t>(f.pc)] = stamp_;
            const Inst& inst = prog_[static_cast<size_t>(f.pc)];
            auto next = [&](bool condition) {
                if (condition) stack.push_back({f.pc + 1, f.path});
            };
            switch (inst.op) {
                case Op::Jmp:
                    stack.push_back({inst.x, f.path});
                    break;
                case Op::Split:
                    stack.push_back({inst.y, f.path});
                    stack.push_back({inst.x, f.path});
                    break;
                case Op::Save:
                    links.push_back({inst.x, f.path});
                    stack.push_back({f.pc + 1, static_cast<int32_t>(links.size() - 1)});
                    break;
                case Op::LineStart:
                    next((ctx & kAtStart) != 0);
                    break;
                case Op::LineEnd:
                    next((ctx & kAtEnd) != 0);
                    break;
                case Op::WordBoundary:
                    next(((ctx & kAfterWord) != 0) != ((ctx & kBeforeWord) != 0));
                    break;
                case Op::NotWordBoundary:
                    next(((ctx & kAfterWord) != 0) == ((ctx & kBeforeWord) != 0));
                    break;
                default: {
                    Closure::Entry e{f.pc, static_cast<uint32_t>(closure.saves.size()), 0};
                    for (int32_t l = f.path; l >= 0; l = links[static_cast<size_t>(l)].parent) {
                        closure.saves.push_back(links[static_cast<size_t>(l)].slot);
                    }
                    e.savesEnd = static_cast<uint32_t>(closure.saves.size());
                    closure.entries.push_back(e);
                    break;
                }
            }
        }
        return closure;
    }

    const std::vector<Inst>& prog_;
    const std::vector<CharSet>& classes_;
    size_t slots_;
    bool wordAssertions_;
    std::string_view text_;
    std::vector<uint64_t> marks_;
    std::vector<int32_t> closureIndex_;  // per instruction and context, into closures_
    std::deque<Closure> closures_;
    std::vector<uint64_t> visited_;
    uint64_t stamp_ = 0;
    ThreadList clist_, nlist_;
};

}  // namespace

std::string_view RegExp::Match::group(size_t n, std::string_view text) const {
    if (n >= groups.size() || !groups[n]) return {};
    return text.substr(groups[n]->position, groups[n]->length);
}

RegExp::RegExp(std::string_view pattern) : pattern_(pattern) {
    try {
        Parser parser(pattern, classes_);
        NodePtr root = parser.parse();
        groupCount_ = static_cast<size_t>(parser.groupCount());
        anchoredStart_ = startsAnchored(*root);
        CodeGen gen(program_);
        program_.push_back({Op::Save, 0, 0, 0});
        gen.emit(*root, 0);
        program_.push_back({Op::Save, 0, 1, 0});
        program_.push_back({Op::Match, 0, 0, 0});
        for (const Inst& inst : program_) {
            if (inst.op == Op::WordBoundary || inst.op == Op::NotWordBoundary) wordAssertions_ = true;
        }
    } catch (const CompileError& e) {
        error_ = e.what();
    } catch (const std::bad_alloc&) {
        error_ = "out of memory compiling the pattern";
    }
    if (!error_.empty()) {
        program_.clear();
        classes_.clear();
        groupCount_ = 0;
    }
}

bool RegExp::test(std::string_view text) const {
    if (!ok()) return false;
    Vm vm(program_, classes_, 0, wordAssertions_, text);
    if (const std::optional<bool> answer = vm.dfaTest(anchoredStart_)) return *answer;
    std::vector<std::ptrdiff_t> none;
    return vm.run(anchoredStart_, none);
}

std::optional<RegExp::Match> RegExp::search(std::string_view text) const {
    // Most lines do not match; finding that out without tracking captures is several times
    // faster, so the run with captures is made only for a line that does match.
    if (!test(text)) return std::nullopt;
    const size_t slots = 2 * (groupCount_ + 1);
    std::vector<std::ptrdiff_t> caps;
    Vm vm(program_, classes_, slots, wordAssertions_, text);
    if (!vm.run(anchoredStart_, caps)) return std::nullopt;
    Match m;
    m.groups.resize(groupCount_ + 1);
    for (size_t g = 0; g <= groupCount_; ++g) {
        const std::ptrdiff_t b = caps[2 * g], e = caps[2 * g + 1];
        if (b >= 0 && e >= b) {
            m.groups[g] = Match::Span{static_cast<size_t>(b), static_cast<size_t>(e - b)};
        }
    }
    return m;
}

std::string RegExp::replace(std::string_view text, std::string_view replacement) const {
    const std::optional<Match> m = search(text);
    if (!m) return std::string(text);
    const size_t start = m->position(), end = m->position() + m->length();
    std::string out(text.substr(0, start));
    for (size_t i = 0; i < replacement.size(); ++i) {
        const char c = replacement[i];
        if (c != '$' || i + 1 >= replacement.size()) {
            out += c;
            continue;
        }
        const char next = replacement[i + 1];
        if (next == '$') {
            out += '$';
            ++i;
        } else if (next == '&') {
            out.append(text.substr(start, end - start));
            ++i;
        } else if (next == '`') {
            out.append(text.substr(0, start));
            ++i;
        } else if (next == '\'') {
            out.append(text.substr(end));
            ++i;
        } else if (isDigit(static_cast<unsigned char>(next))) {
            // Two digits when they name a group, else one digit when it does.
            size_t number = static_cast<size_t>(next - '0');
            size_t used = 1;
            if (i + 2 < replacement.size() && isDigit(static_cast<unsigned char>(replacement[i + 2]))) {
                const size_t two = number * 10 + static_cast<size_t>(replacement[i + 2] - '0');
                if (two >= 1 && two <= groupCount_) {
                    number = two;
                    used = 2;
                }
            }
            if (number >= 1 && number <= groupCount_) {
                out.append(m->group(number, text));
                i += used;
            } else {
                out += c;
            }
        } else {
            out += c;
        }
    }
    out.append(text.substr(end));
    return out;
}

}  // namespace korvex
