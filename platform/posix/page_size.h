// The size of a memory page: what mapped views and fault ranges align to.
#pragma once

#include <unistd.h>

#include <cstdint>

namespace os::posix {

// Asked of the system once; the first call must not come from a signal
// handler (the read guard asks before it arms).
inline uintptr_t PageSize() {
    static const uintptr_t size = [] {
        const long page = sysconf(_SC_PAGESIZE);
        return page > 0 ? static_cast<uintptr_t>(page) : uintptr_t{4096};
    }();
    return size;
}

}  // namespace os::posix
