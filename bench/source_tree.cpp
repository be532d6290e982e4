#include "bench/source_tree.h"

#include "counting/folder_walk.h"
#include "counting/read_ahead.h"
#include "counting/source_names.h"

namespace {

// The report's own walk, keeping only the files the report would measure.
class SourceFiles final : public FolderVisitor {
public:
    explicit SourceFiles(const std::function<bool(const std::string&)>& visit) : visit_(visit) {}

    bool VisitFile(const os::ListedFile& file) override {
        if (!IsSourceFileName(file.path, file.length)) return true;
        return visit_(std::string(file.path, file.length));
    }

private:
    const std::function<bool(const std::string&)>& visit_;
};

}  // namespace

bool ForEachSourceFile(const std::string& root,
                       const std::function<bool(const std::string&)>& visit, bool reads) {
    SourceFiles files(visit);
    if (!reads) return WalkFolder(root.c_str(), files);
    // The same files read ahead as the report reads ahead.
    ReadAhead readAhead(IsSourceFileName);
    return WalkFolder(root.c_str(), files, &readAhead);
}
