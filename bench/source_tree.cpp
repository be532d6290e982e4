#include "bench/source_tree.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <utility>
#include <vector>

#include "counting/source_names.h"

namespace {

class Walk {
public:
    explicit Walk(const std::function<bool(const std::string&)>& visit) : visit_(visit) {}

    bool Folder(std::string& path) {
        DIR* dir = opendir(path.c_str());
        if (dir == nullptr) return false;
        struct stat st;
        if (fstat(dirfd(dir), &st) != 0) {
            closedir(dir);
            return false;
        }
        for (const auto& [device, inode] : onPath_) {
            if (device == st.st_dev && inode == st.st_ino) {
                closedir(dir);
                return true;
            }
        }
        // Read the entries first, so no folder stays open below this one.
        std::vector<std::pair<std::string, unsigned char>> entries;
        while (const dirent* d = readdir(dir)) {
            if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0) continue;
            entries.emplace_back(d->d_name, d->d_type);
        }
        closedir(dir);
        onPath_.emplace_back(st.st_dev, st.st_ino);
        if (path.empty() || path.back() != '/') path += '/';
        const size_t base = path.size();
        bool ok = true;
        for (const auto& [name, type] : entries) {
            path.resize(base);
            path += name;
            bool folder = type == DT_DIR;
            if (type == DT_LNK || type == DT_UNKNOWN) {
                struct stat target;
                folder = stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
            }
            const bool special =
                type == DT_FIFO || type == DT_SOCK || type == DT_CHR || type == DT_BLK;
            if (folder) {
                ok = Folder(path) && ok;
            } else if (!special && IsSourceFileName(path.c_str(), path.size())) {
                ok = visit_(path) && ok;
            }
        }
        onPath_.pop_back();
        return ok;
    }

private:
    const std::function<bool(const std::string&)>& visit_;
    std::vector<std::pair<dev_t, ino_t>> onPath_;
};

}  // namespace

bool ForEachSourceFile(const std::string& root,
                       const std::function<bool(const std::string&)>& visit) {
    Walk walk(visit);
    std::string path = root;
    return walk.Folder(path);
}
