// Which files are measured: the C family, by extension.
#pragma once

#include <cstddef>

// The extension of the last path component, from its last dot ("" when the
// component has no dot). Returns a pointer into path.
const char* FindExtension(const char* path, size_t length);

// Whether the extension is one of ".cpp", ".h", ".c", ".cs", ".js", ".asm",
// compared without regard to ASCII letter case.
bool IsSourceExtension(const char* extension);

// Both of the above for one path.
bool IsSourceFileName(const char* path, size_t length);
