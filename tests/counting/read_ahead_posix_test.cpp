// Reading ahead of the walk on POSIX, with the storage count faked: on a warm
// cache nothing is hinted; on a cold one every source file the walk reads is
// hinted once before it is read, and nothing else is; a hint holds nothing
// open and cannot block.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/os.h"
#include "platform/posix/os_posix_hooks.h"
#include "tests/support/counting_helpers.h"
#include "tests/support/open_descriptors.h"
#include "tests/support/test_tree.h"
#include "tests/support/watchdog.h"

namespace {

using counting_helpers::Result;
using counting_helpers::Tally;

std::vector<std::pair<char, std::string>> g_events;  // 'h'int or 'o'pen, path
void Hinted(const char* path) { g_events.emplace_back('h', path); }
void Opened(const char* path) { g_events.emplace_back('o', path); }

uint64_t g_storage = 0;
uint64_t ColdStorage() { return g_storage += 1 << 20; }
uint64_t WarmStorage() { return 4096; }

class ReadAheadPosixTest : public testing::Test {
protected:
    void SetUp() override {
        // More files than the widest window, in nested folders and folders
        // side by side, beside what is never read: other names, links, a FIFO.
        for (int i = 0; i < 300; ++i) tree_.File("top/f" + std::to_string(i) + ".c", "x;\n");
        for (const char* folder : {"top/sub/", "top/side/"}) {
            for (int i = 0; i < 12; ++i) tree_.File(folder + std::to_string(i) + ".h", "y;\n");
        }
        tree_.File("top/sub/deeper/h.js", "z;\n");
        tree_.File("top/notes.txt", "n\n");
        tree_.Link("top/alias.c", "f0.c");
        mkfifo(tree_.path("top/pipe.c").c_str(), 0600);
        descriptors_ = OpenDescriptorCount();
        g_events.clear();
        os::posix_hooks::beforeHint = Hinted;
        os::posix_hooks::beforeOpen = Opened;
    }
    void TearDown() override {
        os::posix_hooks::beforeHint = nullptr;
        os::posix_hooks::beforeOpen = nullptr;
        os::posix_hooks::storageBytesRead = nullptr;
        EXPECT_EQ(OpenDescriptorCount(), descriptors_) << "a descriptor was left open";
    }

    Result Walk(uint64_t (*storage)()) {
        os::posix_hooks::storageBytesRead = storage;
        const Result r = Tally(tree_.path("top"));
        os::posix_hooks::storageBytesRead = nullptr;
        return r;
    }

    TestTree tree_;
    size_t descriptors_ = 0;
};

TEST_F(ReadAheadPosixTest, AWarmCacheIsNotHintedAColdOneHintsEachSourceFileBeforeItIsRead) {
    const Result warm = Walk(WarmStorage);
    EXPECT_TRUE(warm.ok);
    for (const auto& [kind, path] : g_events) EXPECT_NE(kind, 'h') << "on a warm cache: " << path;
    g_events.clear();
    const Result cold = Walk(ColdStorage);
    ASSERT_TRUE(cold.ok);
    EXPECT_EQ(cold.files, warm.files);
    EXPECT_EQ(cold.tally, warm.tally);

    std::map<std::string, int> hints;
    // Before the first look finds the cache cold nothing is hinted; the file
    // read when it does is read at once, the files after it are hinted.
    enum { kBefore, kFirstLook, kHinting } phase = kBefore;
    size_t hinted = 0;
    for (const auto& [kind, path] : g_events) {
        if (kind == 'h') {
            EXPECT_EQ(++hints[path], 1) << "hinted twice: " << path;
            if (phase == kBefore) phase = kFirstLook;
            continue;
        }
        const bool source = path.ends_with(".c") || path.ends_with(".h") || path.ends_with(".js");
        if (!source) continue;  // a folder
        // The link is read but not hinted: what it names is not known.
        if (path.ends_with("alias.c")) {
            EXPECT_EQ(hints.count(path), 0u);
        } else if (phase == kFirstLook) {
            phase = kHinting;
        } else if (phase == kHinting) {
            EXPECT_EQ(hints.count(path), 1u) << "read without a hint: " << path;
            ++hinted;
        }
    }
    EXPECT_GT(hinted, 20u);  // all but the files read before the first look
    for (const auto& [path, count] : hints) {
        EXPECT_FALSE(path.ends_with(".txt") || path.ends_with("pipe.c")) << path;
    }
}

// Storage as a cold cache gives it: a page for each source file opened, and
// nothing for the files the walk does not read.
uint64_t g_pagesRead = 0;
void OpenedCold(const char* path) {
    if (std::string_view(path).ends_with(".c")) ++g_pagesRead;
}
uint64_t PagesRead() { return g_pagesRead * 4096; }

TEST_F(ReadAheadPosixTest, AColdTreeOfMostlyOtherFilesIsHintedToo) {
    TestTree mixed;
    for (int i = 0; i < 40; ++i) {
        mixed.File("m/a" + std::to_string(i) + ".c", "x;\n");
        for (int j = 0; j < 7; ++j) mixed.File("m/n" + std::to_string(i * 7 + j) + ".txt", "n\n");
    }
    os::posix_hooks::beforeOpen = OpenedCold;
    os::posix_hooks::storageBytesRead = PagesRead;
    EXPECT_TRUE(Tally(mixed.path("m")).ok);
    os::posix_hooks::storageBytesRead = nullptr;
    EXPECT_GT(g_events.size(), 20u);  // hints of all but the files read before the first look
}

TEST_F(ReadAheadPosixTest, AHintHoldsNothingOpenAndCannotBlock) {
    const Watchdog watchdog("the hints");
    os::HintWillRead(tree_.path("top/pipe.c").c_str());  // a FIFO without a writer
    os::HintWillRead(tree_.path("top/missing.c").c_str());
    os::HintWillRead(tree_.path("top").c_str());
    os::HintWillRead(tree_.path("top/f1.c").c_str());
    EXPECT_EQ(g_events.size(), 4u);
}

}  // namespace
