#include "counting/tally_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/tally_printer.h"
#include "tests/test_tree.h"

namespace {

constexpr uint64_t kChunk = 65536;

struct Result {
    bool ok;
    uint64_t files;
    LineTally tally;
};

Result Tally(const std::string& path) {
    Result r{false, 99, LineTally{7, 7, 7, 7}};
    r.ok = TallyFolder(path.c_str(), kChunk, r.files, r.tally);
    return r;
}

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
    // With or without the trailing separator.
    const Result slash = Tally(tree.source());
    EXPECT_TRUE(slash.ok);
    EXPECT_EQ(slash.files, r.files);
    EXPECT_EQ(slash.tally, r.tally);
}

TEST(TallyFolderTest, FailsForAnythingButAReadableFolder) {
    TestTree tree;
    tree.File("file.c", "x\n");
    EXPECT_FALSE(Tally(tree.path("file.c")).ok);
    EXPECT_FALSE(Tally(tree.path("missing")).ok);
    uint64_t files;
    LineTally tally{1, 1, 1, 1};
    EXPECT_FALSE(TallyFolder(nullptr, kChunk, files, tally));
    EXPECT_EQ(tally, LineTally{});
}

TEST(TallyFolderTest, OneUnreadableSourceFailsTheWholeTree) {
    TestTree tree;
    tree.File("a.c", "x\n");
    tree.File("one/two/fine.c", "x\n");
    tree.Link("one/two/three/x.c", "nowhere");
    EXPECT_FALSE(Tally(tree.root().string()).ok);
    EXPECT_FALSE(Tally(tree.path("one")).ok);
    // A dangling link whose name is no source name is never opened.
    TestTree other;
    other.File("a.c", "x\n");
    other.Link("x.txt", "nowhere");
    const Result r = Tally(other.root().string());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.files, 1u);
}

TEST(TallyFolderTest, FollowsLinksToFoldersButNotRoundInCycles) {
    TestTree tree;
    tree.File("src/a.c", "x\n");
    tree.File("lib/b.c", "y\ny\n");
    tree.Link("src/lib", "../lib");  // a second way to the same folder: counted again
    tree.Link("lib/up", "..");       // leads back to the root: a cycle
    tree.Link("src/self", ".");      // a folder inside itself
    const Result r = Tally(tree.root().string());
    ASSERT_TRUE(r.ok);
    // lib/b.c is reached as lib/ and as src/lib/; nothing is counted round a loop.
    EXPECT_EQ(r.files, 3u);
    EXPECT_EQ(r.tally.total, 5u);
}

TEST(TallyFolderTest, SpecialFilesCountAsEmpty) {
    TestTree tree;
    tree.File("a.c", "x\n");
    ASSERT_EQ(mkfifo(tree.path("pipe.c").c_str(), 0600), 0);
    tree.Link("link-to-pipe.c", "pipe.c");
    const Result r = Tally(tree.root().string());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.files, 1u);
    EXPECT_EQ(r.tally.total, 1u);
}

TEST(TallyFolderTest, DeepTreesAreCountedInFull) {
    TestTree tree;
    std::string relative;
    for (int depth = 0; depth < 1000; ++depth) relative += "d/";
    tree.File(relative + "deep.c", "x\n");
    tree.File("top.c", "x\n");
    const Result r = Tally(tree.root().string());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.files, 2u);
    EXPECT_EQ(r.tally.total, 2u);
}

// Beyond what the platform can open by path, the entry fails like an
// unreadable one: no truncated path is ever opened instead.
TEST(TallyFolderTest, PathsTooLongToOpenFailTheEntry) {
    TestTree tree;
    const std::string name(200, 'n');
    std::vector<int> levels{open(tree.root().c_str(), O_RDONLY | O_DIRECTORY)};
    ASSERT_GE(levels.back(), 0);
    for (int depth = 0; depth < 25; ++depth) {  // about 5,000 characters
        ASSERT_EQ(mkdirat(levels.back(), name.c_str(), 0700), 0);
        levels.push_back(openat(levels.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
        ASSERT_GE(levels.back(), 0);
    }
    const int file = openat(levels.back(), "deep.c", O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(file, 0);
    ASSERT_EQ(write(file, "x\n", 2), 2);
    close(file);

    EXPECT_FALSE(Tally(tree.root().string()).ok);

    // Too long for a path-based removal as well: take it apart level by level.
    unlinkat(levels.back(), "deep.c", 0);
    for (size_t i = levels.size() - 1; i > 0; --i) {
        close(levels[i]);
        unlinkat(levels[i - 1], name.c_str(), AT_REMOVEDIR);
    }
    close(levels[0]);
}

}  // namespace
