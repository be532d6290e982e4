#include "counting/folder_walk.h"

#include <cstring>
#include <string>
#include <vector>

#include "counting/read_ahead.h"
#include "platform/os.h"

namespace {

// Each folder's entries are read in one go into a shared name arena and the
// enumeration is closed before anything below it is visited. An arena record
// is one tag byte (the entry's kind, with kHinted once the file was hinted),
// the name and a NUL.
constexpr unsigned char kHinted = 0x80;

class Walk {
public:
    explicit Walk(FolderVisitor& visitor) : visitor_(visitor), readAhead_(os::StorageBytesRead) {}
    // However the walk ends, the folders it holds are let go.
    ~Walk() {
        for (const Level& level : levels_) os::ReleaseFolder(level.folder);
    }
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;

    bool Run(const char* root);

private:
    struct Level {
        size_t pathLength;   // the folder's path with its trailing separator
        size_t begin;        // arena offset of this folder's first entry
        size_t next;         // arena offset of the next entry to visit
        size_t end;          // arena offset just past this folder's entries
        size_t hintedTo;     // arena offset up to which files were considered for hints
        size_t hintedFiles;  // files hinted and not visited yet
        os::FolderId id;
        intptr_t folder;  // the folder held open for its files, or -1
    };
    static constexpr size_t kNotOnPath = static_cast<size_t>(-1);

    bool Enter();
    size_t DepthOnPath(const os::FolderId& id) const;
    bool VisitNext(Level& level);
    void HintAhead(size_t window);

    FolderVisitor& visitor_;
    ReadAheadWindow readAhead_;
    std::string path_;
    std::string hintPath_;
    std::vector<char> arena_;
    std::vector<Level> levels_;
};

size_t Walk::DepthOnPath(const os::FolderId& id) const {
    for (size_t depth = 0; depth < levels_.size(); ++depth) {
        if (levels_[depth].id == id) return depth;
    }
    return kNotOnPath;
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
    levels_.push_back(Level{path_.size(), begin, begin, arena_.size(), begin, 0, id, -1});
    // Held only once its level is in place, so that nothing can leak it.
    if (levels_.size() <= kHeldFolders) levels_.back().folder = os::HoldFolder(scan);
    visitor_.EnterFolder(path_.c_str(), path_.size());
    // The folder's first files are asked for now, not after the first is read.
    if (const size_t window = readAhead_.window(); window != 0) HintAhead(window);
    return true;
}

// Hints the files the walk comes to next, as far as the listings read so far
// name them: the rest of the innermost folder, then the rest of each folder
// around it, until window files not visited yet are hinted. Folders in
// those listings are not looked into; each file is hinted once.
void Walk::HintAhead(size_t window) {
    size_t hinted = 0;
    for (size_t depth = levels_.size(); depth-- > 0 && hinted < window;) {
        Level& level = levels_[depth];
        hinted += level.hintedFiles;
        if (level.hintedTo < level.next) level.hintedTo = level.next;
        while (hinted < window && level.hintedTo < level.end) {
            char* record = arena_.data() + level.hintedTo;
            const char* name = record + 1;
            const size_t nameLength = std::strlen(name);
            level.hintedTo += nameLength + 2;
            // Links are not hinted: whether they name a folder is not known
            // without asking, and what they name may block.
            if (static_cast<os::EntryKind>(static_cast<unsigned char>(record[0])) !=
                os::EntryKind::kFile) {
                continue;
            }
            if (!visitor_.ReadsFile(name, nameLength)) continue;
            hintPath_.assign(path_, 0, level.pathLength);
            hintPath_.append(name, nameLength);
            os::HintWillRead(hintPath_.c_str());
            readAhead_.Hinted();
            record[0] = static_cast<char>(static_cast<unsigned char>(record[0]) | kHinted);
            ++level.hintedFiles;
            ++hinted;
        }
    }
}

// Visits the next entry of the innermost folder: hands a file to the
// visitor, or enters a folder (which then becomes the innermost).
bool Walk::VisitNext(Level& level) {
    const char* record = arena_.data() + level.next;
    const auto tag = static_cast<unsigned char>(record[0]);
    const auto kind = static_cast<os::EntryKind>(tag & ~kHinted);
    const char* name = record + 1;
    const size_t nameLength = std::strlen(name);
    level.next += nameLength + 2;
    if (tag & kHinted) --level.hintedFiles;

    path_.resize(level.pathLength);
    path_.append(name, nameLength);
    bool folder = kind == os::EntryKind::kFolder;
    if (kind == os::EntryKind::kUnknown) folder = os::IsFolder(path_.c_str());
    if (folder) return Enter();  // may reallocate levels_: level is dead now
    if (kind == os::EntryKind::kSpecial) return true;
    if (visitor_.ReadsFile(name, nameLength)) {
        if (const size_t window = readAhead_.BeforeFile(); window != 0) HintAhead(window);
    }
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

bool WalkFolder(const char* path, FolderVisitor& visitor) {
    if (path == nullptr) return false;
    Walk walk(visitor);
    return walk.Run(path);
}
