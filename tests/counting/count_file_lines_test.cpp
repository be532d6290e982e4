#include "counting/count_file_lines.h"

#include <gtest/gtest.h>

#include <string>

#include "counting/line_scanner.h"
#include "tests/support/counting_helpers.h"
#include "tests/support/test_tree.h"

namespace {

using namespace counting_helpers;

// Text of many lines of every kind, long enough to span several views.
std::string LongText(size_t bytes) {
    const std::string pieces[] = {"int x = 1; // one\n",
                                  "/* block\n",
                                  "   still */ y();\n",
                                  "\n",
                                  "\t \r\n",
                                  "a /\n/ b\n",
                                  "*\r\n",
                                  "/\n"};
    std::string text;
    for (size_t i = 0; text.size() < bytes; ++i) text += pieces[(i * 7 + i / 3) % 8];
    text.resize(bytes);
    return text;
}

TEST(CountFileLinesTest, MeasuresSourceExtensionsInAnyCase) {
    TestTree tree;
    for (const char* name : {"a.cpp", "A.CPP", "b.Js", "c.h", "d.c", "e.cs", "f.asm", ".c"}) {
        tree.File(name, "x;\n// y\n");
        EXPECT_EQ(Count(tree.path(name)), (LineTally{2, 1, 1, 0})) << name;
    }
}

TEST(CountFileLinesTest, PassesOverOtherNamesWithoutOpeningThem) {
    TestTree tree;
    for (const char* name : {"c.cpp.bak", "d.hpp", "e.txt", "Makefile", "cpp", "x.c.", "y.cc"}) {
        tree.File(name, "x;\n");
        EXPECT_EQ(Count(tree.path(name)), LineTally{}) << name;
    }
    // Not opened at all: a missing file with another extension is no failure.
    EXPECT_EQ(Count(tree.path("missing.txt")), LineTally{});
    // The extension is the last component's: a dot in a folder name does not count.
    tree.File("dir.c/readme", "x;\n");
    EXPECT_EQ(Count(tree.path("dir.c/readme")), LineTally{});
}

TEST(CountFileLinesTest, EmptyFilesAndFoldersGiveZero) {
    TestTree tree;
    tree.File("empty.c", "");
    EXPECT_EQ(Count(tree.path("empty.c")), LineTally{});
    tree.Folder("folder.c");
    EXPECT_EQ(Count(tree.path("folder.c")), LineTally{});
    tree.File("one-line.cpp", "int main() {}");
    EXPECT_EQ(Count(tree.path("one-line.cpp")), LineTally{});
}

TEST(CountFileLinesTest, UnreadableSourcesFailWithAZeroTally) {
    TestTree tree;
    EXPECT_EQ(Count(tree.path("missing.c"), false), LineTally{});
    tree.File("ok.c", "a\n");
    EXPECT_EQ(Count(tree.path("ok.c"), false, 0), LineTally{});  // no view size, no progress
    LineTally tally = kGarbage;
    os::ViewReader reader(kChunk);
    EXPECT_FALSE(CountFileLines(nullptr, reader, tally));
    EXPECT_EQ(tally, LineTally{});
}

TEST(CountFileLinesTest, ViewsOfAnySizeGiveTheTallyOfTheWholeText) {
    TestTree tree;
    const std::string big = LongText(3 * 65536 + 12345);
    tree.File("big.c", big);
    const LineTally whole = ScanText(big.data(), big.size());
    ASSERT_GT(whole.total, 10000u);
    EXPECT_EQ(Count(tree.path("big.c")), whole);
    EXPECT_EQ(Count(tree.path("big.c"), true, 4096), whole);
    EXPECT_EQ(Count(tree.path("big.c"), true, 1u << 20), whole);  // one view for all

    // Views that start off page boundaries still see the right bytes.
    const std::string small = LongText(5000);
    tree.File("small.c", small);
    const LineTally smallWhole = ScanText(small.data(), small.size());
    for (uint64_t chunk : {1, 2, 3, 7, 4097}) {
        EXPECT_EQ(Count(tree.path("small.c"), true, chunk), smallWhole) << "chunk " << chunk;
    }
}

}  // namespace
