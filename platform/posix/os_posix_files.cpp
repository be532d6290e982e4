// POSIX: source files read view by view, folder enumeration and the report
// file.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <new>

#include "platform/os.h"
#include "platform/posix/os_posix_hooks.h"
#include "platform/posix/write_all.h"

namespace os {

namespace posix_hooks {
void (*beforeOpen)(const char* path) = nullptr;
ssize_t (*readAt)(int fd, void* buffer, size_t count, off_t offset) = nullptr;
}  // namespace posix_hooks

namespace {

// Opens without blocking (a FIFO would wait for a writer) and without ever
// becoming the process's controlling terminal.
int OpenForReading(const char* path) {
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool IsSpecialFile(const struct stat& st) { return !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode); }

}  // namespace

// Views are 64 KiB as on Windows: large enough that a file costs few reads,
// small enough that the buffer stays in the processor's cache for the scan.
uint64_t ViewSize() { return 65536; }

OpenStatus OpenSourceFile(const char* path, SourceFile& file) {
    file = SourceFile{};
    if (posix_hooks::beforeOpen != nullptr) posix_hooks::beforeOpen(path);
    const int fd = OpenForReading(path);
    if (fd < 0) {
        // A socket cannot be opened at all; it is still no unreadable source.
        struct stat st;
        if (stat(path, &st) == 0 && IsSpecialFile(st)) return OpenStatus::kNotRegular;
        return OpenStatus::kFailed;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return OpenStatus::kFailed;
    }
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        return S_ISDIR(st.st_mode) ? OpenStatus::kFailed : OpenStatus::kNotRegular;
    }
    file.handle = fd;
    file.size = static_cast<uint64_t>(st.st_size);
    return OpenStatus::kOpened;
}

void CloseSourceFile(SourceFile& file) {
    if (file.handle >= 0) close(static_cast<int>(file.handle));
    file = SourceFile{};
}

ViewReader::ViewReader(uint64_t viewSize) : viewSize_(viewSize) {
    if (static_cast<size_t>(viewSize) != viewSize) throw std::bad_alloc();
    buffer_ = new unsigned char[static_cast<size_t>(viewSize)];
}

ViewReader::~ViewReader() { delete[] buffer_; }

bool ViewReader::Read(const SourceFile& file, uint64_t offset, size_t length,
                      void (*feed)(void* context, const unsigned char* bytes), void* context) {
    if (length == 0 || length > viewSize_ || file.handle < 0) return false;
    const auto readAt = posix_hooks::readAt != nullptr ? posix_hooks::readAt : pread;
    size_t done = 0;
    while (done < length) {
        const ssize_t n = readAt(static_cast<int>(file.handle), buffer_ + done, length - done,
                                 static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        // An error, or the end of a file cut short below the size it had.
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    feed(context, buffer_);
    return true;
}

bool OpenFolder(const char* path, FolderScan& scan) {
    scan = FolderScan{};
    if (posix_hooks::beforeOpen != nullptr) posix_hooks::beforeOpen(path);
    DIR* dir = opendir(path);
    if (dir == nullptr) return false;
    struct stat st;
    if (fstat(dirfd(dir), &st) != 0) {
        closedir(dir);
        return false;
    }
    scan.handle = dir;
    scan.id = FolderId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return true;
}

NextStatus NextEntry(FolderScan& scan, FolderEntry& entry) {
    errno = 0;
    const struct dirent* d = readdir(static_cast<DIR*>(scan.handle));
    if (d == nullptr) return errno == 0 ? NextStatus::kEnd : NextStatus::kFailed;
    entry.name = d->d_name;
    entry.nameLength = std::strlen(d->d_name);
    switch (d->d_type) {
        case DT_REG:
            entry.kind = EntryKind::kFile;
            break;
        case DT_DIR:
            entry.kind = EntryKind::kFolder;
            break;
        case DT_FIFO:
        case DT_SOCK:
        case DT_CHR:
        case DT_BLK:
            entry.kind = EntryKind::kSpecial;
            break;
        default:  // links and file systems that do not say: stat decides
            entry.kind = EntryKind::kUnknown;
            break;
    }
    return NextStatus::kEntry;
}

void CloseFolder(FolderScan& scan) {
    if (scan.handle != nullptr) closedir(static_cast<DIR*>(scan.handle));
    scan = FolderScan{};
}

bool CreateReportFile(const char* path, ReportFile& file) {
    file = ReportFile{};
    // Non-blocking so that a FIFO without a reader fails instead of hanging.
    int fd;
    do {
        fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return false;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    file.handle = fd;
    file.regular = S_ISREG(st.st_mode);
    return true;
}

bool WriteReport(ReportFile& file, const void* bytes, size_t count) {
    return posix::WriteAll(static_cast<int>(file.handle), bytes, count);
}

bool CloseReportFile(ReportFile& file) {
    if (file.handle < 0) return false;
    // On Linux the descriptor is gone even when close is interrupted.
    const bool closed = close(static_cast<int>(file.handle)) == 0 || errno == EINTR;
    file.handle = -1;
    return closed;
}

void RemoveReportFile(const char* path, const ReportFile& file) {
    if (file.regular) unlink(path);
}

}  // namespace os
