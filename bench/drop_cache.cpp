// Drops the page cache of the files named in a list, so that the next read
// of them comes from storage: posix_fadvise(POSIX_FADV_DONTNEED) on each,
// which needs no privileges beyond opening the file. Pages that are dirty or
// mapped by a process stay.
//
//   drop_cache LIST     (LIST: paths, each ended by a NUL)
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: drop_cache LIST\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "drop_cache: cannot read %s\n", argv[1]);
        return 2;
    }
    unsigned long dropped = 0, failed = 0;
    std::string path;
    while (std::getline(in, path, '\0')) {
        if (path.empty()) continue;
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0 || posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) != 0) {
            ++failed;
        } else {
            ++dropped;
        }
        if (fd >= 0) close(fd);
    }
    std::printf("dropped the cache of %lu files (%lu failed)\n", dropped, failed);
    return failed == 0 ? 0 : 1;
}
