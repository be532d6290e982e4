// Which entries of a report's list are walked, and which take their tally
// from the walk of an entry around them. A file manager passes every file and
// folder below the selected folders as entries of their own; walked one by
// one, a file at depth d would be read d times. Planned, each folder is walked
// once per run, and every entry still gets what a walk of it alone gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "counting/line_tally.h"
#include "counting/tally_folder.h"
#include "platform/os.h"
#include "report/list_cursor.h"

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

    void Settle(const std::string& path, const FolderTally& record);
    void Walk(const std::string& path, Folder& folder);

    // Looked up by the walk's own paths, without copying them.
    struct PathHash {
        using is_transparent = void;
        size_t operator()(std::string_view path) const {
            return std::hash<std::string_view>{}(path);
        }
    };

    using Folders = std::unordered_map<std::string, Folder, PathHash, std::equal_to<>>;
    static Folders NoteFolders(const std::string& folder, const char* entryList, bool reuse);

    const std::string folder_;
    os::ViewReader& reader_;
    Folders folders_;
    // Which list entries the walks met, so that a file entry met as a file
    // needs no query of its own.
    ListCursor cursor_;
};
