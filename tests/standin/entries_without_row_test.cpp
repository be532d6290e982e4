// The stand-in host's account of entries that got no row: reading the rows
// back from a report, and the reason it can see for each entry without one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/no_row_reason.h"
#include "standin/report_rows.h"
#include "tests/support/report_text.h"
#include "tests/support/test_tree.h"

namespace {

TEST(ReportRowsTest, NamesAsWrittenEvenWhenQuotedAcrossLines) {
    const std::string report =
        kReportHeader + "src;    1;       3;       2;       1;       0; 66\r\n" +
        "\"a;b\"\"c\r\nd\";    1;       1;       1;       0;       0;100\r\n" +
        "e/f;    1;       1;       1;       0;       0;100\r\n";
    EXPECT_EQ(RowNames(report), (std::vector<std::string>{"src", "\"a;b\"\"c\r\nd\"", "e/f"}));
    EXPECT_TRUE(RowNames("no report\r\nsrc;1\r\n").empty());
    EXPECT_TRUE(RowNames(kReportHeader).empty());
}

TEST(ReportRowsTest, EntriesAreMatchedInOrderAtMostOnce) {
    const std::vector<std::string> rows = {"src", "\"a;b\"", "src"};
    EXPECT_EQ(EntriesWithoutRow({"docs/", "src/", "a;b/", "gone", "src", "src/"}, rows),
              (std::vector<size_t>{0, 3, 5}));
    EXPECT_EQ(EntriesWithoutRow({"x/"}, {}), (std::vector<size_t>{0}));
}

TEST(NoRowReasonTest, WhatTheHostCanSeeOfAnEntry) {
    TestTree tree;
    tree.File("src/text/readme.txt", "no source\n");
    tree.File("src/file.c", "int a;\n");
    tree.Link("src/file-link", "file.c");
    tree.File("src/bad/fine.c", "x\n");
    tree.Link("src/bad/deep/x.c", "nowhere");  // a source file that cannot be opened
    tree.File("src/blank/empty.c", "");
    tree.File("src/blank/open.h", "int a;");
    tree.Link("src/blank/loop", ".");  // a cycle: not walked twice
    tree.Link("src/through", "bad");   // a link to a folder is looked into
    const std::string source = tree.path("src/");
    const struct {
        const char* entry;
        const char* reason;
    } cases[] = {
        {"gone/", "missing"},
        {"file.c", "not a folder"},
        {"file-link/", "not a folder"},
        {"text/", "no source files found"},
        {"bad/", "a file below could not be read"},
        {"through", "a file below could not be read"},
        {"blank/", "its source files hold no complete line"},
    };
    for (const auto& c : cases) EXPECT_EQ(NoRowReason(source, c.entry), c.reason) << c.entry;
}

}  // namespace
