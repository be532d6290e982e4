#include "counting/line_scanner.h"

#include "counting/scan_kernels.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/reference_scanner.h"
#include "tests/support/tally_printer.h"

void PrintTo(ScanKernel kernel, std::ostream* os) { *os << KernelName(kernel); }

namespace {

struct Case {
    const char* name;
    std::string text;
    LineTally expected;  // total, code, comments, empty
};

const unsigned char* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

// Every test below runs once per kernel; kernels this processor lacks are
// skipped.
class LineScannerTest : public testing::TestWithParam<ScanKernel> {
protected:
    void SetUp() override {
        if (!KernelRuns(GetParam())) GTEST_SKIP() << KernelName(GetParam()) << " cannot run here";
    }

    LineTally Scan(const std::string& text) const {
        LineScanner s;
        FeedWith(GetParam(), s, Bytes(text), text.size());
        return s.Finish();
    }

    // Feeds text in views of the given sizes, the last view taking the rest.
    LineTally ScanInViews(const std::string& text, std::initializer_list<size_t> views) const {
        LineScanner s;
        size_t at = 0;
        for (size_t view : views) {
            view = std::min(view, text.size() - at);
            FeedWith(GetParam(), s, Bytes(text) + at, view);
            at += view;
        }
        FeedWith(GetParam(), s, Bytes(text) + at, text.size() - at);
        return s.Finish();
    }
};

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

TEST_P(LineScannerTest, FollowsEveryRule) {
    for (const Case& c : RuleCases()) {
        EXPECT_EQ(Scan(c.text), c.expected) << c.name;
        EXPECT_EQ(ReferenceScan(c.text.data(), c.text.size()), c.expected) << c.name;
    }
}

// Soups of the bytes that drive the rules, cut into views of random sizes
// (smaller and larger than a block), must leave the same state as the
// reference after every view: no split changes the tally, and Finish, asked
// after each view, changes nothing.
TEST_P(LineScannerTest, RandomSoupsAgreeWithTheReferenceAfterEveryView) {
    std::mt19937_64 random(20261208);
    const std::string alphabet = "/*\n\r\t a";
    for (int round = 0; round < 3000; ++round) {
        // Some soups are thick with plain bytes, so that lines outgrow a block.
        const unsigned plainShare = random() % 4 == 0 ? 90 : 15;
        std::string text(random() % 700, ' ');
        for (char& c : text) {
            const unsigned roll = random() % 100;
            if (roll < 4) {
                c = static_cast<char>(random() % 256);
            } else if (roll < plainShare) {
                c = 'a';
            } else {
                c = alphabet[random() % alphabet.size()];
            }
        }
        LineScanner s;
        ReferenceScanner reference;
        for (size_t at = 0; at < text.size();) {
            const size_t limit = random() % 2 == 0 ? 13 : 150;
            const size_t view = std::min<size_t>(1 + random() % limit, text.size() - at);
            FeedWith(GetParam(), s, Bytes(text) + at, view);
            reference.Feed(Bytes(text) + at, view);
            at += view;
            ASSERT_EQ(s.Finish(), reference.Finish())
                << "after " << at << " bytes of " << testing::PrintToString(text);
        }
        const LineTally whole = s.Finish();
        ASSERT_EQ(Scan(text), whole) << testing::PrintToString(text);
        // Invariants that hold for every input.
        ASSERT_LE(whole.code, whole.total);
        ASSERT_LE(whole.comments, whole.total);
        ASSERT_LE(whole.empty, whole.total);
    }
}

// Runs far longer than a block, where only the carries between blocks keep
// a flag alive.
TEST_P(LineScannerTest, LongRunsAndLongLines) {
    const std::string plain(5000, 'a'), spaces(3000, ' '), stars(3000, '*'), crs(3000, '\r');
    const std::string feeds(3000, '\n'), slashes(3000, '/');
    const std::string texts[] = {
        plain + "\n" + plain,
        "/" + feeds + "/ " + plain + "\n",  // a slash pair across many bare line feeds
        "x\n" + crs,                        // only CRs after the last line feed
        "x\n" + crs + "y",                  // and then text
        "/*" + stars + "/" + plain + "\n",  // a long block closed, the line stays comment
        "/*\n" + plain + "\n" + stars + "/ x\n",
        spaces + "\n" + spaces + "\t" + crs,  // long empty lines, the last one without a feed
        slashes + "\n" + slashes,
        "a" + spaces + "//" + plain + "\n" + plain + "*/" + spaces,
    };
    for (const std::string& text : texts) {
        EXPECT_EQ(Scan(text), ReferenceScan(text.data(), text.size()))
            << testing::PrintToString(text.substr(0, 80));
    }
}

// A text split into two or three views at every offset within and around the
// first blocks.
TEST_P(LineScannerTest, SplitsAtEveryOffsetOfABlock) {
    std::string text;
    for (const Case& c : RuleCases()) text += c.text;
    text += "a /\n/ b\r\n/*\n\n*/ x\t\n";
    const LineTally whole = ReferenceScan(text.data(), text.size());
    for (size_t first = 0; first <= 140 && first <= text.size(); ++first) {
        EXPECT_EQ(ScanInViews(text, {first}), whole) << "split at " << first;
        for (size_t second = 1; second <= 70; second += 3) {
            EXPECT_EQ(ScanInViews(text, {first, second}), whole)
                << "views of " << first << " and " << second;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKernel, LineScannerTest, testing::ValuesIn(kEveryKernel),
                         [](const testing::TestParamInfo<ScanKernel>& info) {
                             return std::string(KernelName(info.param));
                         });

// Feed picks a kernel that runs here, and the fallback covers any other.
TEST(ScanKernelTest, FeedUsesAKernelThatRunsHere) {
    EXPECT_TRUE(KernelRuns(FastestKernel()));
    EXPECT_TRUE(KernelRuns(ScanKernel::kScalar));
    const std::string text = "a // b\n/* c\n */ d\n";
    EXPECT_EQ(ScanText(text.data(), text.size()), (LineTally{3, 2, 3, 0}));
}

// Every x86 build, 32-bit ones included, has the vector kernels, and the
// processors these tests run on all have SSE2: otherwise the kernel tests
// above would skip them without a word.
TEST(ScanKernelTest, X86BuildsRunTheSse2Kernel) {
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_TRUE(KernelRuns(ScanKernel::kSse2));
    EXPECT_NE(FastestKernel(), ScanKernel::kScalar);
#else
    GTEST_SKIP() << "not an x86 build";
#endif
}

// The AVX-512 kernel's own processor check must agree with the compiler's
// runtime (which, on the GCC these tests are built with, also asks whether the
// system saves the registers): a check that said no on a processor that has it
// would leave the kernel skipped above, untested and unused.
TEST(ScanKernelTest, Avx512RunsWhereTheProcessorHasIt) {
#if defined(__x86_64__)
    __builtin_cpu_init();
    EXPECT_EQ(KernelRuns(ScanKernel::kAvx512),
              __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"));
#elif defined(__i386__)
    EXPECT_FALSE(KernelRuns(ScanKernel::kAvx512)) << "32-bit builds leave the kernel out";
#else
    GTEST_SKIP() << "not an x86 build";
#endif
}

}  // namespace
