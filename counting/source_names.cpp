#include "counting/source_names.h"

#include <cstring>

#include "platform/ascii.h"
#include "platform/os.h"

const char* FindExtension(const char* path, size_t length) {
    for (size_t i = length; i > 0; --i) {
        const char c = path[i - 1];
        if (c == '.') return path + i - 1;
        if (os::IsSeparator(c)) break;
    }
    return path + length;
}

bool IsSourceExtension(const char* extension) {
    static const char* const kExtensions[] = {".cpp", ".h", ".c", ".cs", ".js", ".asm"};
    for (const char* known : kExtensions) {
        if (ascii::EqualIgnoringCase(extension, known)) return true;
    }
    return false;
}

bool IsSourceFileName(const char* path, size_t length) {
    return IsSourceExtension(FindExtension(path, length));
}
