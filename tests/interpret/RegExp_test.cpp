#include "interpret/RegExp.h"

#include <gtest/gtest.h>

#include <optional>
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

TEST(RegExpTest, SearchesWithScriptingSemantics) {
    // pattern, text, then the whole match and groups 1.. ("<unset>": no span), or none.
    const auto expect = [](const std::string& pattern, const std::string& text,
                           std::optional<std::vector<std::string>> match) {
        SCOPED_TRACE("pattern " + pattern + " on \"" + text + "\"");
        const RegExp re(pattern);
        const auto m = re.search(text);
        ASSERT_EQ(m.has_value(), match.has_value());
        EXPECT_EQ(re.test(text), match.has_value());
        if (!m) return;
        std::vector<std::string> got;
        for (size_t g = 0; g < m->groups.size(); ++g)
            got.push_back(m->groups[g] ? std::string(m->group(g, text)) : "<unset>");
        EXPECT_EQ(got, *match);
    };
    const auto none = std::nullopt;
    expect("abc", "xxabcxx", {{"abc"}});
    expect("^abc", "xxabc", none);
    expect("abc$", "abcx", none);
    expect("abc$", "xabc", {{"abc"}});
    expect("a$", "a\n", none);  // "$" is the end of the whole text
    expect("^$", "", {{""}});
    expect("a.c", "a\nc", none);  // "." stops at a line feed
    expect("a.c", "a\rc", {{"a\rc"}});
    expect("a.c", "a\0c"s, {{"a\0c"s}});
    expect("[a-c]+", "xxbcaz", {{"bca"}});
    expect("[^a-c]+", "abxyc", {{"xy"}});
    expect("[-a]+", "-a-b", {{"-a-"}});
    expect("[a-]+", "a-a", {{"a-a"}});
    expect("[0-9]{2,3}", "a1234", {{"123"}});
    expect("[0-9]{2,}", "a12345b", {{"12345"}});
    expect("[0-9]{2}", "a1b23", {{"23"}});
    expect("x{0,1}y", "xxy", {{"xy"}});
    expect("x?y", "xxy", {{"xy"}});
    expect("(a+)(a*)", "aaa", {{"aaa", "aaa", ""}});
    expect("(a?)(ab)", "ab", {{"ab", "", "ab"}});  // the greedy choice gives way
    expect("([0-9]*)([0-9]{2})", "12345", {{"12345", "123", "45"}});
    expect("([0-9]+)-([0-9]+)", "tel 03-555", {{"03-555", "03", "555"}});
    expect("(a(b)c)d", "xabcd", {{"abcd", "abc", "b"}});
    expect("\\0", "a\0b"s, {{"\0"s}});
    expect("[\\0a]+", "b\0a\0c"s, {{"\0a\0"s}});
    expect("\\.\\*\\?", "a.*?b", {{".*?"}});
    expect("\xE0+", "x\xE0\xE0y", {{"\xE0\xE0"}});  // high bytes are ordinary characters
    expect("[\x80-\xFF]+", "ab\x80\xFF\x01", {{"\x80\xFF"}});
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
    const std::string alphabet = "AACCEE??0123456789  TU-:;<>@_B\0"s;
    std::mt19937 rng(12345);
    const auto pick = [&] { return alphabet[rng() % alphabet.size()]; };
    // Every third line is a cheque-shaped skeleton with some characters changed, so that
    // matches occur.
    for (const auto& [pattern, skeleton] : std::vector<std::pair<std::string, std::string>>{
             {std::string(kMagtekChequePattern), "A12 C34A567E 89A"},
             {std::string(kUsChequePattern), "0123-456 789T012U345"},
             {std::string(kNonusClassifyPattern), ":12<34:567>89<"},
             {std::string(kNonusExtractPattern), ":12<34:567>89<"}}) {
        const RegExp ours(pattern);
        const std::regex theirs(pattern, std::regex::ECMAScript);
        ASSERT_EQ(ours.groupCount(), theirs.mark_count()) << pattern;
        int matchedCount = 0;
        for (int round = 0; round < 3000; ++round) {
            std::string line = round % 3 == 0 ? skeleton : std::string(rng() % 31, ' ');
            for (char& ch : line) {
                if (round % 3 != 0 || rng() % 6 == 0) ch = pick();
            }
            SCOPED_TRACE(pattern + " on \"" + line + "\"");
            std::smatch sm;
            const bool stdMatched = std::regex_search(line, sm, theirs);
            const auto m = ours.search(line);
            ASSERT_EQ(m.has_value(), stdMatched);
            ASSERT_EQ(ours.test(line), stdMatched);
            if (!m) continue;
            ++matchedCount;
            for (size_t g = 0; g <= ours.groupCount(); ++g) {
                const int n = static_cast<int>(g);
                ASSERT_EQ(m->groups[g].has_value(), sm[n].matched) << "group " << g;
                if (m->groups[g]) {
                    EXPECT_EQ(m->groups[g]->position, static_cast<size_t>(sm.position(n)));
                    EXPECT_EQ(std::string(m->group(g, line)), sm.str(n)) << "group " << g;
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
    std::string noise(kMiB, 'x');  // never a Magtek line: it starts with neither "A" nor "?"
    for (size_t i = 1; i < kMiB; ++i) noise[i] = static_cast<char>(rng() & 0xFF);
    const RegExp magtek{std::string(kMagtekChequePattern)};
    const RegExp us{std::string(kUsChequePattern)};
    const RegExp nonus{std::string(kNonusClassifyPattern)};
    EXPECT_FALSE(magtek.test(noise));
    EXPECT_FALSE(us.test(noise));
    // A megabyte of digits inside a valid Magtek line: the unbounded group takes it all.
    const std::string longCheque = "A" + std::string(kMiB, '7') + "C12A456E789A";
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
