// Writing a whole buffer to a descriptor, however the kernel splits it.
#pragma once

#include <cstddef>

namespace os::posix {

// Writes all count bytes, resuming after partial writes and interruptions.
// False when a write fails or writes nothing. Uses write() alone, so a signal
// handler may call it too.
bool WriteAll(int fd, const void* bytes, size_t count);

}  // namespace os::posix
