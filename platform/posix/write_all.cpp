#include "platform/posix/write_all.h"

#include <errno.h>
#include <unistd.h>

namespace os::posix {

bool WriteAll(int fd, const void* bytes, size_t count) {
    const char* p = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t n = write(fd, p, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace os::posix
