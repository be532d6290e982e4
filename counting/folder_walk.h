// Walking a folder tree: every file and folder below a folder, depth first,
// in the platform's order. The walk knows nothing of what is done with the
// files, and the counting nothing of folders.
#pragma once

#include <cstddef>

#include "platform/os.h"

// What the walk tells its user. Paths are NUL-terminated at length and valid
// until the call returns.
class FolderVisitor {
public:
    // A file the listing gave as no folder and no FIFO, socket or device
    // (those are never opened: they could block or never end), with the
    // folder it was listed in where the walk holds that open. False stops
    // the walk, which then fails.
    virtual bool VisitFile(const os::ListedFile& file) = 0;

    // Whether VisitFile reads the file of this bare name. Only such files are
    // read ahead, and only while the walk's files come from storage.
    virtual bool ReadsFile(const char* name, size_t length) = 0;

    // A folder whose listing was read, before anything in it is visited: the
    // walk's own folder first. path ends with one separator. Each is matched
    // by a LeaveFolder once everything below it was visited; a walk that
    // fails makes no further calls, so the folders it was in are not left.
    virtual void EnterFolder(const char* /*path*/, size_t /*length*/) {}
    virtual void LeaveFolder() {}

    // A folder that was not entered because it is one of the folders entered
    // and not left yet, reached again through a link: depth is that folder's
    // (0 the walk's own folder, 1 a folder in it, ...). A walk started below
    // that depth would have entered it.
    virtual void LeftOut(size_t /*depth*/) {}

protected:
    ~FolderVisitor() = default;
};

// How many of the folders along the current path a walk holds open, the
// outermost first, so that their files are opened without a path lookup.
// Trees are rarely deeper; the files of deeper folders are opened by path.
constexpr size_t kHeldFolders = 16;

// Walks the folder at path (with or without a trailing separator). True when
// the whole tree was walked; false when a folder in it cannot be enumerated
// or the visitor stopped the walk. A folder already on the current walk path
// (a cycle through links) is not entered again. While a file is visited, at
// most kHeldFolders folders of the current path are held open, and memory
// grows only with the listings of the folders along it, so neither depth nor
// width can exhaust descriptors or stack. While the files come from storage
// rather than the cache, the walk asks the system to start reading the files
// it comes to next (those its listings already name), holding nothing more
// open and starting no thread.
bool WalkFolder(const char* path, FolderVisitor& visitor);
