// Walking a folder tree: every file below a folder, depth first, in the
// platform's order. The walk knows nothing of what is done with the files,
// and the counting nothing of folders.
#pragma once

#include <cstddef>

// What the walk tells its user.
class FolderVisitor {
public:
    // A file the listing gave as no folder and no FIFO, socket or device
    // (those are never opened: they could block or never end). path is
    // NUL-terminated at length and valid until the call returns. False stops
    // the walk, which then fails.
    virtual bool VisitFile(const char* path, size_t length) = 0;

protected:
    ~FolderVisitor() = default;
};

// Walks the folder at path (with or without a trailing separator). True when
// the whole tree was walked; false when a folder in it cannot be enumerated
// or the visitor stopped the walk. A folder already on the current walk path
// (a cycle through links) is not entered again. Nothing is held open while a
// file is visited, and memory grows only with the names along the current
// path, so neither depth nor width can exhaust descriptors or stack.
bool WalkFolder(const char* path, FolderVisitor& visitor);
