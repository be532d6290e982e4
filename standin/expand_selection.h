// A selection as a file manager passes it to PackFiles: not the selected
// entries alone, but everything below the selected folders.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "standin/standin_os.h"

// What the expansion needs of the file system: what an entry is (not
// following links), and a folder's entries in the system's order.
struct SelectionFileSystem {
    std::function<standin_os::PathKind(const std::string& path)> kindOf;
    std::function<bool(const std::string& path, std::vector<standin_os::FolderItem>& items)> list;
};

// The entries (paths relative to source, which ends with a separator) as the
// file manager expands them: first the entries that are no folder (files,
// links, names of nothing) as given, without trailing separators; then each
// folder with one trailing separator, followed at once by everything below
// it in pre-order: a folder's entries in the order the system lists them,
// each subfolder followed by its own contents. Links are passed as they are
// and never followed. A folder that cannot be listed is passed without its
// contents. The list lives in memory, however many entries it grows to.
std::vector<std::string> ExpandSelection(const std::string& source,
                                         const std::vector<std::string>& entries, char separator,
                                         bool (*isSeparator)(char), const SelectionFileSystem& fs);
