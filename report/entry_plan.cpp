#include "report/entry_plan.h"

#include <cstring>
#include <utility>

#include "platform/os.h"

namespace {

const char* After(const char* entry) {
    return *entry == '\0' ? entry : entry + std::strlen(entry) + 1;
}

// Runs of met entries kept beyond one per folder entry: lists with a few
// entries the walk does not meet (links to folders, FIFOs) keep their runs.
constexpr size_t kSpareRuns = 64;

}  // namespace

EntryPlan::EntryPlan(std::string folder, const char* entryList, os::ViewReader& reader, bool reuse)
    : folder_(std::move(folder)), reader_(reader) {
    if (!reuse) return;
    for (const char* entry = entryList; *entry != '\0'; entry = After(entry)) {
        std::string path = PathOf(entry);
        if (path.empty() || !os::IsSeparator(path.back())) continue;
        folders_.try_emplace(std::move(path), Folder{FolderTally{}, After(entry)});
    }
}

std::string EntryPlan::PathOf(const char* entry) const { return folder_ + os::PathFromHost(entry); }

FolderTally* EntryPlan::Wanted(const char* path, size_t length) {
    const std::string_view walked(path, length);
    Meet(walked);
    // Matched as spelt: the walk's paths are the entry's own path and names
    // joined by one separator, so only an entry spelt exactly so ('a/b/', not
    // 'a//b/' or 'a/./b/') has the same files under the same paths.
    const auto found = folders_.find(walked);
    if (found == folders_.end() || found->second.tally.state != FolderTally::State::kUnknown) {
        return nullptr;
    }
    return &found->second.tally;
}

void EntryPlan::Passed(const char* path, size_t length) { Meet(std::string_view(path, length)); }

void EntryPlan::MoveCursor(const char* entry) {
    cursor_ = entry;
    cursorPath_ = *entry == '\0' ? std::string() : PathOf(entry);
    const char* next = After(entry);
    nextPath_ = *next == '\0' ? std::string() : PathOf(next);
}

// Moves the cursor past the entry the walk met. An entry the walk does not
// meet (a link to a folder the list does not expand, a FIFO) is stepped over
// when the walk meets the one after it; it ends a run.
void EntryPlan::Meet(std::string_view path) {
    if (cursor_ == nullptr || *cursor_ == '\0') return;
    if (path == cursorPath_) {
        MoveCursor(After(cursor_));
    } else if (!nextPath_.empty() && path == nextPath_) {
        KeepMet();
        runBegin_ = After(cursor_);
        MoveCursor(After(runBegin_));
    }
}

void EntryPlan::KeepMet() {
    if (runBegin_ != cursor_ && met_.size() < folders_.size() + kSpareRuns) {
        met_.emplace(runBegin_, cursor_);
    }
}

bool EntryPlan::Met(const char* entry) const {
    auto run = met_.upper_bound(entry);
    if (run == met_.begin()) return false;
    --run;
    return entry < run->second;
}

void EntryPlan::Walk(const std::string& path, Folder& folder) {
    runBegin_ = folder.after;
    MoveCursor(folder.after);
    FolderTally walked;
    const bool tallied = TallyFolder(path.c_str(), reader_, walked.files, walked.tally, *this);
    KeepMet();
    cursor_ = nullptr;
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
    const std::string path = PathOf(entry);
    const auto found = folders_.find(path);
    if (found == folders_.end()) {
        // A file a walk met as a file: TallyFolder would fail on it at once.
        if (Met(entry) && !path.empty() && !os::IsSeparator(path.back())) return false;
        return TallyFolder(path.c_str(), reader_, files, tally);
    }
    const FolderTally& record = found->second.tally;
    if (record.state == FolderTally::State::kUnknown) Settle(path, record);
    files = record.files;
    tally = record.tally;
    return record.state == FolderTally::State::kTallied;
}
