// The arguments the file manager hands to PackFiles, built from a command
// line: the source folder with one trailing separator, and the selected
// entries laid end to end, each NUL-terminated, ended by an empty one.
#pragma once

#include <string>
#include <vector>

// path without its trailing separators, as a user names a file or folder;
// a path made only of separators keeps its first one ("/" stays "/").
std::string WithoutTrailingSeparators(const std::string& path, bool (*isSeparator)(char));

// folder with any trailing separators replaced by exactly one ("/" stays "/").
std::string SourceWithSeparator(const std::string& folder, char separator,
                                bool (*isSeparator)(char));

// An entry as the file manager marks it: a folder gets exactly one trailing
// separator, anything else is passed as the user gave it.
std::string MarkEntry(const std::string& entry, bool isFolder, char separator,
                      bool (*isSeparator)(char));

// The entries laid end to end with their terminators and the final empty one.
std::string EntryList(const std::vector<std::string>& entries);

// The reverse, as the module reads it: the entries up to the first empty one.
std::vector<std::string> SplitEntryList(const char* list);
