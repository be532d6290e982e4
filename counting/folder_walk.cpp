#include "counting/folder_walk.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/os.h"

namespace {

// Each folder's entries are read in one go into a shared name arena and the
// enumeration is closed before anything below it is visited.
class Walk {
public:
    explicit Walk(FolderVisitor& visitor) : visitor_(visitor) {}

    bool Run(const char* root);

private:
    struct Level {
        size_t pathLength;  // the folder's path with its trailing separator
        size_t begin;       // arena offset of this folder's first entry
        size_t next;        // arena offset of the next entry to visit
        size_t end;         // arena offset just past this folder's entries
        os::FolderId id;
    };

    // Arena record: one kind byte, the name, a NUL.
    bool Enter();
    bool OnPath(const os::FolderId& id) const;
    bool VisitNext(Level& level);

    FolderVisitor& visitor_;
    std::string path_;
    std::vector<char> arena_;
    std::vector<Level> levels_;
};

bool Walk::OnPath(const os::FolderId& id) const {
    for (const Level& level : levels_) {
        if (level.id == id) return true;
    }
    return false;
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
    levels_.push_back(Level{path_.size(), begin, begin, arena_.size(), id});
    return true;
}

// Visits the next entry of the innermost folder: hands a file to the
// visitor, or enters a folder (which then becomes the innermost).
bool Walk::VisitNext(Level& level) {
    const char* record = arena_.data() + level.next;
    const auto kind = static_cast<os::EntryKind>(record[0]);
    const char* name = record + 1;
    const size_t nameLength = std::strlen(name);
    level.next += nameLength + 2;

    path_.resize(level.pathLength);
    path_.append(name, nameLength);
    bool folder = kind == os::EntryKind::kFolder;
    if (kind == os::EntryKind::kUnknown) folder = os::IsFolder(path_.c_str());
    if (folder) return Enter();  // may reallocate levels_: level is dead now
    if (kind == os::EntryKind::kSpecial) return true;
    return visitor_.VisitFile(path_.c_str(), path_.size());
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
        // The folder is done: its names are no longer needed.
        arena_.resize(level.begin);
        levels_.pop_back();
    }
    return true;
}

}  // namespace

bool WalkFolder(const char* path, FolderVisitor& visitor) {
    if (path == nullptr) return false;
    Walk walk(visitor);
    return walk.Run(path);
}
