// The floors for a report: walks the same trees as the report does and, for
// each file the report would measure, does only what any reader must do. No
// line is counted.
//
//   walk_floor [--read | --list] FOLDER...
//
// Without an option, the mapped floor: open, fstat, map each 64 KiB view,
// touch each page of it, unmap, close. --read, the read floor: open, fstat,
// read each 64 KiB view into one buffer, close; what the page cache hands out
// at best. Both print the number of files and bytes read. --list prints the
// files (NUL-separated) instead of reading them, so that other programs can
// be given exactly the same files. The walk is the report's own
// (counting/folder_walk.h): links to folders are followed, except into a
// folder already on the current path, and on a cold cache the files ahead
// are hinted, as the report's are.
#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/source_tree.h"

namespace {

constexpr size_t kView = 65536;

struct Totals {
    uint64_t files = 0;
    uint64_t bytes = 0;
    uint64_t touched = 0;  // sum of the bytes touched, so the reads are not optimised away
};

enum class Mode { kMap, kRead, kList };

// Maps each view and touches each page of it.
bool MapViews(int fd, uint64_t size, Totals& totals) {
    const long page = sysconf(_SC_PAGESIZE);
    for (uint64_t offset = 0; offset < size; offset += kView) {
        const size_t length = static_cast<size_t>(size - offset < kView ? size - offset : kView);
        void* view = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, static_cast<off_t>(offset));
        if (view == MAP_FAILED) return false;
        const auto* bytes = static_cast<const volatile unsigned char*>(view);
        for (size_t at = 0; at < length; at += static_cast<size_t>(page))
            totals.touched += bytes[at];
        munmap(view, length);
    }
    return true;
}

// Reads each view into the one buffer, as the report does, and touches its
// first byte.
bool ReadViews(int fd, uint64_t size, Totals& totals) {
    static unsigned char buffer[kView];
    for (uint64_t offset = 0; offset < size; offset += kView) {
        const size_t length = static_cast<size_t>(size - offset < kView ? size - offset : kView);
        size_t done = 0;
        while (done < length) {
            const ssize_t n =
                pread(fd, buffer + done, length - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        totals.touched += buffer[0];
    }
    return true;
}

bool ReadFile(const char* path, Mode mode, Totals& totals) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {  // a device or FIFO behind a link: the report counts it empty
        close(fd);
        return true;
    }
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    const bool read =
        mode == Mode::kRead ? ReadViews(fd, size, totals) : MapViews(fd, size, totals);
    close(fd);
    if (!read) return false;
    ++totals.files;
    totals.bytes += size;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Mode mode = Mode::kMap;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--list") == 0) {
        mode = Mode::kList;
        first = 2;
    } else if (argc > 1 && std::strcmp(argv[1], "--read") == 0) {
        mode = Mode::kRead;
        first = 2;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: walk_floor [--read | --list] FOLDER...\n");
        return 2;
    }
    const bool list = mode == Mode::kList;
    Totals totals;
    const auto visit = [&](const std::string& path) {
        if (!list) return ReadFile(path.c_str(), mode, totals);
        std::fwrite(path.c_str(), 1, path.size() + 1, stdout);
        return true;
    };
    bool ok = true;
    for (int i = first; i < argc; ++i) ok = ForEachSourceFile(argv[i], visit, !list) && ok;
    if (!list) {
        std::printf("files %llu bytes %llu (touched %llu)\n",
                    static_cast<unsigned long long>(totals.files),
                    static_cast<unsigned long long>(totals.bytes),
                    static_cast<unsigned long long>(totals.touched));
    }
    if (!ok) std::fprintf(stderr, "walk_floor: some files or folders could not be read\n");
    return ok ? 0 : 1;
}
