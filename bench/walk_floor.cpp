// The floor for a report: walks the same trees as the report does and, for
// each file the report would measure, does only what any reader of mapped
// views must do: open, fstat, map each 64 KiB view, touch each page of it,
// unmap, close. No line is counted.
//
//   walk_floor [--list] FOLDER...
//
// --list prints the files (NUL-separated) instead of reading them, so that
// other programs can be given exactly the same files. Without it, prints the
// number of files and bytes read. The walk is the report's own
// (counting/folder_walk.h): links to folders are followed, except into a
// folder already on the current path, and on a cold cache the files ahead
// are hinted, as the report's are.
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
    uint64_t touched = 0;  // sum of one byte per page, so the reads are not optimised away
};

bool TouchFile(const char* path, Totals& totals) {
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
    const long page = sysconf(_SC_PAGESIZE);
    for (uint64_t offset = 0; offset < size; offset += kView) {
        const size_t length = static_cast<size_t>(size - offset < kView ? size - offset : kView);
        void* view = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, static_cast<off_t>(offset));
        if (view == MAP_FAILED) {
            close(fd);
            return false;
        }
        const auto* bytes = static_cast<const volatile unsigned char*>(view);
        for (size_t at = 0; at < length; at += static_cast<size_t>(page))
            totals.touched += bytes[at];
        munmap(view, length);
    }
    close(fd);
    ++totals.files;
    totals.bytes += size;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bool list = false;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--list") == 0) {
        list = true;
        first = 2;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: walk_floor [--list] FOLDER...\n");
        return 2;
    }
    Totals totals;
    const auto visit = [&](const std::string& path) {
        if (!list) return TouchFile(path.c_str(), totals);
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
