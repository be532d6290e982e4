// Counting where POSIX has something of its own: links and paths too long
// for the system to open.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/counting_helpers.h"
#include "tests/support/test_tree.h"

namespace {

using namespace counting_helpers;

// FIFOs, sockets and devices, in a tree and alone: folder_walk_faults_test.cpp.
TEST(TallyFolderPosixTest, OneUnreadableSourceFailsTheWholeTree) {
    TestTree tree;
    // Root may read anything; a dangling link cannot be read by anyone.
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

TEST(TallyFolderPosixTest, FollowsLinksToFoldersButNotRoundInCycles) {
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

// Beyond what the platform can open by path, the entry fails like an
// unreadable one: no truncated path is ever opened instead.
TEST(TallyFolderPosixTest, PathsTooLongToOpenFailTheEntry) {
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
