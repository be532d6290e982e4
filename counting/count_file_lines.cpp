#include "counting/count_file_lines.h"

#include <cstring>

#include "counting/line_scanner.h"
#include "counting/source_names.h"
#include "platform/os.h"

namespace {

// Reads the whole file view by view, in order, each view starting where the
// one before ended, so memory stays flat whatever the file size.
bool ScanFile(const os::SourceFile& file, os::ViewReader& reader, LineScanner& scanner) {
    const uint64_t viewSize = reader.viewSize();
    uint64_t offset = 0;
    while (offset < file.size) {
        const uint64_t remaining = file.size - offset;
        const size_t length = static_cast<size_t>(remaining < viewSize ? remaining : viewSize);
        // A file cut short meanwhile cannot be read to the size it had: that
        // fails this file, and only this file.
        if (!reader.Read(file, offset, length,
                         [&](const unsigned char* bytes) { scanner.Feed(bytes, length); })) {
            return false;
        }
        offset += length;
    }
    return true;
}

}  // namespace

bool CountListedFile(const os::ListedFile& listed, os::ViewReader& reader, LineTally& tally) {
    tally = LineTally{};
    if (listed.path == nullptr) return false;
    if (!IsSourceFileName(listed.path, listed.length)) return true;
    if (reader.viewSize() == 0) return false;  // no view could ever make progress

    os::SourceFile file;
    switch (os::OpenListedFile(listed, file)) {
        case os::OpenStatus::kFailed:
            return false;
        case os::OpenStatus::kNotRegular:
            return true;  // a FIFO or device would block or never end: count it empty
        case os::OpenStatus::kOpened:
            break;
    }
    LineScanner scanner;
    const bool read = ScanFile(file, reader, scanner);
    os::CloseSourceFile(file);
    if (!read) return false;
    tally = scanner.Finish();
    return true;
}

bool CountFileLines(const char* path, os::ViewReader& reader, LineTally& tally) {
    tally = LineTally{};
    if (path == nullptr) return false;
    if (os::IsFolder(path)) return true;
    return CountListedFile(os::ListedFile{path, std::strlen(path), path, -1}, reader, tally);
}
