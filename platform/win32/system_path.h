// Core paths (UTF-8) as the wide system calls want them: absolute, and with
// the long-path prefix so that no 259-character limit applies.
#pragma once

#include <string>

namespace os::win32 {

// The path for the W calls: relative paths, forward slashes and "." or ".."
// components resolved against the current folder first (the prefixed form
// takes every character literally); then "\\?\" before a drive path and
// "\\?\UNC\" in place of the "\\" of a share. Paths that already carry a
// "\\?\" or "\\.\" prefix pass unchanged. Empty for a null or empty path.
std::wstring SystemPath(const char* path);

}  // namespace os::win32
