#include "interpret/RegExp.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
// The standard engine serves as the reference on short lines. GCC 12 warns falsely inside its
// header when optimising with sanitizers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop
#include <string>
#include <vector>

#include "interpret/MicrRecognition.h"

namespace korvex {
namespace {

using namespace std::string_literals;

struct SearchCase {
    std::string pattern;
    std::string text;
    bool matches;
    std::string whole;                // group 0 when it matches
    std::vector<std::string> groups;  // groups 1.. when it matches ("<unset>" for no span)
};

std::string groupText(const RegExp::Match& m, size_t n, const std::string& text) {
    if (!m.groups[n]) return "<unset>";
    return std::string(m.group(n, text));
}

TEST(RegExpTest, SearchesWithScriptingSemantics) {
    const std::vector<SearchCase> cases = {
        {"abc", "xxabcxx", true, "abc", {}},
        {"^abc", "xxabc", false, "", {}},
        {"abc$", "abcx", false, "", {}},
        {"abc$", "xabc", true, "abc", {}},
        {"a$", "a\n", false, "", {}},  // "$" is the end of the whole text
        {"^$", "", true, "", {}},
        {"a.c", "a\nc", false, "", {}},  // "." stops at a line feed
        {"a.c", "a\rc", true, "a\rc", {}},
        {"a.c", "a\0c"s, true, "a\0c"s, {}},
        {"[a-c]+", "xxbcaz", true, "bca", {}},
        {"[^a-c]+", "abxyc", true, "xy", {}},
        {"[-a]+", "-a-b", true, "-a-", {}},
        {"[a-]+", "a-a", true, "a-a", {}},
        {"[0-9]{2,3}", "a1234", true, "123", {}},
        {"[0-9]{2,}", "a12345b", true, "12345", {}},
        {"[0-9]{2}", "a1b23", true, "23", {}},
        {"x{0,1}y", "xxy", true, "xy", {}},
        {"x?y", "xxy", true, "xy", {}},
        {"(a+)(a*)", "aaa", true, "aaa", {"aaa", ""}},
        {"(a?)(ab)", "ab", true, "ab", {"", "ab"}},  // the greedy choice gives way
        {"([0-9]*)([0-9]{2})", "12345", true, "12345", {"123", "45"}},
        {"([0-9]+)-([0-9]+)", "tel 03-555", true, "03-555", {"03", "555"}},
        {"(a(b)c)d", "xabcd", true, "abcd", {"abc", "b"}},
        {"\\0", "a\0b"s, true, "\0"s, {}},
        {"[\\0a]+", "b\0a\0c"s, true, "\0a\0"s, {}},
        {"\\.\\*\\?", "a.*?b", true, ".*?", {}},
        {"\xE0+", "x\xE0\xE0y", true, "\xE0\xE0", {}},  // high bytes are ordinary characters
        {"[\x80-\xFF]+", "ab\x80\xFF\x01", true, "\x80\xFF", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("pattern " + c.pattern + " on \"" + c.text + "\"");
        const RegExp re(c.pattern);
        const auto m = re.search(c.text);
        ASSERT_EQ(m.has_value(), c.matches);
        EXPECT_EQ(re.test(c.text), c.matches);
        if (!m) continue;
        EXPECT_EQ(m->group(0, c.text), c.whole);
        ASSERT_EQ(m->groups.size(), c.groups.size() + 1);
        for (size_t g = 0; g < c.groups.size(); ++g) {
            EXPECT_EQ(groupText(*m, g + 1, c.text), c.groups[g]) << "group " << g + 1;
        }
    }
}

// Syntax beyond what the reader's patterns use is refused, not misread.
TEST(RegExpTest, RefusesSyntaxItDoesNotKnow) {
    for (const std::string pattern :
         {"(",   "a)",  "[a",  "a{3,2}", "*a",      "a**", "a*?",     "(a)*", "(?:a)", "a|b",
          "\\d", "\\1", "a\\", "[z-a]",  "a{1001}", "{2}", "a{2}{3}", "a{2",  "a^",    "$a"}) {
        EXPECT_THROW((void)RegExp(pattern), std::invalid_argument) << pattern;
    }
}

// The reader's four patterns against the standard library's ECMAScript engine on many short
// random lines (short, so std::regex is safe): whether they match and every capture agree.
TEST(RegExpTest, AgreesWithStdRegexOnTheReaderPatternsForShortLines) {
    const std::vector<std::string> patterns = {
        std::string(kMagtekChequePattern), std::string(kUsChequePattern),
        std::string(kNonusClassifyPattern), std::string(kNonusExtractPattern)};
    const std::string alphabet = "AACCEE??0123456789  TU-:;<>@_B\0"s;
    std::mt19937 rng(12345);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> lengthOf(0, 30);
    for (const auto& pattern : patterns) {
        const RegExp ours(pattern);
        const std::regex theirs(pattern, std::regex::ECMAScript);
        ASSERT_EQ(ours.groupCount(), theirs.mark_count()) << pattern;
        int matchedCount = 0;
        for (int round = 0; round < 3000; ++round) {
            std::string line;
            // Every third line is built from a cheque-shaped skeleton so that matches occur.
            if (round % 3 == 0) {
                if (pattern == kMagtekChequePattern) {
                    line = "A12 C34A567E 89A";
                } else if (pattern == kUsChequePattern) {
                    line = "0123-456 789T012U345";
                } else {
                    line = ":12<34:567>89<";
                }
                for (char& ch : line) {
                    if (pick(rng) % 6 == 0) ch = alphabet[pick(rng)];
                }
            } else {
                const int n = lengthOf(rng);
                for (int k = 0; k < n; ++k) line += alphabet[pick(rng)];
            }
            std::smatch sm;
            const bool stdMatched = std::regex_search(line, sm, theirs);
            const auto m = ours.search(line);
            ASSERT_EQ(m.has_value(), stdMatched) << pattern << " on \"" << line << "\"";
            ASSERT_EQ(ours.test(line), stdMatched) << pattern << " on \"" << line << "\"";
            if (!m) continue;
            ++matchedCount;
            for (size_t g = 0; g <= ours.groupCount(); ++g) {
                ASSERT_EQ(m->groups[g].has_value(), sm[static_cast<int>(g)].matched)
                    << pattern << " on \"" << line << "\" group " << g;
                if (m->groups[g]) {
                    EXPECT_EQ(m->groups[g]->position,
                              static_cast<size_t>(sm.position(static_cast<int>(g))));
                    EXPECT_EQ(std::string(m->group(g, line)), sm.str(static_cast<int>(g)))
                        << pattern << " on \"" << line << "\" group " << g;
                }
            }
        }
        EXPECT_GT(matchedCount, 50) << pattern;  // the comparison did exercise matches
    }
}

// A megabyte of anything the reader might send: the engine answers, correctly, without
// exhausting the stack (std::regex would recurse once per character here).
TEST(RegExpTest, LongBinaryAndNulInputIsSafe) {
    constexpr size_t kMiB = 1024 * 1024;
    std::mt19937 rng(7);
    std::string noise(kMiB, '\0');
    for (char& c : noise) c = static_cast<char>(rng() & 0xFF);

    const RegExp magtek{std::string(kMagtekChequePattern)};
    const RegExp us{std::string(kUsChequePattern)};
    const RegExp nonus{std::string(kNonusClassifyPattern)};

    // Noise that starts with something else than "A" or "?" is never a Magtek line.
    noise[0] = 'x';
    EXPECT_FALSE(magtek.test(noise));
    EXPECT_FALSE(us.test(noise));

    // A megabyte of digits inside a valid Magtek line: the unbounded group takes it all.
    std::string longCheque = "A" + std::string(kMiB, '7') + "C12A456E789A";
    const auto m = magtek.search(longCheque);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->groups[1]->length, kMiB);
    EXPECT_EQ(m->group(2, longCheque), "12");
    EXPECT_EQ(m->group(4, longCheque), "789");

    // A megabyte of question marks keeps every thread of the Magtek pattern alive at once.
    EXPECT_TRUE(magtek.test("A" + std::string(kMiB, '?') + "C"));
    EXPECT_TRUE(us.test(std::string(kMiB, '?')));
    EXPECT_FALSE(us.test(std::string(kMiB, '?') + "x"));

    // A megabyte of NUL characters: the NUL of the Nonus class is a character like any other.
    std::string nuls(kMiB, '\0');
    EXPECT_FALSE(nonus.test(nuls));
    nuls.replace(kMiB / 2, 14,
                 "\0"
                 "12<34:5>6<"s);
    const auto nm = nonus.search(nuls);
    ASSERT_TRUE(nm.has_value());
    EXPECT_EQ(nm->group(2, nuls), "34");

    // The unanchored Nonus pattern tried at every position of a megabyte of noise.
    EXPECT_FALSE(nonus.test(noise.substr(0, kMiB / 2) + std::string(kMiB / 2, 'q')));
}

}  // namespace
}  // namespace korvex
