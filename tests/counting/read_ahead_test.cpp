// When the walk reads ahead: never while the files come from the cache (even
// when storage gives the odd page), from the first look that finds the files
// read from storage, further as reads go on, and no longer once hints read
// nothing.
#include "counting/read_ahead.h"

#include <gtest/gtest.h>

namespace {

uint64_t g_count = 0;
int g_looks = 0;
uint64_t Count() {
    ++g_looks;
    return g_count;
}

// The windows of the next n files.
std::vector<size_t> Windows(ReadAheadWindow& window, size_t n, uint64_t growthPerFile) {
    std::vector<size_t> windows;
    for (size_t i = 0; i < n; ++i) {
        g_count += growthPerFile;
        windows.push_back(window.BeforeFile());
    }
    return windows;
}

const uint64_t kPage = ReadAheadWindow::kColdBytesPerFile;

TEST(ReadAheadWindowTest, AWarmCacheIsNeverHintedAndLookedAtSeldom) {
    g_count = 1000;
    g_looks = 0;
    ReadAheadWindow window(Count);
    for (size_t w : Windows(window, 10000, 0)) ASSERT_EQ(w, 0u);
    EXPECT_LE(g_looks, 1 + 10000 / static_cast<int>(ReadAheadWindow::kSampleEvery));
    // Storage read for less than a page per file read: the odd page dropped
    // from the cache, a folder's listing. The files themselves are cached.
    for (size_t w : Windows(window, 10000, kPage - 1)) ASSERT_EQ(w, 0u);
}

TEST(ReadAheadWindowTest, AColdCacheWidensTheWindowAndAWarmStretchEndsIt) {
    g_count = 0;
    ReadAheadWindow window(Count);
    const size_t every = ReadAheadWindow::kSampleEvery;
    std::vector<size_t> cold = Windows(window, 64 * every, kPage);
    EXPECT_EQ(cold[every - 2], 0u);
    EXPECT_EQ(cold[every - 1], ReadAheadWindow::kFirst);  // the first look
    EXPECT_EQ(cold[2 * every - 1], 2 * ReadAheadWindow::kFirst);
    EXPECT_EQ(cold.back(), ReadAheadWindow::kMost);

    // Hints that read nothing: the rest is cached. Hinting stops at the next
    // look, and starts again at the next read from storage.
    for (size_t i = 1; i < ReadAheadWindow::kQuietHintsToStop; ++i) window.Hinted();
    EXPECT_EQ(Windows(window, every, 0).back(), ReadAheadWindow::kMost);
    window.Hinted();
    EXPECT_EQ(Windows(window, every, 0).back(), 0u);
    EXPECT_EQ(Windows(window, every, kPage).back(), ReadAheadWindow::kFirst);
    // Looks without hints (the listings read so far are all hinted) do not
    // stop a cold walk's hints.
    EXPECT_EQ(Windows(window, 10 * every, 0).back(), ReadAheadWindow::kFirst);
}

}  // namespace
