#include "interpret/RegExp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
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
        {"^$", "", true, "", {}},
        {"a.c", "a\nc", false, "", {}},  // "." stops at a line feed
        {"a.c", "a\rc", true, "a\rc", {}},
        {"a.c", "a\0c"s, true, "a\0c"s, {}},
        {"[a-c]+", "xxbcaz", true, "bca", {}},
        {"[^a-c]+", "abxyc", true, "xy", {}},
        {"[]a]", "]", false, "", {}},  // an empty class matches nothing, then "a]" follows
        {"[-a]+", "-a-b", true, "-a-", {}},
        {"[a-]+", "a-a", true, "a-a", {}},
        {"\\d{2,3}", "a1234", true, "123", {}},
        {"\\d{2,}", "a12345b", true, "12345", {}},
        {"\\d{2}", "a1b23", true, "23", {}},
        {"x{0,1}y", "xxy", true, "xy", {}},
        {"a{,2}", "a{,2}", true, "a{,2}", {}},  // not a quantifier: literal braces
        {"\\w+\\s\\W", "  ab_9 !", true, "ab_9 !", {}},
        {"\\D\\S", "12a-", true, "a-", {}},
        {"\\bab\\b", "cab ab", true, "ab", {}},
        {"\\Bb", "ab b", true, "b", {}},
        {"(a)|(b)", "b", true, "b", {"<unset>", "b"}},
        {"(a+)(a*)", "aaa", true, "aaa", {"aaa", ""}},
        {"(a+?)(a*)", "aaa", true, "aaa", {"a", "aa"}},
        {"(a*?)b", "aab", true, "aab", {"aa"}},
        {"(a|ab)(c|bcd)", "abcd", true, "abcd", {"a", "bcd"}},  // first alternative wins
        {"(ab|a)(c|bcd)", "abcd", true, "abc", {"ab", "c"}},
        {"(?:ab)+(c)", "ababc", true, "ababc", {"c"}},
        {"(\\d+)-(\\d+)", "tel 03-555", true, "03-555", {"03", "555"}},
        {"\\x41\\u05D0", "A\xE0", true, "A\xE0", {}},  // \u maps to the Hebrew code page
        {"\\0", "a\0b"s, true, "\0"s, {}},
        {"\\011", "a\tb", true, "\t", {}},  // octal escape
        {"\\cJ", "a\nb", true, "\n", {}},
        {"\\.\\*\\?", "a.*?b", true, ".*?", {}},
        {"[\\d.]+", "x1.5y", true, "1.5", {}},
        {"[\\b]", "a\bb", true, "\b", {}},
        {"(a*)*b", "aaaab", true, "aaaab", {"aaaa"}},  // an empty-matching loop terminates
        {"(a*)+$", "aaa", true, "aaa", {"aaa"}},
        {"\xE0+", "x\xE0\xE0y", true, "\xE0\xE0", {}},  // high bytes are ordinary characters
        {"[\x80-\xFF]+", "ab\x80\xFF\x01", true, "\x80\xFF", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("pattern " + c.pattern + " on \"" + c.text + "\"");
        const RegExp re(c.pattern);
        ASSERT_TRUE(re.ok()) << re.error();
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

TEST(RegExpTest, ReplacesTheFirstMatchOnly) {
    struct Case {
        std::string pattern, text, replacement, expected;
    };
    const std::vector<Case> cases = {
        {"b", "abcb", "X", "aXcb"},
        {"(\\d)(\\d)", "a12b34", "$2$1", "a21b34"},
        {"(\\d)", "a1b", "[$&|$`|$']", "a[1|a|b]b"},
        {"x", "axb", "$$", "a$b"},
        {"(x)", "axb", "$2$0$", "a$2$0$b"},  // unknown groups stay as written
        {"(x)|(y)", "ay", "<$1>", "a<>"},      // a group without a span gives ""
        {"z", "abc", "$1", "abc"},             // no match: unchanged
        {"^", "abc", "-", "-abc"},             // an empty match inserts
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "abcdefghijk", "$11$10$1", "kja"},
        {"(a)", "ab", "$10", "a0b"},  // only one group: "$1" then "0"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern + " / " + c.replacement);
        const RegExp re(c.pattern);
        ASSERT_TRUE(re.ok()) << re.error();
        EXPECT_EQ(re.replace(c.text, c.replacement), c.expected);
    }
}

TEST(RegExpTest, RejectsWhatItCannotCompile) {
    const std::vector<std::string> bad = {
        "(",       "a)",       "[a",        "a{3,2}",       "*a",    "a**", "+",
        "\\1",     "(a)\\1",   "(?=a)",     "(?!a)",        "a\\",   "[z-a]",
        "a{1001}", "{2}",      "a{2}{3}", "a?*",      std::string(150, '(') + std::string(150, ')'),
        "(a{1000}){1000}",  // within the repeat limit, far beyond the program limit
    };
    for (const auto& pattern : bad) {
        SCOPED_TRACE(pattern.substr(0, 40));
        const RegExp re(pattern);
        EXPECT_FALSE(re.ok());
        EXPECT_FALSE(re.error().empty());
        EXPECT_FALSE(re.test("a"));
        EXPECT_FALSE(re.test(""));
        EXPECT_EQ(re.replace("abc", "X"), "abc");
    }
}

TEST(RegExpTest, CountsItsGroups) {
    EXPECT_EQ(RegExp("a").groupCount(), 0u);
    EXPECT_EQ(RegExp("(a)(?:b)((c)|d)").groupCount(), 3u);
    EXPECT_EQ(RegExp(std::string(kMagtekChequePattern)).groupCount(), 4u);
    EXPECT_EQ(RegExp(std::string(kNonusClassifyPattern)).groupCount(), 4u);
}

// The reader's four patterns against the standard library's ECMAScript engine on many short
// random lines (short, so std::regex is safe): whether they match and every capture agree.
TEST(RegExpTest, AgreesWithStdRegexOnTheReaderPatternsForShortLines) {
    const std::vector<std::string> patterns = {
        std::string(kMagtekChequePattern), std::string(kUsChequePattern),
        std::string(kNonusClassifyPattern), std::string(kNonusExtractPattern)};
    const std::string alphabet = "AACCEE??0123456789  TU-:;<>@_B";
    std::mt19937 rng(12345);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> lengthOf(0, 30);
    for (const auto& pattern : patterns) {
        const RegExp ours(pattern);
        ASSERT_TRUE(ours.ok()) << ours.error();
        const std::regex theirs(pattern, std::regex::ECMAScript);
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
            if (!m) continue;
            ++matchedCount;
            for (size_t g = 0; g <= ours.groupCount(); ++g) {
                ASSERT_EQ(m->groups[g].has_value(), sm[static_cast<int>(g)].matched)
                    << pattern << " on \"" << line << "\" group " << g;
                if (m->groups[g]) {
                    EXPECT_EQ(m->groups[g]->position, static_cast<size_t>(sm.position(static_cast<int>(g))));
                    EXPECT_EQ(std::string(m->group(g, line)), sm.str(static_cast<int>(g)))
                        << pattern << " on \"" << line << "\" group " << g;
                }
            }
        }
        EXPECT_GT(matchedCount, 50) << pattern;  // the comparison did exercise matches
    }
}

// A pattern whose set of live threads takes thousands of forms (the 12th character from the end
// decides) and one with word boundaries: both take the engine's general path, with the same
// answers.
TEST(RegExpTest, ManyStatePatternsAndWordBoundariesOnLongText) {
    const RegExp twelfth("^[ab]*a[ab]{11}$");
    ASSERT_TRUE(twelfth.ok());
    std::mt19937 rng(11);
    for (int round = 0; round < 4; ++round) {
        std::string text(20000, 'a');
        for (char& c : text) c = (rng() & 1) ? 'a' : 'b';
        text[text.size() - 12] = round % 2 == 0 ? 'a' : 'b';
        EXPECT_EQ(twelfth.test(text), round % 2 == 0) << round;
        EXPECT_EQ(twelfth.search(text).has_value(), round % 2 == 0) << round;
    }
    const RegExp word("\\bC\\d{2}\\b");
    std::string line(100000, ' ');
    line.replace(50000, 4, "xC12");
    EXPECT_FALSE(word.test(line));
    line.replace(60000, 4, " C34");
    const auto m = word.search(line);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->position(), 60001u);
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
    nuls.replace(kMiB / 2, 14, "\0" "12<34:5>6<"s);
    const auto nm = nonus.search(nuls);
    ASSERT_TRUE(nm.has_value());
    EXPECT_EQ(nm->group(2, nuls), "34");

    // The unanchored Nonus pattern tried at every position of a megabyte of noise.
    EXPECT_FALSE(nonus.test(noise.substr(0, kMiB / 2) + std::string(kMiB / 2, 'q')));
}

}  // namespace
}  // namespace korvex
