#include "counting/line_scanner.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/reference_scanner.h"
#include "tests/tally_printer.h"

namespace {

struct Case {
    const char* name;
    std::string text;
    LineTally expected;  // total, code, comments, empty
};

LineTally Scan(const std::string& text) { return ScanText(text.data(), text.size()); }

const std::vector<Case>& RuleCases() {
    static const std::vector<Case> cases = {
        {"code line", "int a;\n", {1, 1, 0, 0}},
        {"line comment", "// c\n", {1, 0, 1, 0}},
        {"code then line comment", "a // b\n", {1, 1, 1, 0}},
        {"block over two lines, code after close", "/* a\n b */ x;\n", {2, 1, 2, 0}},
        {"code after a block closed on its own line", "/* c */ x;\n", {1, 0, 1, 0}},
        {"close marker without open block", "a*/b\n", {1, 1, 1, 0}},
        {"two empty lines", "\n\n", {2, 0, 0, 2}},
        {"spaces tabs and CR are empty", "   \t\r\n", {1, 0, 0, 1}},
        {"slash pair across a bare line feed", "a /\n/ b\n", {2, 1, 1, 0}},
        {"CR LF breaks the slash pair", "a /\r\n/ b\r\n", {2, 2, 0, 0}},
        {"slash star across a bare line feed", "a /\n* b\n", {2, 1, 1, 0}},
        {"no line feed counts nothing", "x", {0, 0, 0, 0}},
        {"last line without line feed", "x\ny", {2, 2, 0, 0}},
        {"last line of spaces is empty", "x\n   ", {2, 1, 0, 1}},
        {"trailing CR alone is not a line", "x\n\r", {1, 1, 0, 0}},
        {"open block ending in spaces", "/*\n   ", {2, 0, 2, 1}},
        {"a lone slash is in total only", "/\n", {1, 0, 0, 0}},
        {"a lone star is code", "*\n", {1, 1, 0, 0}},
        {"empty text", "", {0, 0, 0, 0}},
        {"block stays open over lines", "/*\nabc\n*/\n", {3, 0, 3, 0}},
        {"empty line inside a block is empty", "/*\n\n*/\n", {3, 0, 2, 1}},
        {"code after a close from an earlier line", "/*\n*/ x;\n", {2, 1, 2, 0}},
        {"last line uses opened, not marked", "/*\n*/ x", {2, 1, 1, 0}},
        {"last line comment", "a\n// b", {2, 1, 1, 0}},
        {"star slash closes a slash star", "/*/x\n", {1, 0, 1, 0}},
        {"triple slash", "///\n", {1, 0, 1, 0}},
        {"UTF-8 byte-order mark is code", "\xEF\xBB\xBF// c\n", {1, 1, 1, 0}},
        {"NUL bytes are code", std::string("a\0b\n", 4), {1, 1, 0, 0}},
        {"UTF-16 text: NULs are code", std::string("/\0/\0\n\0", 6), {2, 2, 0, 0}},
        {"only CRs then text", "\r\r\n\rx", {2, 1, 0, 1}},
        {"a line of only CR before the end", "x\n\r\r", {1, 1, 0, 0}},
        {"tab after the last line feed", "x\n\t", {2, 1, 0, 1}},
        {"slash and star separated by a space", "/ *\n", {1, 1, 0, 0}},
        {"an empty line keeps a pending slash", "a/\n\n/b\n", {3, 1, 1, 1}},
    };
    return cases;
}

TEST(LineScannerTest, FollowsEveryRule) {
    for (const Case& c : RuleCases()) {
        EXPECT_EQ(Scan(c.text), c.expected) << c.name;
        EXPECT_EQ(ReferenceScan(c.text.data(), c.text.size()), c.expected) << c.name;
    }
}

// The state carried between views must make every split give the same tally.
TEST(LineScannerTest, EverySplitGivesTheSameTally) {
    for (const Case& c : RuleCases()) {
        const LineTally whole = Scan(c.text);
        for (size_t view : {1, 2, 3, 7}) {
            LineScanner s;
            const auto* bytes = reinterpret_cast<const unsigned char*>(c.text.data());
            for (size_t at = 0; at < c.text.size(); at += view) {
                s.Feed(bytes + at, std::min(view, c.text.size() - at));
            }
            EXPECT_EQ(s.Finish(), whole) << c.name << " in views of " << view;
        }
    }
}

TEST(LineScannerTest, RandomSoupsSplitAnywhere) {
    std::mt19937_64 random(20261208);
    const std::string alphabet = "/*\n\r\t a";
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 200, ' ');
        for (char& c : text) {
            // Mostly the bytes that drive the state machine, now and then any byte.
            c = random() % 16 == 0 ? static_cast<char>(random() % 256)
                                   : alphabet[random() % alphabet.size()];
        }
        const LineTally whole = Scan(text);
        ASSERT_EQ(whole, ReferenceScan(text.data(), text.size()))
            << "text: " << testing::PrintToString(text);
        LineScanner s;
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        for (size_t at = 0; at < text.size();) {
            const size_t view = std::min<size_t>(1 + random() % 13, text.size() - at);
            s.Feed(bytes + at, view);
            at += view;
        }
        ASSERT_EQ(s.Finish(), whole) << "text: " << testing::PrintToString(text);
        // Invariants that hold for every input.
        ASSERT_LE(whole.code, whole.total);
        ASSERT_LE(whole.comments, whole.total);
        ASSERT_LE(whole.empty, whole.total);
    }
}

TEST(LineScannerTest, FinishDoesNotChangeTheState) {
    LineScanner s;
    const std::string first = "a\nb";
    s.Feed(reinterpret_cast<const unsigned char*>(first.data()), first.size());
    EXPECT_EQ(s.Finish(), (LineTally{2, 2, 0, 0}));
    const std::string rest = "c\n";
    s.Feed(reinterpret_cast<const unsigned char*>(rest.data()), rest.size());
    EXPECT_EQ(s.Finish(), (LineTally{2, 2, 0, 0}));
}

}  // namespace
