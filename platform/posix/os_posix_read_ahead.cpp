// POSIX: hinting the files a walk comes to next, and telling whether the
// files come from storage at all.
#include <errno.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/os.h"
#include "platform/posix/os_posix_hooks.h"

namespace os {

namespace posix_hooks {
void (*beforeHint)(const char* path) = nullptr;
uint64_t (*storageBytesRead)() = nullptr;
}  // namespace posix_hooks

void HintWillRead(const char* path) {
    if (posix_hooks::beforeHint != nullptr) posix_hooks::beforeHint(path);
    // The reader's own flags: a FIFO put there meanwhile cannot block the
    // open, nor a terminal become the process's.
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return;
    // The read is started here and goes on after the close; on anything but
    // a plain file the hint fails harmlessly.
    posix_fadvise(fd, 0, 0, POSIX_FADV_WILLNEED);
    close(fd);
}

uint64_t StorageBytesRead() {
    if (posix_hooks::storageBytesRead != nullptr) return posix_hooks::storageBytesRead();
#ifdef RUSAGE_THREAD
    // The calling thread alone: a host reading files on other threads does
    // not make this walk's files look cold.
    const int who = RUSAGE_THREAD;
#else
    const int who = RUSAGE_SELF;
#endif
    struct rusage usage;
    if (getrusage(who, &usage) != 0) return 0;
    // Blocks of 512 bytes read from storage, whether by read calls, faults on
    // mapped pages or the reads that hints start.
    return static_cast<uint64_t>(usage.ru_inblock) * 512;
}

}  // namespace os
