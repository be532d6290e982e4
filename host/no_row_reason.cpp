#include "host/no_row_reason.h"

#include <vector>

#include "counting/source_names.h"
#include "host/entry_list.h"
#include "host/host_os.h"
#include "platform/os.h"

namespace {

struct Look {
    bool unreadable = false;
    bool sources = false;
};

// Walks the folder as the module does: into links to folders too, but not
// into a folder already on the path (a cycle). A folder that cannot be
// listed, or a source file that cannot be opened, makes the tree unreadable.
void LookAt(const std::string& folder, std::vector<std::string>& onPath, Look& look) {
    const std::string id = host_os::FolderIdentity(folder);
    for (const std::string& above : onPath) {
        if (above == id) return;
    }
    std::vector<host_os::FolderItem> items;
    if (id.empty() || !host_os::ListFolder(folder, items)) {
        look.unreadable = true;
        return;
    }
    onPath.push_back(id);
    for (const host_os::FolderItem& item : items) {
        if (look.unreadable) break;
        const std::string path = folder + os::kSeparator + item.name;
        const bool isFolder = item.kind == host_os::PathKind::kFolder ||
                              (item.kind == host_os::PathKind::kLink &&
                               os::IsFolder(os::PathFromHost(path.c_str()).c_str()));
        if (isFolder) {
            LookAt(path, onPath, look);
        } else if (item.kind != host_os::PathKind::kOther &&
                   IsSourceFileName(item.name.c_str(), item.name.size())) {
            look.sources = true;
            if (!host_os::CanOpenForReading(path)) look.unreadable = true;
        }
    }
    onPath.pop_back();
}

}  // namespace

std::string NoRowReason(const std::string& source, const std::string& entry) {
    const std::string path = WithoutTrailingSeparators(source + entry, os::IsSeparator);
    if (host_os::KindOf(path) == host_os::PathKind::kMissing) return "missing";
    if (!os::IsFolder(os::PathFromHost(path.c_str()).c_str())) return "not a folder";
    std::vector<std::string> onPath;
    Look look;
    LookAt(path, onPath, look);
    if (look.unreadable) return "a file below could not be read";
    if (!look.sources) return "no source files found";
    return "its source files hold no complete line";
}
