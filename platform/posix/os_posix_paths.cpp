// POSIX: paths are bytes as the file system has them, separated by '/'.
// Built into a library of its own, which the stand-in host shares.
#include <sys/stat.h>

#include "platform/os.h"

namespace os {

const char kSeparator = '/';

bool IsSeparator(char c) { return c == '/'; }

std::string PathFromHost(const char* hostText) { return hostText ? hostText : ""; }

bool IsFolder(const char* path) {
    struct stat st;
    return path != nullptr && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace os
