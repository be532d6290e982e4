#include "report/report_format.h"

#include "tests/report_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(ReportFormatTest, HeaderIsExact) { EXPECT_EQ(ReportHeader(), kReportHeader); }

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
