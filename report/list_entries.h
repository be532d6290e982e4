// The host's entry list as the report reads it: NUL-terminated entries
// relative to the source folder, laid end to end, ended by an empty one.
#pragma once

#include <cstring>
#include <string>

#include "platform/os.h"

// The entry after entry; the empty one that ends the list stays where it is.
inline const char* NextEntry(const char* entry) {
    return *entry == '\0' ? entry : entry + std::strlen(entry) + 1;
}

// The path the walks give the entry: folder (the source folder, ending in a
// separator) and the entry in the platform's encoding.
inline std::string EntryPath(const std::string& folder, const char* entry) {
    return folder + os::PathFromHost(entry);
}
