#include "counting/tally_folder.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "counting/count_file_lines.h"
#include "counting/folder_walk.h"
#include "counting/read_ahead.h"
#include "counting/source_names.h"
#include "platform/os.h"

namespace {

// Measures each file the walk finds and sums the results, folder by folder,
// so that the folders inside the tree get their own sums on the way. The
// first file that cannot be read stops the walk: the whole tree then has no
// result.
class Summing final : public FolderVisitor {
public:
    Summing(os::ViewReader& reader, TallyObserver* observer)
        : reader_(reader), observer_(observer) {}

    bool VisitFile(const os::ListedFile& file) override {
        LineTally fileTally;
        if (!CountListedFile(file, reader_, fileTally)) return false;
        if (observer_ != nullptr) observer_->Passed(std::string_view(file.path, file.length));
        Level& level = levels_.back();
        if (fileTally.total != 0) ++level.files;
        level.tally += fileTally;
        return true;
    }

    void EnterFolder(const char* path, size_t length) override {
        Level& level = levels_.emplace_back();
        const std::string_view folder(path, length);
        if (observer_ != nullptr && observer_->Wants(folder)) level.wanted = folder;
    }

    void LeaveFolder() override {
        const Level done = std::move(levels_.back());
        levels_.pop_back();
        if (!done.wanted.empty() && !done.leftOut) {
            observer_->Told(done.wanted, FolderTally{true, done.files, done.tally});
        }
        Level& into = levels_.empty() ? whole_ : levels_.back();
        into.files += done.files;
        into.tally += done.tally;
    }

    // A walk started at a folder deeper than depth would enter what this one
    // left out: the sums of those folders are not theirs alone.
    void LeftOut(size_t depth) override {
        for (size_t i = depth + 1; i < levels_.size(); ++i) levels_[i].leftOut = true;
    }

    // After a failed walk: the folders it was in fail on their own too.
    void Failed() {
        for (const Level& level : levels_) {
            if (!level.wanted.empty()) observer_->Told(level.wanted, FolderTally{});
        }
    }

    uint64_t files() const { return whole_.files; }
    const LineTally& tally() const { return whole_.tally; }

private:
    struct Level {
        uint64_t files = 0;
        LineTally tally;
        std::string wanted;  // the folder's path where its own tally is wanted
        bool leftOut = false;
    };

    os::ViewReader& reader_;
    TallyObserver* observer_;
    std::vector<Level> levels_;  // the folders entered and not left yet
    Level whole_;
};

bool Tally(const char* path, os::ViewReader& reader, uint64_t& files, LineTally& tally,
           TallyObserver* observer) {
    tally = LineTally{};
    files = 0;
    if (path == nullptr || !os::IsFolder(path)) return false;
    Summing summing(reader, observer);
    // Only the files the counting reads are read ahead.
    ReadAhead readAhead(IsSourceFileName);
    if (!WalkFolder(path, summing, &readAhead)) {
        summing.Failed();
        return false;
    }
    files = summing.files();
    tally = summing.tally();
    return true;
}

}  // namespace

bool TallyFolder(const char* path, os::ViewReader& reader, uint64_t& files, LineTally& tally) {
    return Tally(path, reader, files, tally, nullptr);
}

bool TallyFolder(const char* path, os::ViewReader& reader, uint64_t& files, LineTally& tally,
                 TallyObserver& observer) {
    return Tally(path, reader, files, tally, &observer);
}
