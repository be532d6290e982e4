#include "counting/tally_folder.h"

#include "counting/count_file_lines.h"
#include "counting/folder_walk.h"
#include "platform/os.h"

namespace {

// Measures each file the walk finds and sums the results. The first file
// that cannot be read stops the walk: the whole tree then has no result.
class Summing final : public FolderVisitor {
public:
    explicit Summing(uint64_t chunkSize) : chunkSize_(chunkSize) {}

    bool VisitFile(const char* path, size_t length) override {
        LineTally fileTally;
        if (!CountListedFile(path, length, chunkSize_, fileTally)) return false;
        if (fileTally.total != 0) ++files;
        tally += fileTally;
        return true;
    }

    uint64_t files = 0;
    LineTally tally;

private:
    uint64_t chunkSize_;
};

}  // namespace

bool TallyFolder(const char* path, uint64_t chunkSize, uint64_t& files, LineTally& tally) {
    tally = LineTally{};
    files = 0;
    if (path == nullptr || !os::IsFolder(path)) return false;
    Summing summing(chunkSize);
    if (!WalkFolder(path, summing)) return false;
    files = summing.files;
    tally = summing.tally;
    return true;
}
