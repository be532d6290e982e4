// POSIX side of the stand-in host: dlopen, the terminal check and the
// scripted answer for the module's terminal dialogs.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "standin/standin_os.h"
#include "platform/os_dialog.h"

namespace standin_os {

void* LoadModule(const char* path, std::string& error) {
    // A bare name would be looked up in the library path; the host loads a
    // file, so make it a path.
    std::string file = path;
    if (file.find('/') == std::string::npos) file = "./" + file;
    void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        error = reason ? reason : "unknown error";
    }
    return module;
}

void* FindExport(void* module, const char* name) { return dlsym(module, name); }

void UnloadModule(void* module) {
    if (module != nullptr) dlclose(module);
}

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "./";
    std::string path(buffer, static_cast<size_t>(n));
    return path.substr(0, path.find_last_of('/') + 1);
}

const char kDialogPlace[] = "terminal";

namespace {

bool HasTerminal() {
    const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    close(fd);
    return true;
}

}  // namespace

bool CanShowDialogs() { return getenv(os::kKeyScriptVariable) != nullptr || HasTerminal(); }

std::string NoDialogReason() {
    if (getenv(os::kKeyScriptVariable) != nullptr) {
        return std::string("the keys in ") + os::kKeyScriptVariable +
               " did not answer it (a name that is no key, or too few keys)";
    }
    if (!HasTerminal()) return "no terminal to show it on (--yes answers it)";
    return std::string();
}

// The module's terminal dialogs read their keys from this variable instead of
// the terminal; the dialogs still run and still route every key.
void AnswerDialogsWith(const char* keys) { setenv(os::kKeyScriptVariable, keys, 1); }

std::string FileStamp(const char* path) {
    struct stat st;
    if (stat(path, &st) != 0) return std::string();
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" +
           std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec) + ":" + std::to_string(st.st_ctim.tv_sec) + "." +
           std::to_string(st.st_ctim.tv_nsec);
}

namespace {

PathKind KindOfMode(mode_t mode) {
    if (S_ISDIR(mode)) return PathKind::kFolder;
    if (S_ISREG(mode)) return PathKind::kFile;
    if (S_ISLNK(mode)) return PathKind::kLink;
    return PathKind::kOther;
}

}  // namespace

PathKind KindOf(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    struct stat st;
    if (lstat(trimmed.c_str(), &st) != 0) return PathKind::kMissing;
    return KindOfMode(st.st_mode);
}

bool ListFolder(const std::string& path, std::vector<FolderItem>& items) {
    items.clear();
    DIR* folder = opendir(path.c_str());
    if (folder == nullptr) return false;
    std::string prefix = path;
    if (prefix.empty() || prefix.back() != '/') prefix += '/';
    while (const dirent* entry = readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        FolderItem item{entry->d_name, PathKind::kOther};
        switch (entry->d_type) {
            case DT_DIR:
                item.kind = PathKind::kFolder;
                break;
            case DT_REG:
                item.kind = PathKind::kFile;
                break;
            case DT_LNK:
                item.kind = PathKind::kLink;
                break;
            case DT_UNKNOWN:  // the file system does not say: ask
                item.kind = KindOf(prefix + item.name);
                break;
            default:
                break;
        }
        items.push_back(std::move(item));
    }
    closedir(folder);
    return true;
}

}  // namespace standin_os
