// Measuring a folder tree: every plain file below it is measured and the
// results summed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

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

// What TallyFolder on one folder's path gives.
struct FolderTally {
    bool tallied = false;  // false where TallyFolder fails; then the rest means nothing
    uint64_t files = 0;
    LineTally tally;
};

// What a caller learns from the walk of a tree besides its tally.
class TallyObserver {
public:
    // Each folder the walk enters, the walk's own folder first, its path
    // ending in one separator: whether that folder's own tally is wanted.
    virtual bool Wants(std::string_view folder) = 0;

    // A wanted folder whose tally the walk tells for sure: what TallyFolder
    // on that folder's path alone gives. Told once the walk has left the
    // folder, walked in full, unless something below it was left out for
    // lying on the path above it (there its own walk would go further); or,
    // failed, when the walk fails inside the folder (its own walk reaches the
    // same unreadable file). Any other wanted folder is not told of.
    virtual void Told(std::string_view folder, const FolderTally& tally) = 0;

    // Each file the walk measured or passed over by its name: a path known
    // to name no folder.
    virtual void Passed(std::string_view file) = 0;

protected:
    ~TallyObserver() = default;
};

// TallyFolder that also tells observer what the walk finds.
bool TallyFolder(const char* path, os::ViewReader& reader, uint64_t& files, LineTally& tally,
                 TallyObserver& observer);
