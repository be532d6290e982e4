// POSIX: the private profile. A bare file name lands in the user's
// configuration folder ($XDG_CONFIG_HOME, else ~/.config). Every write
// replaces the file atomically, so an interrupted run never leaves it cut short.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/os.h"
#include "platform/posix/ini_text.h"
#include "platform/posix/write_all.h"

namespace os {
namespace {

// A settings file larger than this is not ours to rewrite.
constexpr off_t kLargestProfile = 16 * 1024 * 1024;

std::string ConfigFolder() {
    const char* xdg = getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') return xdg;  // relative values are to be ignored
    const char* home = getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const struct passwd* pw = getpwuid(getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] == '\0') return std::string();
    return std::string(home) + "/.config";
}

// Creates the folder and its missing parents, as the XDG rules ask of writers.
bool MakeFolders(const std::string& folder) {
    struct stat st;
    if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) {
        return false;
    }
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// The file to edit: where a link points, so that the link survives.
std::string ProfilePath(const char* file) {
    const std::string folder = ConfigFolder();
    if (folder.empty() || !MakeFolders(folder)) return std::string();
    std::string path = folder + "/" + file;
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) != nullptr) path = resolved;
    }
    return path;
}

bool ReadAll(int fd, std::string& text) {
    char buffer[8192];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        text.append(buffer, static_cast<size_t>(n));
    }
}

// The current text; false when the file exists but cannot be read, which
// leaves it alone rather than replace it with our two lines.
bool ReadProfile(const std::string& path, std::string& text, mode_t& mode) {
    text.clear();
    mode = 0600;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kLargestProfile;
    if (ok) {
        mode = st.st_mode & 07777;
        ok = ReadAll(fd, text);
    }
    close(fd);
    return ok;
}

// Writes a temporary file beside the target and renames it over the target.
bool ReplaceProfile(const std::string& path, const std::string& text, mode_t mode) {
    std::string temporary = path + ".XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok =
        posix::WriteAll(fd, text.data(), text.size()) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(name.data(), path.c_str()) == 0;
    if (!ok) unlink(name.data());
    return ok;
}

template <typename Edit>
bool EditProfile(const char* file, Edit edit) {
    if (file == nullptr || file[0] == '\0' || std::strchr(file, '/') != nullptr) return false;
    const std::string path = ProfilePath(file);
    if (path.empty()) return false;
    std::string text;
    mode_t mode;
    if (!ReadProfile(path, text, mode)) return false;
    return ReplaceProfile(path, edit(text), mode);
}

}  // namespace

bool WriteSettingsSection(const char* section, const char* keyValues, const char* file) {
    if (section == nullptr || keyValues == nullptr) return false;
    std::vector<std::string> lines;
    for (const char* p = keyValues; *p != '\0'; p += std::strlen(p) + 1) lines.emplace_back(p);
    return EditProfile(
        file, [&](const std::string& text) { return IniReplaceSection(text, section, lines); });
}

bool WriteSettingsValue(const char* section, const char* key, const char* value, const char* file) {
    if (section == nullptr || key == nullptr || value == nullptr) return false;
    return EditProfile(
        file, [&](const std::string& text) { return IniSetValue(text, section, key, value); });
}

}  // namespace os
