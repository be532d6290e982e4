// How far ahead a walk asks the system to read the files it comes to next.
// On a warm cache not at all: a hint is one more open and close per file, for
// nothing. On a cold one further and further: a single thread reading its
// files otherwise waits for one read from storage at a time.
#pragma once

#include <cstddef>
#include <cstdint>

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

    // Called for each hint the walk gives.
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
