// Which entries of the host's list the walks met as they stand. A file
// manager lists a folder's contents right after it, in the order the walk
// meets them: while a folder entry is walked, the cursor follows the list
// behind the walk, and the runs of entries the walk met in a row are kept
// (first entry, entry after the last), so that a file entry met as a file
// needs no query of its own. What it keeps grows with the runs, never with
// the files.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

class ListCursor {
public:
    // folder: the source folder the entries are relative to, ending in a
    // separator; it must outlive the cursor. At most mostRuns runs are kept:
    // the entries of any beyond them count as not met.
    ListCursor(const std::string& folder, size_t mostRuns);

    // A walk begins that should meet the entries from entry (in the list) on.
    void Follow(const char* entry);

    // The walk met path: a folder it entered or a file it measured. An entry
    // it does not meet (a link to a folder the list does not expand, a FIFO)
    // is stepped over when it meets the one after; that ends a run. Does
    // nothing while no walk is followed, or once the list has ended.
    void Meet(std::string_view path);

    // The walk ended: the run it was in is kept, and nothing is followed.
    void Stop();

    // Whether a walk met entry, which points into the list.
    bool Met(const char* entry) const;

private:
    void MoveTo(const char* entry);
    void KeepRun();

    const std::string& folder_;
    const size_t mostRuns_;
    std::map<const char*, const char*> runs_;  // first entry, entry after the last
    const char* cursor_ = nullptr;             // the entry the walk should meet next, while walking
    const char* runBegin_ = nullptr;
    std::string cursorPath_, nextPath_;  // the paths of the cursor's entry and the one after
};
