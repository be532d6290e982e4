#include "standin/no_row_reason.h"

#include "counting/folder_walk.h"
#include "counting/source_names.h"
#include "standin/entry_list.h"
#include "standin/standin_os.h"
#include "platform/os.h"

namespace {

// Walks the tree with the module's own walk, so that it goes where the
// module's goes (into links to folders, not round a cycle), and opens each
// source file without reading it. A folder that cannot be listed, or a source
// file that cannot be opened, makes the tree unreadable and ends the walk.
class Look final : public FolderVisitor {
public:
    bool VisitFile(const os::ListedFile& listed) override {
        if (!IsSourceFileName(listed.path, listed.length)) return true;
        sources = true;
        os::SourceFile file;
        const os::OpenStatus status = os::OpenListedFile(listed, file);
        if (status == os::OpenStatus::kOpened) os::CloseSourceFile(file);
        return status != os::OpenStatus::kFailed;
    }

    bool sources = false;
};

}  // namespace

std::string NoRowReason(const std::string& source, const std::string& entry) {
    const std::string path = WithoutTrailingSeparators(source + entry, os::IsSeparator);
    if (standin_os::KindOf(path) == standin_os::PathKind::kMissing) return "missing";
    const std::string walked = os::PathFromHost(path.c_str());
    if (!os::IsFolder(walked.c_str())) return "not a folder";
    Look look;
    if (!WalkFolder(walked.c_str(), look)) return "a file below could not be read";
    if (!look.sources) return "no source files found";
    return "its source files hold no complete line";
}
