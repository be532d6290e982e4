#include "report/entry_plan.h"

#include <utility>

#include "platform/os.h"
#include "report/list_entries.h"

namespace {

// Runs of met entries kept beyond one per folder entry: lists with a few
// entries the walk does not meet (links to folders, FIFOs) keep their runs.
constexpr size_t kSpareRuns = 64;

}  // namespace

EntryPlan::EntryPlan(std::string folder, const char* entryList, os::ViewReader& reader, bool reuse)
    : folder_(std::move(folder)),
      reader_(reader),
      folders_(NoteFolders(folder_, entryList, reuse)),
      cursor_(folder_, folders_.size() + kSpareRuns) {}

EntryPlan::Folders EntryPlan::NoteFolders(const std::string& folder, const char* entryList,
                                          bool reuse) {
    Folders folders;
    if (!reuse) return folders;
    for (const char* entry = entryList; *entry != '\0'; entry = NextEntry(entry)) {
        std::string path = EntryPath(folder, entry);
        if (path.empty() || !os::IsSeparator(path.back())) continue;
        folders.try_emplace(std::move(path), Folder{FolderTally{}, NextEntry(entry)});
    }
    return folders;
}

FolderTally* EntryPlan::Wanted(const char* path, size_t length) {
    const std::string_view walked(path, length);
    cursor_.Meet(walked);
    // Matched as spelt: the walk's paths are the entry's own path and names
    // joined by one separator, so only an entry spelt exactly so ('a/b/', not
    // 'a//b/' or 'a/./b/') has the same files under the same paths.
    const auto found = folders_.find(walked);
    if (found == folders_.end() || found->second.tally.state != FolderTally::State::kUnknown) {
        return nullptr;
    }
    return &found->second.tally;
}

void EntryPlan::Passed(const char* path, size_t length) {
    cursor_.Meet(std::string_view(path, length));
}

void EntryPlan::Walk(const std::string& path, Folder& folder) {
    cursor_.Follow(folder.after);
    FolderTally walked;
    const bool tallied = TallyFolder(path.c_str(), reader_, walked.files, walked.tally, *this);
    cursor_.Stop();
    walked.state = tallied ? FolderTally::State::kTallied : FolderTally::State::kFailed;
    folder.tally = walked;
}

// Walks the noted entries that path lies in and that no walk has settled
// yet, outermost first, until one of those walks settles path. path itself
// comes last, and its own walk always settles it.
void EntryPlan::Settle(const std::string& path, const FolderTally& record) {
    for (size_t end = 0; end < path.size(); ++end) {
        if (!os::IsSeparator(path[end])) continue;
        const auto around = folders_.find(std::string_view(path).substr(0, end + 1));
        if (around == folders_.end() ||
            around->second.tally.state != FolderTally::State::kUnknown) {
            continue;
        }
        Walk(around->first, around->second);
        if (record.state != FolderTally::State::kUnknown) return;
    }
}

bool EntryPlan::Tally(const char* entry, uint64_t& files, LineTally& tally) {
    files = 0;
    tally = LineTally{};
    const std::string path = EntryPath(folder_, entry);
    const auto found = folders_.find(path);
    if (found == folders_.end()) {
        // A file a walk met as a file: TallyFolder would fail on it at once.
        if (cursor_.Met(entry) && !path.empty() && !os::IsSeparator(path.back())) return false;
        return TallyFolder(path.c_str(), reader_, files, tally);
    }
    const FolderTally& record = found->second.tally;
    if (record.state == FolderTally::State::kUnknown) Settle(path, record);
    files = record.files;
    tally = record.tally;
    return record.state == FolderTally::State::kTallied;
}
