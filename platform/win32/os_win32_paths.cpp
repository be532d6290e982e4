// Windows: the core's paths are UTF-8 and take either slash; the host's
// strings are in the ANSI code page. Built into a library of its own, which
// the stand-in host shares.
#include <windows.h>

#include "platform/os.h"
#include "platform/win32/system_path.h"
#include "platform/win32/wide_text.h"

namespace os {

const char kSeparator = '\\';

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string PathFromHost(const char* hostText) { return win32::NarrowFromAnsi(hostText); }

bool IsFolder(const char* path) {
    const std::wstring wide = win32::SystemPath(path);
    if (wide.empty()) return false;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace os
