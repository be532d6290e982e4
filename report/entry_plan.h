// Which entries of a report's list are walked, and which take their tally
// from the walk of an entry around them. A file manager passes every file and
// folder below the selected folders as entries of their own; walked one by
// one, a file at depth d would be read d times. Planned, each folder is walked
// once per run, and every entry still gets what a walk of it alone gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

#include "counting/line_tally.h"
#include "counting/tally_folder.h"
#include "platform/os.h"

class EntryPlan final : public TallyObserver {
public:
    // folder: the source folder, ending in a separator; entryList: the
    // host's list, which must outlive the plan, as must reader, which every
    // walk reads its files with. Its folder entries (ending in
    // a separator) are noted first, so that the walk of an entry around one
    // settles its tally on the way. With reuse false nothing is noted and
    // every entry is walked on its own at its turn.
    EntryPlan(std::string folder, const char* entryList, os::ViewReader& reader, bool reuse);
    EntryPlan(const EntryPlan&) = delete;
    EntryPlan& operator=(const EntryPlan&) = delete;

    // What TallyFolder on the entry's path gives. entry points into the list.
    // When the entry lies inside noted folder entries that no walk has
    // settled yet, the outermost of them is walked first; an entry no walk
    // made so far can vouch for is walked on its own.
    bool Tally(const char* entry, uint64_t& files, LineTally& tally);

    FolderTally* Wanted(const char* path, size_t length) override;
    void Passed(const char* path, size_t length) override;

private:
    struct Folder {
        FolderTally tally;
        const char* after;  // the list entry after its first mention
    };

    std::string PathOf(const char* entry) const;
    void Settle(const std::string& path, const FolderTally& record);
    void Walk(const std::string& path, Folder& folder);
    void MoveCursor(const char* entry);
    void Meet(std::string_view path);
    void KeepMet();
    bool Met(const char* entry) const;

    // Looked up by the walk's own paths, without copying them.
    struct PathHash {
        using is_transparent = void;
        size_t operator()(std::string_view path) const {
            return std::hash<std::string_view>{}(path);
        }
    };

    const std::string folder_;
    os::ViewReader& reader_;
    std::unordered_map<std::string, Folder, PathHash, std::equal_to<>> folders_;

    // A file manager lists a folder's contents right after it, in the order
    // the walk meets them. While an entry is walked, a cursor follows the
    // list behind it; the runs of entries the walk met as they stand are
    // kept (first entry, entry after the last), so that a file entry met as
    // a file needs no query of its own. Their number is bounded by the
    // number of folder entries; beyond it, entries are queried.
    std::map<const char*, const char*> met_;
    const char* cursor_ = nullptr;  // the entry the walk should meet next, while walking
    const char* runBegin_ = nullptr;
    std::string cursorPath_, nextPath_;  // the paths of the cursor's entry and the one after
};
