#include "counting/read_ahead.h"

#include <algorithm>

ReadAheadWindow::ReadAheadWindow(uint64_t (*storageBytesRead)())
    : storageBytesRead_(storageBytesRead), lastCount_(storageBytesRead()) {}

size_t ReadAheadWindow::BeforeFile() {
    if (++sinceSample_ < kSampleEvery) return window_;
    const uint64_t count = storageBytesRead_();
    if (count != lastCount_) {
        // Faults on the files read, hints of the files ahead, or listings of
        // the folders came from storage: look further ahead.
        lastCount_ = count;
        quietHints_ = 0;
        window_ = window_ == 0 ? kFirst : std::min(window_ * 2, kMost);
    } else if (window_ != 0 && quietHints_ >= kQuietHintsToStop) {
        // Hints that read nothing: the files ahead were in the cache already.
        window_ = 0;
        quietHints_ = 0;
    }
    sinceSample_ = 0;
    return window_;
}
