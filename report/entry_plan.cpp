#include "report/entry_plan.h"

#include <utility>

#include "platform/os.h"
#include "report/list_entries.h"

namespace {

// Runs of met entries kept beyond one per folder entry: lists with a few
// entries the walk does not meet (links to folders, FIFOs) keep their runs.
constexpr size_t kSpareRuns = 64;

}  // namespace

// Follows the list with the cursor, and keeps what the walk tells of the
// noted folders it enters, target's among them.
class EntryPlan::Watch final : public TallyObserver {
public:
    Watch(NotedFolders& folders, ListCursor& cursor, std::string_view target)
        : folders_(folders), cursor_(cursor), target_(target) {}

    // Matched as spelt: the walk's paths are the entry's own path and names
    // joined by one separator, so only an entry spelt exactly so ('a/b/', not
    // 'a//b/' or 'a/./b/') has the same files under the same paths.
    bool Wants(std::string_view folder) override {
        cursor_.Meet(folder);
        const auto found = folders_.find(folder);
        return found != folders_.end() && !found->second.tally;
    }

    void Told(std::string_view folder, const FolderTally& tally) override {
        folders_.find(folder)->second.tally = tally;
        if (folder == target_) targetTally_ = tally;
    }

    void Passed(std::string_view file) override { cursor_.Meet(file); }

    // What the walk told of target, if anything.
    const std::optional<FolderTally>& target() const { return targetTally_; }

private:
    NotedFolders& folders_;
    ListCursor& cursor_;
    const std::string_view target_;
    std::optional<FolderTally> targetTally_;
};

EntryPlan::EntryPlan(std::string folder, const char* entryList, os::ViewReader& reader, bool reuse)
    : folder_(std::move(folder)),
      reader_(reader),
      folders_(NoteFolders(folder_, entryList, reuse)),
      cursor_(folder_, folders_.size() + kSpareRuns) {}

EntryPlan::NotedFolders EntryPlan::NoteFolders(const std::string& folder, const char* entryList,
                                               bool reuse) {
    NotedFolders folders;
    if (!reuse) return folders;
    for (const char* entry = entryList; *entry != '\0'; entry = NextEntry(entry)) {
        std::string path = EntryPath(folder, entry);
        if (path.empty() || !os::IsSeparator(path.back())) continue;
        folders.try_emplace(std::move(path), Noted{std::nullopt, NextEntry(entry)});
    }
    return folders;
}

// Walks the noted folder root, which no walk has told of, with the cursor
// following the list from root's first mention on. Returns what the walk told
// of target: always something where target is root.
std::optional<FolderTally> EntryPlan::Walk(const std::string& root, const Noted& noted,
                                           std::string_view target) {
    Watch watch(folders_, cursor_, target);
    cursor_.Follow(noted.after);
    FolderTally walked;
    walked.tallied = TallyFolder(root.c_str(), reader_, walked.files, walked.tally, watch);
    cursor_.Stop();
    // A walk tells of its own folder for sure, also where that is no folder
    // and nothing was walked.
    watch.Told(root, walked);
    return watch.target();
}

// Walks the noted folders path lies in that no walk has told of yet,
// outermost first, until one of those walks tells of path. path itself comes
// last, and its own walk always tells of it.
FolderTally EntryPlan::Settle(const std::string& path, const Noted& noted) {
    for (size_t end = 0; end + 1 < path.size(); ++end) {
        if (!os::IsSeparator(path[end])) continue;
        const auto around = folders_.find(std::string_view(path).substr(0, end + 1));
        if (around == folders_.end() || around->second.tally) continue;
        if (const auto told = Walk(around->first, around->second, path)) return *told;
    }
    return Walk(path, noted, path).value();
}

FolderTally EntryPlan::Tally(const char* entry) {
    const std::string path = EntryPath(folder_, entry);
    const auto found = folders_.find(path);
    if (found != folders_.end()) {
        const Noted& noted = found->second;
        return noted.tally ? *noted.tally : Settle(found->first, noted);
    }
    FolderTally walked;
    // A file a walk met as a file: TallyFolder would fail on it at once.
    if (cursor_.Met(entry) && !path.empty() && !os::IsSeparator(path.back())) return walked;
    walked.tallied = TallyFolder(path.c_str(), reader_, walked.files, walked.tally);
    return walked;
}
