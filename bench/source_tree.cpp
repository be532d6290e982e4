#include "bench/source_tree.h"

#include "counting/folder_walk.h"
#include "counting/source_names.h"

namespace {

// The report's own walk, keeping only the files the report would measure.
class SourceFiles final : public FolderVisitor {
public:
    SourceFiles(const std::function<bool(const std::string&)>& visit, bool reads)
        : visit_(visit), reads_(reads) {}

    bool VisitFile(const os::ListedFile& file) override {
        if (!IsSourceFileName(file.path, file.length)) return true;
        return visit_(std::string(file.path, file.length));
    }

    bool ReadsFile(const char* name, size_t length) override {
        return reads_ && IsSourceFileName(name, length);
    }

private:
    const std::function<bool(const std::string&)>& visit_;
    bool reads_;
};

}  // namespace

bool ForEachSourceFile(const std::string& root,
                       const std::function<bool(const std::string&)>& visit, bool reads) {
    SourceFiles files(visit, reads);
    return WalkFolder(root.c_str(), files);
}
