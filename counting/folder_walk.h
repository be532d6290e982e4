// Walking a folder tree: every file and folder below a folder, depth first,
// in the platform's order. The walk knows nothing of what is done with the
// files, and the counting nothing of folders.
#pragma once

#include <cstddef>
#include <string_view>

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

// One entry of a listing the walk holds.
struct WalkEntry {
    os::EntryKind kind;
    const char* name;  // NUL-terminated at length
    size_t length;
    size_t after;  // the position of the entry after it
};

// The listings a walk holds: those of the folders along its current path, the
// walk's own folder at level 0, each read in full before anything in it was
// visited. An entry's position stays what it is while its folder is on the
// path. Valid during the call it is handed to.
class WalkListings {
public:
    virtual size_t depth() const = 0;
    // The path of the folder at level, ending in one separator.
    virtual std::string_view folder(size_t level) const = 0;
    // Where that folder's entries not visited yet begin, and where its
    // listing ends.
    virtual size_t next(size_t level) const = 0;
    virtual size_t end(size_t level) const = 0;
    // The entry at position at.
    virtual WalkEntry entry(size_t at) const = 0;

protected:
    ~WalkListings() = default;
};

// What follows a walk without steering it, such as reading ahead the files it
// comes to next: told of every listing and of every file before the visitor
// is.
class WalkFollower {
public:
    // A folder was entered: its listing is the innermost of listings, and
    // none of it is visited yet.
    virtual void Listed(const WalkListings& listings) = 0;
    // The file at position at of the innermost listing is visited next; that
    // listing's next entry is the one after it.
    virtual void Visiting(const WalkListings& listings, size_t at) = 0;

protected:
    ~WalkFollower() = default;
};

// How many of the folders along the current path a walk holds open, the
// outermost first, so that their files are opened without a path lookup.
// Trees are rarely deeper; the files of deeper folders are opened by path.
constexpr size_t kHeldFolders = 16;

// Walks the folder at path (with or without a trailing separator), telling
// follower, where there is one, what it lists and visits. True when the
// whole tree was walked; false when a folder in it cannot be enumerated or
// the visitor stopped the walk. A folder already on the current walk path (a
// cycle through links) is not entered again. While a file is visited, at
// most kHeldFolders folders of the current path are held open, and memory
// grows only with the listings of the folders along it, so neither depth nor
// width can exhaust descriptors or stack.
bool WalkFolder(const char* path, FolderVisitor& visitor, WalkFollower* follower = nullptr);
