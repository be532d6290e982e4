// Measuring a folder tree: every plain file below it is measured and the
// results summed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "counting/line_tally.h"
#include "platform/os.h"

// Walks the folder at path (with or without a trailing separator) depth
// first, reading every source file with reader, and reading ahead of the walk
// while the files come from storage (counting/read_ahead.h). files receives
// the number of files whose own total was not 0, tally the sums. False when
// path is not a folder, a folder cannot be enumerated or any file in the tree
// cannot be read; then files and tally mean nothing. A folder already on the
// current walk path (a cycle through links) is not entered again and adds
// nothing.
bool TallyFolder(const char* path, os::ViewReader& reader, uint64_t& files, LineTally& tally);

// What one walk tells of a folder inside its tree: what TallyFolder on that
// folder's path alone would give.
struct FolderTally {
    enum class State { kUnknown, kTallied, kFailed };
    State state = State::kUnknown;
    uint64_t files = 0;
    LineTally tally;
};

// What a caller learns from the walk of a tree besides its tally.
class TallyObserver {
public:
    // Called for each folder the walk enters (the walk's own folder first),
    // path ending in one separator. Returns the record to settle, or nullptr
    // when that folder's tally is not wanted.
    virtual FolderTally* Wanted(const char* path, size_t length) = 0;

    // Called for each file the walk measured or passed over by its name: a
    // path known to name no folder.
    virtual void Passed(const char* path, size_t length) = 0;

protected:
    ~TallyObserver() = default;
};

// TallyFolder that also tells observer what the walk finds, and settles the
// records of the wanted folders inside the tree where the one walk tells for
// sure what a walk of each would give: kTallied for a folder walked in full,
// unless something below it was left out for lying on the path above it
// (there its own walk would go further); kFailed for a folder the walk was in
// when it failed (its own walk reaches the same unreadable file). Any other
// record is left as it was.
bool TallyFolder(const char* path, os::ViewReader& reader, uint64_t& files, LineTally& tally,
                 TallyObserver& observer);
