#include "standin/expand_selection.h"

#include <utility>

#include "standin/entry_list.h"

namespace {

// Appends the folder entry (ending with a separator) and everything below
// it. One listing per level of the current path is held, never a descriptor,
// so neither depth nor width can exhaust them.
void AppendTree(const std::string& source, const std::string& folder, char separator,
                const SelectionFileSystem& fs, std::vector<std::string>& out) {
    struct Level {
        std::string prefix;
        std::vector<standin_os::FolderItem> items;
        size_t next = 0;
    };
    std::vector<Level> path;
    const auto enter = [&](const std::string& prefix) {
        out.push_back(prefix);
        Level level{prefix, {}, 0};
        if (!fs.list(source + prefix, level.items)) level.items.clear();
        path.push_back(std::move(level));
    };
    enter(folder);
    while (!path.empty()) {
        Level& level = path.back();
        if (level.next == level.items.size()) {
            path.pop_back();
            continue;
        }
        const standin_os::FolderItem& item = level.items[level.next++];
        std::string entry = level.prefix + item.name;
        if (item.kind == standin_os::PathKind::kFolder) {
            enter(entry + separator);  // level is not used past this point
        } else {
            out.push_back(std::move(entry));
        }
    }
}

}  // namespace

std::vector<std::string> ExpandSelection(const std::string& source,
                                         const std::vector<std::string>& entries, char separator,
                                         bool (*isSeparator)(char), const SelectionFileSystem& fs) {
    std::vector<std::string> folders, out;
    for (const std::string& entry : entries) {
        std::string name = WithoutTrailingSeparators(entry, isSeparator);
        if (fs.kindOf(source + name) == standin_os::PathKind::kFolder) {
            folders.push_back(name + separator);
        } else {
            out.push_back(std::move(name));
        }
    }
    for (const std::string& folder : folders) AppendTree(source, folder, separator, fs, out);
    return out;
}
