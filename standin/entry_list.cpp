#include "standin/entry_list.h"

#include <cstring>

namespace {

// path without the trailing separators beyond its first keep characters.
std::string Trimmed(const std::string& path, bool (*isSeparator)(char), size_t keep) {
    size_t end = path.size();
    while (end > keep && isSeparator(path[end - 1])) --end;
    return path.substr(0, end);
}

}  // namespace

std::string WithoutTrailingSeparators(const std::string& path, bool (*isSeparator)(char)) {
    return Trimmed(path, isSeparator, 1);
}

std::string SourceWithSeparator(const std::string& folder, char separator,
                                bool (*isSeparator)(char)) {
    std::string trimmed = Trimmed(folder, isSeparator, 0);
    trimmed += separator;  // the root ("/") trims to nothing and gets it back
    return trimmed;
}

std::string MarkEntry(const std::string& entry, bool isFolder, char separator,
                      bool (*isSeparator)(char)) {
    if (!isFolder) return entry;
    std::string trimmed = Trimmed(entry, isSeparator, 0);
    trimmed += separator;
    return trimmed;
}

std::string EntryList(const std::vector<std::string>& entries) {
    std::string list;
    for (const std::string& entry : entries) {
        // An entry cannot hold a NUL; an empty one would end the list early,
        // so the caller's entries are taken as they are and stop there too.
        list.append(entry.c_str());
        list += '\0';
    }
    list += '\0';
    return list;
}

std::vector<std::string> SplitEntryList(const char* list) {
    std::vector<std::string> entries;
    if (list == nullptr) return entries;
    for (const char* p = list; *p != '\0'; p += std::strlen(p) + 1) entries.emplace_back(p);
    return entries;
}
