#include "counting/count_file_lines.h"

#include <cstring>

#include "counting/line_scanner.h"
#include "counting/source_names.h"
#include "platform/os.h"

namespace {

// Reads the whole file view by view; one view is mapped at a time and
// released before the next, so memory stays flat whatever the file size.
bool ScanMappedFile(const os::SourceFile& file, uint64_t chunkSize, LineScanner& scanner) {
    uint64_t offset = 0;
    while (offset < file.size) {
        const uint64_t remaining = file.size - offset;
        const size_t length = static_cast<size_t>(remaining < chunkSize ? remaining : chunkSize);
        os::View view;
        if (!os::MapView(file, offset, length, view)) return false;
        // A file cut short meanwhile faults on its vanished pages: guarded,
        // that fails this file instead of the host.
        const bool read =
            os::ReadGuarded(view.data, length, [&] { scanner.Feed(view.data, length); });
        os::UnmapView(view);
        if (!read) return false;
        offset += length;
    }
    return true;
}

}  // namespace

bool CountListedFile(const char* path, size_t length, uint64_t chunkSize, LineTally& tally) {
    tally = LineTally{};
    if (path == nullptr) return false;
    if (!IsSourceFileName(path, length)) return true;
    if (chunkSize == 0) return false;  // no view could ever make progress

    os::SourceFile file;
    switch (os::OpenSourceFile(path, file)) {
        case os::OpenStatus::kFailed:
            return false;
        case os::OpenStatus::kNotRegular:
            return true;  // a FIFO or device would block or never end: count it empty
        case os::OpenStatus::kOpened:
            break;
    }
    LineScanner scanner;
    const bool read = ScanMappedFile(file, chunkSize, scanner);
    os::CloseSourceFile(file);
    if (!read) return false;
    tally = scanner.Finish();
    return true;
}

bool CountFileLines(const char* path, uint64_t chunkSize, LineTally& tally) {
    tally = LineTally{};
    if (path == nullptr) return false;
    if (os::IsFolder(path)) return true;
    return CountListedFile(path, std::strlen(path), chunkSize, tally);
}
