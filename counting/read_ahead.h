// Reading ahead of a walk: asking the system to start reading the files the
// walk comes to next. On a warm cache not at all: a hint is one more open and
// close per file, for nothing. On a cold one further and further: a single
// thread reading its files otherwise waits for one read from storage at a
// time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "counting/folder_walk.h"

// How far ahead to hint, from what storage gave for the files read so far.
class ReadAheadWindow {
public:
    // Files after the current one hinted when the cache first looks cold; the
    // window doubles while reads from storage go on, up to kMost.
    static constexpr size_t kFirst = 32;
    static constexpr size_t kMost = 256;
    // Files read between two looks at the storage count: the look is a
    // system call, too dear for every file of a warm walk.
    static constexpr size_t kSampleEvery = 8;
    // Bytes read from storage per file read since the last look that make
    // the cache look cold: a file that comes from storage costs at least a
    // page. Less is a warm cache reading the odd page the system dropped, a
    // folder's listing or a file's details, which hints would not spare.
    static constexpr uint64_t kColdBytesPerFile = 4096;
    // Hints given without one read from storage since: the files ahead are
    // in the cache (a warm cache with a few files dropped from it), and
    // hinting stops until storage is read again.
    static constexpr size_t kQuietHintsToStop = 32;

    // storageBytesRead: the calling thread's count of bytes read from storage
    // (os::StorageBytesRead), looked at now and every kSampleEvery files.
    explicit ReadAheadWindow(uint64_t (*storageBytesRead)());

    // Called before each file the walk reads: how many of the files after it
    // should have been hinted by now; 0 means none.
    size_t BeforeFile();

    // Called for each hint given.
    void Hinted() { ++quietHints_; }

    // The window as the last look left it.
    size_t window() const { return window_; }

private:
    uint64_t (*storageBytesRead_)();
    uint64_t lastCount_;
    size_t sinceSample_ = 0;
    size_t quietHints_ = 0;
    size_t window_ = 0;
};

// Follows a walk and, while its files come from storage, hints the files its
// visitor reads that the listings name next: the rest of the innermost
// folder, then the rest of each folder around it, until the window's number
// of files not visited yet are hinted. Folders in those listings are not
// looked into; each file is hinted once (os::HintWillRead: nothing is held
// open and no thread started).
class ReadAhead final : public WalkFollower {
public:
    // reads: whether the visitor reads the file of this bare name.
    explicit ReadAhead(bool (*reads)(const char* name, size_t length));

    // The folder's first files are asked for now, not after the first is read.
    void Listed(const WalkListings& listings) override;
    void Visiting(const WalkListings& listings, size_t at) override;

private:
    // Whether the entry is hinted when the window reaches it.
    bool Hints(const WalkEntry& entry) const;
    void HintAhead(const WalkListings& listings, size_t window);

    // Per folder along the walk's path: the position up to which its entries
    // were considered for hints, and how many of them were hinted and not
    // visited yet.
    struct Mark {
        size_t hintedTo;
        size_t hintedFiles;
    };

    bool (*reads_)(const char* name, size_t length);
    ReadAheadWindow window_;
    std::vector<Mark> marks_;
    std::string path_;
};
