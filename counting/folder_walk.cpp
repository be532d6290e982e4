#include "counting/folder_walk.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/os.h"

namespace {

// Each folder's entries are read in one go into a shared name arena and the
// enumeration is closed before anything below it is visited. An arena record
// is one byte of the entry's kind, the name and a NUL; a record's position is
// its offset in the arena.
class Walk final : private WalkListings {
public:
    Walk(FolderVisitor& visitor, WalkFollower* follower) : visitor_(visitor), follower_(follower) {}
    // However the walk ends, the folders it holds are let go.
    ~Walk() {
        for (const Level& level : levels_) os::ReleaseFolder(level.folder);
    }
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;

    bool Run(const char* root);

private:
    struct Level {
        size_t pathLength;  // the folder's path with its trailing separator
        size_t begin;       // arena offset of this folder's first entry
        size_t next;        // arena offset of the next entry to visit
        size_t end;         // arena offset just past this folder's entries
        os::FolderId id;
        intptr_t folder;  // the folder held open for its files, or -1
    };
    static constexpr size_t kNotOnPath = static_cast<size_t>(-1);

    bool Enter();
    bool List(os::FolderScan& scan);
    size_t DepthOnPath(const os::FolderId& id) const;
    bool VisitNext(Level& level);

    size_t depth() const override { return levels_.size(); }
    std::string_view folder(size_t level) const override {
        return std::string_view(path_).substr(0, levels_[level].pathLength);
    }
    size_t next(size_t level) const override { return levels_[level].next; }
    size_t end(size_t level) const override { return levels_[level].end; }
    WalkEntry entry(size_t at) const override;

    FolderVisitor& visitor_;
    WalkFollower* follower_;
    std::string path_;
    std::vector<char> arena_;
    std::vector<Level> levels_;
};

WalkEntry Walk::entry(size_t at) const {
    const char* record = arena_.data() + at;
    const char* name = record + 1;
    const size_t length = std::strlen(name);
    return WalkEntry{static_cast<os::EntryKind>(static_cast<unsigned char>(record[0])), name,
                     length, at + length + 2};
}

size_t Walk::DepthOnPath(const os::FolderId& id) const {
    for (size_t depth = 0; depth < levels_.size(); ++depth) {
        if (levels_[depth].id == id) return depth;
    }
    return kNotOnPath;
}

// Appends the entries of scan to the arena, "." and ".." left out.
bool Walk::List(os::FolderScan& scan) {
    os::FolderEntry entry;
    os::NextStatus status;
    while ((status = os::NextEntry(scan, entry)) == os::NextStatus::kEntry) {
        const bool dot = entry.nameLength == 1 && entry.name[0] == '.';
        const bool dotDot = entry.nameLength == 2 && entry.name[0] == '.' && entry.name[1] == '.';
        if (dot || dotDot) continue;
        arena_.push_back(static_cast<char>(entry.kind));
        arena_.insert(arena_.end(), entry.name, entry.name + entry.nameLength);
        arena_.push_back('\0');
    }
    return status != os::NextStatus::kFailed;
}

// Reads the folder named by path_ and pushes its level. A folder already on
// the walk path pushes nothing and still succeeds.
bool Walk::Enter() {
    os::FolderScan scan;
    if (!os::OpenFolder(path_.c_str(), scan)) return false;
    // Closed on every way out, memory running out while the arena grows
    // included, and always before the walk descends below it.
    struct Closer {
        os::FolderScan& scan;
        ~Closer() { os::CloseFolder(scan); }
    } closer{scan};
    const os::FolderId id = scan.id;
    if (const size_t depth = DepthOnPath(id); depth != kNotOnPath) {
        visitor_.LeftOut(depth);
        return true;
    }
    const size_t begin = arena_.size();
    if (!List(scan)) return false;

    if (path_.empty() || !os::IsSeparator(path_.back())) path_ += os::kSeparator;
    levels_.push_back(Level{path_.size(), begin, begin, arena_.size(), id, -1});
    // Held only once its level is in place, so that nothing can leak it.
    if (levels_.size() <= kHeldFolders) levels_.back().folder = os::HoldFolder(scan);
    visitor_.EnterFolder(path_.c_str(), path_.size());
    if (follower_ != nullptr) follower_->Listed(*this);
    return true;
}

// Visits the next entry of the innermost folder: hands a file to the
// visitor, or enters a folder (which then becomes the innermost).
bool Walk::VisitNext(Level& level) {
    const size_t at = level.next;
    const WalkEntry listed = entry(at);
    level.next = listed.after;
    path_.resize(level.pathLength);
    path_.append(listed.name, listed.length);
    bool folder = listed.kind == os::EntryKind::kFolder;
    if (listed.kind == os::EntryKind::kUnknown) folder = os::IsFolder(path_.c_str());
    if (folder) return Enter();  // may reallocate levels_: level is dead now
    if (listed.kind == os::EntryKind::kSpecial) return true;
    if (follower_ != nullptr) follower_->Visiting(*this, at);
    return visitor_.VisitFile(os::ListedFile{path_.c_str(), path_.size(),
                                             path_.c_str() + level.pathLength, level.folder});
}

bool Walk::Run(const char* root) {
    path_.assign(root);
    if (!Enter()) return false;
    while (!levels_.empty()) {
        Level& level = levels_.back();
        if (level.next < level.end) {
            if (!VisitNext(level)) return false;
            continue;
        }
        // The folder is done: its names and the folder itself are no longer
        // needed.
        arena_.resize(level.begin);
        os::ReleaseFolder(level.folder);
        levels_.pop_back();
        visitor_.LeaveFolder();
    }
    return true;
}

}  // namespace

bool WalkFolder(const char* path, FolderVisitor& visitor, WalkFollower* follower) {
    if (path == nullptr) return false;
    Walk walk(visitor, follower);
    return walk.Run(path);
}
