#include "counting/read_ahead.h"

#include <algorithm>

#include "platform/os.h"

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

ReadAhead::ReadAhead(bool (*reads)(const char* name, size_t length))
    : reads_(reads), window_(os::StorageBytesRead) {}

// Links are not hinted: whether they name a folder is not known without
// asking, and what they name may block.
bool ReadAhead::Hints(const WalkEntry& entry) const {
    return entry.kind == os::EntryKind::kFile && reads_(entry.name, entry.length);
}

void ReadAhead::Listed(const WalkListings& listings) {
    const size_t level = listings.depth() - 1;
    marks_.resize(level);
    marks_.push_back(Mark{listings.next(level), 0});
    if (const size_t window = window_.window(); window != 0) HintAhead(listings, window);
}

void ReadAhead::Visiting(const WalkListings& listings, size_t at) {
    const WalkEntry file = listings.entry(at);
    if (!reads_(file.name, file.length)) return;
    Mark& mark = marks_[listings.depth() - 1];
    if (at < mark.hintedTo && Hints(file)) --mark.hintedFiles;
    if (const size_t window = window_.BeforeFile(); window != 0) HintAhead(listings, window);
}

void ReadAhead::HintAhead(const WalkListings& listings, size_t window) {
    size_t hinted = 0;
    // The marks of folders the walk has left since are passed over, and
    // replaced when it lists others at their depth.
    for (size_t level = listings.depth(); level-- > 0 && hinted < window;) {
        Mark& mark = marks_[level];
        const size_t end = listings.end(level);
        hinted += mark.hintedFiles;
        mark.hintedTo = std::max(mark.hintedTo, listings.next(level));
        while (hinted < window && mark.hintedTo < end) {
            const WalkEntry entry = listings.entry(mark.hintedTo);
            mark.hintedTo = entry.after;
            if (!Hints(entry)) continue;
            path_.assign(listings.folder(level));
            path_.append(entry.name, entry.length);
            os::HintWillRead(path_.c_str());
            window_.Hinted();
            ++mark.hintedFiles;
            ++hinted;
        }
    }
}
