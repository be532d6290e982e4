#include "counting/tally_folder.h"

#include <cstring>
#include <string>
#include <vector>

#include "counting/count_file_lines.h"
#include "platform/os.h"

namespace {

// The walk keeps no directory open while it works below it: each folder's
// entries are read in one go into a shared name arena and the enumeration is
// closed, so depth costs neither descriptors nor stack, and the only memory
// that grows is the names along the current path.
class FolderWalk {
public:
    explicit FolderWalk(uint64_t chunkSize) : chunkSize_(chunkSize) {}

    bool Run(const char* root, uint64_t& files, LineTally& tally);

private:
    struct Level {
        size_t pathLength;  // the folder's path with its trailing separator
        size_t begin;       // arena offset of this folder's first entry
        size_t next;        // arena offset of the next entry to visit
        size_t end;         // arena offset just past this folder's entries
        os::FolderId id;
        uint64_t files = 0;
        LineTally tally;
    };

    // Arena record: one kind byte, the name, a NUL.
    bool Enter();
    bool OnPath(const os::FolderId& id) const;
    bool VisitNext(Level& level);
    void Leave();

    uint64_t chunkSize_;
    std::string path_;
    std::vector<char> arena_;
    std::vector<Level> levels_;
};

bool FolderWalk::OnPath(const os::FolderId& id) const {
    for (const Level& level : levels_) {
        if (level.id == id) return true;
    }
    return false;
}

// Reads the folder named by path_ and pushes its level. A folder already on
// the walk path pushes nothing and still succeeds.
bool FolderWalk::Enter() {
    os::FolderScan scan;
    if (!os::OpenFolder(path_.c_str(), scan)) return false;
    // Closed on every way out, memory running out while the arena grows
    // included, and always before the walk descends below it.
    struct Closer {
        os::FolderScan& scan;
        ~Closer() { os::CloseFolder(scan); }
    } closer{scan};
    const os::FolderId id = scan.id;
    if (OnPath(id)) return true;
    const size_t begin = arena_.size();
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
    if (status == os::NextStatus::kFailed) return false;

    if (path_.empty() || !os::IsSeparator(path_.back())) path_ += os::kSeparator;
    levels_.push_back(Level{path_.size(), begin, begin, arena_.size(), id, 0, LineTally{}});
    return true;
}

// Visits the next entry of the innermost folder: measures a file, or enters
// a folder (which then becomes the innermost).
bool FolderWalk::VisitNext(Level& level) {
    const char* record = arena_.data() + level.next;
    const auto kind = static_cast<os::EntryKind>(record[0]);
    const char* name = record + 1;
    const size_t nameLength = std::strlen(name);
    level.next += nameLength + 2;

    path_.resize(level.pathLength);
    path_.append(name, nameLength);
    bool folder = kind == os::EntryKind::kFolder;
    if (kind == os::EntryKind::kUnknown) folder = os::IsFolder(path_.c_str());
    if (folder) return Enter();                        // may reallocate levels_: level is dead now
    if (kind == os::EntryKind::kSpecial) return true;  // would block or never end: empty

    LineTally fileTally;
    if (!CountNonFolderFile(path_.c_str(), path_.size(), chunkSize_, fileTally)) return false;
    if (fileTally.total != 0) ++level.files;
    level.tally += fileTally;
    return true;
}

// Pops the innermost folder (never the root), adding its sums into its parent.
void FolderWalk::Leave() {
    const Level done = levels_.back();
    levels_.pop_back();
    arena_.resize(done.begin);
    levels_.back().files += done.files;
    levels_.back().tally += done.tally;
}

bool FolderWalk::Run(const char* root, uint64_t& files, LineTally& tally) {
    path_.assign(root);
    if (!Enter()) return false;
    while (true) {
        Level& level = levels_.back();
        if (level.next < level.end) {
            if (!VisitNext(level)) return false;
            continue;
        }
        if (levels_.size() == 1) break;
        Leave();
    }
    files = levels_.back().files;
    tally = levels_.back().tally;
    return true;
}

}  // namespace

bool TallyFolder(const char* path, uint64_t chunkSize, uint64_t& files, LineTally& tally) {
    tally = LineTally{};
    files = 0;
    if (path == nullptr || !os::IsFolder(path)) return false;
    FolderWalk walk(chunkSize);
    return walk.Run(path, files, tally);
}
