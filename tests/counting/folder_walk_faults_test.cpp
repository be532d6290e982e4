// Trees that fight back: files that are no plain files, files and folders
// that vanish or change between the listing of their folder and their
// opening, and trees too deep or too wide for a naive walk. Each gives a
// defined result, never blocks, and leaves no descriptor open.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "counting/count_file_lines.h"
#include "counting/folder_walk.h"
#include "standin/entry_list.h"
#include "platform/posix/os_posix_hooks.h"
#include "plugin/pack_run.h"
#include "tests/support/counting_helpers.h"
#include "tests/support/open_descriptors.h"
#include "tests/support/pack_environment.h"
#include "tests/support/report_text.h"
#include "tests/support/test_tree.h"

namespace {

using counting_helpers::Result;
using counting_helpers::Tally;

// Binds a UNIX socket at path; the returned descriptor keeps it listening.
int BindSocket(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
    listen(fd, 1);
    return fd;
}

class WalkFaultsTest : public testing::Test {
protected:
    void SetUp() override { descriptors_ = OpenDescriptorCount(); }
    void TearDown() override {
        os::posix_hooks::beforeOpen = nullptr;
        EXPECT_EQ(OpenDescriptorCount(), descriptors_) << "a descriptor was left open";
    }
    size_t descriptors_ = 0;
};

TEST_F(WalkFaultsTest, FilesThatAreNoPlainFilesCountAsEmptyAndNeverBlock) {
    TestTree tree;
    tree.File("src/a.c", "int a;\n");
    ASSERT_EQ(mkfifo(tree.path("src/pipe.c").c_str(), 0600), 0);
    // A FIFO with a writer that never writes: a blocking read would wait forever.
    ASSERT_EQ(mkfifo(tree.path("src/held.h").c_str(), 0600), 0);
    const int reader = open(tree.path("src/held.h").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int writer = open(tree.path("src/held.h").c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    const int sock = BindSocket(tree.path("src/sock.c"));
    // Devices that never end or that block: as nodes in the tree and as links.
    ASSERT_EQ(mknod(tree.path("src/zero.cpp").c_str(), S_IFCHR | 0600, makedev(1, 5)), 0);
    tree.Link("src/random.js", "/dev/urandom");
    tree.Link("src/tty.cs", "/dev/tty");
    tree.Link("src/pipe-link.asm", "pipe.c");

    const Result w = Tally(tree.path("src"));
    EXPECT_TRUE(w.ok);
    EXPECT_EQ(w.files, 1u);
    EXPECT_EQ(w.tally, (LineTally{1, 1, 0, 0}));
    for (const char* name : {"pipe.c", "held.h", "sock.c", "zero.cpp", "random.js", "tty.cs"}) {
        const Watchdog watchdog(name);
        EXPECT_EQ(counting_helpers::Count(tree.path("src/" + std::string(name))), LineTally{})
            << name;
    }

    // The whole pack run too: the row holds the one real file.
    const PackEnvironment env;
    TestTree out;
    const std::string list = EntryList({"src/"});
    {
        const Watchdog watchdog("the pack run");
        EXPECT_EQ(RunPack(out.path("r.csv").c_str(), tree.source().c_str(), list.c_str()), 0);
    }
    EXPECT_EQ(out.Read("r.csv"),
              kReportHeader + "src;    1;       1;       1;       0;       0;100\r\n");
    close(reader);
    close(writer);
    close(sock);
}

// What a hook does just before the walk opens one path.
struct Sabotage {
    std::string victim;  // the path as the walk builds it
    void (*act)(const std::string& victim);
};
const Sabotage* g_sabotage = nullptr;
void BeforeOpen(const char* path) {
    if (g_sabotage != nullptr && g_sabotage->victim == path) g_sabotage->act(g_sabotage->victim);
}

Result TallyWhile(const Sabotage& sabotage, const std::string& root) {
    g_sabotage = &sabotage;
    os::posix_hooks::beforeOpen = BeforeOpen;
    const Result w = Tally(root);
    os::posix_hooks::beforeOpen = nullptr;
    g_sabotage = nullptr;
    return w;
}

void Remove(const std::string& path) { std::filesystem::remove_all(path); }

TEST_F(WalkFaultsTest, WhatVanishesAfterItsFolderWasListedFailsTheWalk) {
    TestTree tree;
    tree.File("a.c", "x\n");
    tree.File("sub/b.c", "y\n");
    tree.File("sub/deeper/c.c", "z\n");

    // A file removed between the listing and its opening.
    EXPECT_FALSE(TallyWhile({tree.path("sub/b.c"), Remove}, tree.path("")).ok);
    tree.File("sub/b.c", "y\n");
    // A folder removed, with everything in it.
    EXPECT_FALSE(TallyWhile({tree.path("sub/deeper"), Remove}, tree.path("")).ok);
    tree.File("sub/deeper/c.c", "z\n");
    // A folder replaced by a file of the same name, and a file by a folder.
    EXPECT_FALSE(TallyWhile({tree.path("sub/deeper"),
                             [](const std::string& p) {
                                 Remove(p);
                                 TestTree::WriteFile(p, "x\n");
                             }},
                            tree.path(""))
                     .ok);
    Remove(tree.path("sub/deeper"));
    EXPECT_FALSE(TallyWhile({tree.path("sub/b.c"),
                             [](const std::string& p) {
                                 Remove(p);
                                 std::filesystem::create_directory(p);
                             }},
                            tree.path(""))
                     .ok);
    Remove(tree.path("sub/b.c"));

    // A file replaced by a FIFO is measured as empty, without blocking.
    tree.File("sub/b.c", "y\n");
    const Result fifo = TallyWhile({tree.path("sub/b.c"),
                                    [](const std::string& p) {
                                        Remove(p);
                                        ASSERT_EQ(mkfifo(p.c_str(), 0600), 0);
                                    }},
                                   tree.path(""));
    EXPECT_TRUE(fifo.ok);
    EXPECT_EQ(fifo.files, 1u);

    // Unsabotaged, the same walk succeeds: the failures above were the changes'.
    Remove(tree.path("sub/b.c"));
    tree.File("sub/b.c", "y\n");
    const Result whole = Tally(tree.path(""));
    EXPECT_TRUE(whole.ok);
    EXPECT_EQ(whole.files, 2u);
}

TEST_F(WalkFaultsTest, AFolderOfAHundredThousandFilesIsCountedInFull) {
    TestTree tree;
    const std::string folder = tree.path("wide");
    std::filesystem::create_directory(folder);
    for (int i = 0; i < 100000; ++i) {
        // Names long enough that the listing spans many reads of the folder.
        TestTree::WriteFile(folder + "/file-with-a-longish-name-" + std::to_string(i) + ".c",
                            i % 10 == 0 ? "a;\n// b\n\n" : "a;\n");
    }
    const Result w = Tally(tree.path(""), std::chrono::seconds(300));
    EXPECT_TRUE(w.ok);
    EXPECT_EQ(w.files, 100000u);
    EXPECT_EQ(w.tally, (LineTally{120000, 100000, 10000, 10000}));
}

TEST_F(WalkFaultsTest, ATreeAThousandFoldersDeepIsCountedInFull) {
    TestTree tree;
    std::string relative;
    for (int depth = 0; depth < 1000; ++depth) {
        relative += "d" + std::to_string(depth % 10) + "/";
        if (depth % 100 == 99) tree.File(relative + "at-" + std::to_string(depth) + ".h", "x\n");
    }
    // The walk holds the outermost folders of its path open, never more.
    static size_t mostOpen;
    mostOpen = 0;
    os::posix_hooks::beforeOpen = [](const char*) {
        mostOpen = std::max(mostOpen, OpenDescriptorCount());
    };
    const Result w = Tally(tree.path(""));
    os::posix_hooks::beforeOpen = nullptr;
    EXPECT_TRUE(w.ok);
    EXPECT_EQ(w.files, 10u);
    EXPECT_EQ(w.tally.total, 10u);
    EXPECT_LE(mostOpen, descriptors_ + kHeldFolders + 1);  // the folder being listed besides
    EXPECT_GT(mostOpen, descriptors_ + kHeldFolders / 2);  // the count sees them
    // The deepest file's path is about 3,000 characters: none is cut short.
    EXPECT_EQ(counting_helpers::Count(tree.path(relative + "at-999.h")).total, 1u);
}

}  // namespace
