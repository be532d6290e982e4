#include "counting/read_ahead.h"

#include <algorithm>

ReadAheadWindow::ReadAheadWindow(uint64_t (*storageBytesRead)())
    : storageBytesRead_(storageBytesRead), lastCount_(storageBytesRead()) {}

size_t ReadAheadWindow::BeforeFile() {
    if (++sinceSample_ < kSampleEvery) return window_;
    const uint64_t count = storageBytesRead_();
    const uint64_t read = count - lastCount_;
    lastCount_ = count;
    if (window_ == 0) {
        // Less than a page per file read: the files came from the cache, and
        // what storage gave was not theirs.
        if (read >= kSampleEvery * kColdBytesPerFile) {
            window_ = kFirst;
            quietHints_ = 0;
        }
    } else if (read != 0) {
        // The files read, the hints of the files ahead, or the listings of
        // the folders came from storage: look further ahead.
        quietHints_ = 0;
        window_ = std::min(window_ * 2, kMost);
    } else if (quietHints_ >= kQuietHintsToStop) {
        // Hints that read nothing: the files ahead were in the cache already.
        window_ = 0;
        quietHints_ = 0;
    }
    sinceSample_ = 0;
    return window_;
}
