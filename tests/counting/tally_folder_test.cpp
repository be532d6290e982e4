#include "counting/tally_folder.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/counting_helpers.h"
#include "tests/support/test_tree.h"

namespace {

using namespace counting_helpers;

TEST(TallyFolderTest, EmptyFoldersAndForeignFilesGiveZero) {
    TestTree tree;
    Result r = Tally(tree.root().string());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.files, 0u);
    EXPECT_EQ(r.tally, LineTally{});

    tree.File("readme.txt", "a\nb\n");
    tree.File("sub/Makefile", "all:\n");
    tree.File("one-line.cpp", "int main() {}");  // no line feed: adds nothing, not counted
    r = Tally(tree.root().string());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.files, 0u);
    EXPECT_EQ(r.tally, LineTally{});
}

TEST(TallyFolderTest, SumsTheWholeTree) {
    TestTree tree;
    tree.File("a.c", "int a;\n// c\n\n");
    tree.File("sub/b.h", "/* x\n y */\n");
    tree.File("sub/deeper/c.JS", "x\n");
    tree.File("sub/deeper/skip.md", "x\n");
    const Result r = Tally(tree.root().string());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.files, 3u);
    EXPECT_EQ(r.tally, (LineTally{6, 2, 3, 1}));
}

TEST(TallyFolderTest, FailsForAnythingButAReadableFolder) {
    TestTree tree;
    tree.File("file.c", "x\n");
    EXPECT_FALSE(Tally(tree.path("file.c")).ok);
    EXPECT_FALSE(Tally(tree.path("missing")).ok);
    uint64_t files;
    LineTally tally{1, 1, 1, 1};
    os::ViewReader reader(kChunk);
    EXPECT_FALSE(TallyFolder(nullptr, reader, files, tally));
    EXPECT_EQ(tally, LineTally{});
}

}  // namespace
