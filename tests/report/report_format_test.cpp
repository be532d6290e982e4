#include "report/report_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

TEST(ReportFormatTest, RowsAlignNumbersInTheirColumns) {
    EXPECT_EQ(ReportRow("src\\", 3, {120, 80, 25, 15}),
              "src;    3;     120;      80;      25;      15; 66\r\n");
    EXPECT_EQ(ReportRow("one/", 1, {1, 1, 0, 0}),
              "one;    1;       1;       1;       0;       0;100\r\n");
    EXPECT_EQ(ReportRow("c/", 1, {3, 0, 3, 0}),
              "c;    1;       3;       0;       3;       0;  0\r\n");
    // Truncated, not rounded: 2 of 3 is 66.
    EXPECT_EQ(CodeRatio({3, 2, 0, 0}), 66u);
    EXPECT_EQ(CodeRatio({0, 0, 0, 0}), 0u);
}

TEST(ReportFormatTest, WideValuesWidenTheRowInsteadOfWrapping) {
    const uint64_t big = 3'000'000'000ull;  // beyond a signed 32-bit conversion
    EXPECT_EQ(ReportRow("x/", 123456, {big, big, 0, 0}),
              "x;123456;3000000000;3000000000;       0;       0;100\r\n");
    const uint64_t max = std::numeric_limits<uint64_t>::max();
    EXPECT_EQ(ReportRow("m/", max, {max, max, max, max}),
              "m;18446744073709551615;18446744073709551615;18446744073709551615;"
              "18446744073709551615;18446744073709551615;100\r\n");
    // code * 100 would not fit in 64 bits here.
    EXPECT_EQ(CodeRatio({max, max / 2, 0, 0}), 49u);
}

// The ratio is code * 100 / total truncated, as a 128-bit product would give
// it, also where code * 100 passes 2^64 (every case below does) and on targets
// without a 128-bit type. Counters that no tree produces (code above total)
// keep the same value modulo 2^64 too.
TEST(ReportFormatTest, RatioIsExactWhereCodeTimesAHundredOverflows) {
    const uint64_t max = std::numeric_limits<uint64_t>::max();
    const uint64_t first = max / 100 + 1;  // the least code whose hundredfold wraps
    EXPECT_EQ(CodeRatio({max, max - 1, 0, 0}), 99u);
    EXPECT_EQ(CodeRatio({max, max / 3, 0, 0}), 33u);
    EXPECT_EQ(CodeRatio({first + 1, first, 0, 0}), 99u);
    EXPECT_EQ(CodeRatio({first, first, 0, 0}), 100u);
    EXPECT_EQ(CodeRatio({3ull << 62, (1ull << 63) + 1, 0, 0}), 66u);
    EXPECT_EQ(CodeRatio({1, max, 0, 0}), 18446744073709551516u);
    EXPECT_EQ(CodeRatio({7, max - 3, 0, 0}), 5270498306774157547u);
#ifdef __SIZEOF_INT128__
    // Zero and the neighbours of the values where the arithmetic turns.
    std::vector<uint64_t> edges = {0};
    for (uint64_t turn : {uint64_t{2}, uint64_t{100}, first, uint64_t{1} << 32, uint64_t{1} << 63,
                          max / 3, max / 2, max - 1}) {
        edges.insert(edges.end(), {turn - 1, turn, turn + 1});
    }
    for (uint64_t total : edges) {
        for (uint64_t code : edges) {
            const uint64_t wide =
                total == 0
                    ? 0
                    : static_cast<uint64_t>(static_cast<unsigned __int128>(code) * 100 / total);
            EXPECT_EQ(CodeRatio({total, code, 0, 0}), wide) << code << " of " << total;
        }
    }
#endif
}

TEST(ReportFormatTest, NameDropsOnlyATrailingSeparator) {
    EXPECT_EQ(ReportName("abc\\"), "abc");
    EXPECT_EQ(ReportName("abc/"), "abc");
    EXPECT_EQ(ReportName("abc"), "abc");
    EXPECT_EQ(ReportName("abc//"), "abc/");
    EXPECT_EQ(ReportName("sub/dir/"), "sub/dir");
    EXPECT_EQ(ReportName("/"), "");
    EXPECT_EQ(ReportName(""), "");
}

TEST(ReportFormatTest, NamesThatWouldBreakColumnsAreQuoted) {
    EXPECT_EQ(ReportName("a;b/"), "\"a;b\"");
    EXPECT_EQ(ReportName("say \"hi\"/"), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(ReportName("two\nlines/"), "\"two\nlines\"");
    EXPECT_EQ(ReportName("cr\r/"), "\"cr\r\"");
    // Everything else stays exactly as given.
    EXPECT_EQ(ReportName("with space, comma & 'quote'/"), "with space, comma & 'quote'");
    EXPECT_EQ(ReportName("\xD0\xBF\xD1\x80\xD0\xB8/"), "\xD0\xBF\xD1\x80\xD0\xB8");
    EXPECT_EQ(ReportRow("a;b/", 1, {1, 1, 0, 0}),
              "\"a;b\";    1;       1;       1;       0;       0;100\r\n");
}

}  // namespace
