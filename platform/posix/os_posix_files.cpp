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
// becoming the process's controlling terminal. name is relative to folder.
int OpenForReading(int folder, const char* name) {
    int fd;
    do {
        fd = openat(folder, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool IsSpecialFile(const struct stat& st) { return !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode); }

// Opens the file name in folder (AT_FDCWD: name is a path); path is its
// whole path.
OpenStatus OpenIn(int folder, const char* name, const char* path, SourceFile& file) {
    file = SourceFile{};
    if (posix_hooks::beforeOpen != nullptr) posix_hooks::beforeOpen(path);
    const int fd = OpenForReading(folder, name);
    struct stat st;
    if (fd < 0) {
        // A socket cannot be opened at all; it is still no unreadable source.
        if (fstatat(folder, name, &st, 0) == 0 && IsSpecialFile(st)) return OpenStatus::kNotRegular;
        return OpenStatus::kFailed;
    }
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

}  // namespace

// Views are 64 KiB as on Windows: large enough that a file costs few reads,
// small enough that the buffer stays in the processor's cache for the scan.
uint64_t ViewSize() { return 65536; }

OpenStatus OpenSourceFile(const char* path, SourceFile& file) {
    return OpenIn(AT_FDCWD, path, path, file);
}

OpenStatus OpenListedFile(const ListedFile& listed, SourceFile& file) {
    if (listed.folder < 0) return OpenSourceFile(listed.path, file);
    return OpenIn(static_cast<int>(listed.folder), listed.name, listed.path, file);
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

namespace {

// A folder's listing, read from the system a buffer at a time. The folder's
// own descriptor may outlive it (HoldFolder), for opening the listed files.
struct Listing {
    int fd = -1;
    size_t next = 0;  // the next entry's offset in bytes
    size_t end = 0;   // how much of bytes the last read filled
    alignas(struct dirent64) char bytes[32768];
};

}  // namespace

bool OpenFolder(const char* path, FolderScan& scan) {
    scan = FolderScan{};
    if (posix_hooks::beforeOpen != nullptr) posix_hooks::beforeOpen(path);
    auto* listing = new Listing;
    do {
        listing->fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (listing->fd < 0 && errno == EINTR);
    struct stat st;
    if (listing->fd < 0 || fstat(listing->fd, &st) != 0) {
        if (listing->fd >= 0) close(listing->fd);
        delete listing;
        return false;
    }
    scan.handle = listing;
    scan.id = FolderId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return true;
}

NextStatus NextEntry(FolderScan& scan, FolderEntry& entry) {
    auto* listing = static_cast<Listing*>(scan.handle);
    if (listing == nullptr || listing->fd < 0) return NextStatus::kFailed;
    const struct dirent64* d;
    do {
        if (listing->next >= listing->end) {
            ssize_t n;
            do {
                n = getdents64(listing->fd, listing->bytes, sizeof listing->bytes);
            } while (n < 0 && errno == EINTR);
            if (n < 0) return NextStatus::kFailed;
            if (n == 0) return NextStatus::kEnd;
            listing->next = 0;
            listing->end = static_cast<size_t>(n);
        }
        d = reinterpret_cast<const struct dirent64*>(listing->bytes + listing->next);
        listing->next += d->d_reclen;
    } while (d->d_ino == 0);  // a deleted entry some file systems leave in place
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
    auto* listing = static_cast<Listing*>(scan.handle);
    if (listing != nullptr) {
        if (listing->fd >= 0) close(listing->fd);
        delete listing;
    }
    scan = FolderScan{};
}

intptr_t HoldFolder(FolderScan& scan) {
    auto* listing = static_cast<Listing*>(scan.handle);
    intptr_t folder = -1;
    if (listing != nullptr) {
        folder = listing->fd;
        listing->fd = -1;
    }
    CloseFolder(scan);
    return folder;
}

void ReleaseFolder(intptr_t folder) {
    if (folder >= 0) close(static_cast<int>(folder));
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
