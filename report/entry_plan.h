// Which entries of a report's list are walked, and which take their tally
// from the walk of an entry around them. A file manager passes every file and
// folder below the selected folders as entries of their own; walked one by
// one, a file at depth d would be read d times. Planned, each folder is walked
// once per run, and every entry still gets what a walk of it alone gives.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "counting/tally_folder.h"
#include "platform/os.h"
#include "report/list_cursor.h"

class EntryPlan {
public:
    // folder: the source folder, ending in a separator; entryList: the
    // host's list, which must outlive the plan, as must reader, which every
    // walk reads its files with. Its folder entries (ending in a separator)
    // are noted first, so that the walk of an entry around one tells its
    // tally on the way. With reuse false nothing is noted and every entry is
    // walked on its own at its turn.
    EntryPlan(std::string folder, const char* entryList, os::ViewReader& reader, bool reuse);
    EntryPlan(const EntryPlan&) = delete;
    EntryPlan& operator=(const EntryPlan&) = delete;

    // What TallyFolder on the entry's path gives. entry points into the list.
    // When the entry lies inside noted folder entries that no walk has told
    // of yet, the outermost of them is walked first; an entry no walk made so
    // far can vouch for is walked on its own.
    FolderTally Tally(const char* entry);

private:
    // A folder entry of the list, and what a walk told of it.
    struct Noted {
        std::optional<FolderTally> tally;  // none until a walk tells it
        const char* after;                 // the list entry after its first mention
    };

    // Looked up by the walk's own paths, without copying them.
    struct PathHash {
        using is_transparent = void;
        size_t operator()(std::string_view path) const {
            return std::hash<std::string_view>{}(path);
        }
    };
    using NotedFolders = std::unordered_map<std::string, Noted, PathHash, std::equal_to<>>;

    // What the walks tell the plan, and nobody else.
    class Watch;

    static NotedFolders NoteFolders(const std::string& folder, const char* entryList, bool reuse);
    FolderTally Settle(const std::string& path, const Noted& noted);
    std::optional<FolderTally> Walk(const std::string& root, const Noted& noted,
                                    std::string_view target);

    const std::string folder_;
    os::ViewReader& reader_;
    NotedFolders folders_;
    // Which list entries the walks met, so that a file entry met as a file
    // needs no query of its own.
    ListCursor cursor_;
};
