// The narrow interface between the portable core and the operating system.
//
// Everything in counting/, report/, dialog/ and plugin/ that touches the OS
// goes through these declarations and those of os_dialog.h; each platform
// implements them once, in its own folder (platform/posix, platform/win32).
// No platform header is included here or by the core.
//
// Paths are narrow strings in the platform's internal path encoding: bytes as
// the file system has them on POSIX, UTF-8 on Windows (converted to UTF-16 at
// the system calls, so names outside the ANSI code page still work). Strings
// that arrive from the host are converted once with PathFromHost().
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

namespace os {

// ---- paths ---------------------------------------------------------------

// The separator the platform puts between path components.
extern const char kSeparator;

// Whether c ends a path component on this platform.
bool IsSeparator(char c);

// Converts a narrow string from the host (the ANSI code page on Windows) to
// the internal path encoding.
std::string PathFromHost(const char* hostText);

// Whether path names a folder (links to folders count as folders).
bool IsFolder(const char* path);

// ---- reading source files, view by view ------------------------------------

// The size of one read view of a source file: files are read one view of
// at most this many bytes at a time, so memory stays flat whatever their size.
// On Windows it is the allocation granularity, so that view offsets (which
// are multiples of it) can be mapped as they are.
uint64_t ViewSize();

struct SourceFile {
    intptr_t handle = -1;  // descriptor or file handle
    intptr_t mapping = 0;  // mapping object where the platform maps views
    uint64_t size = 0;     // size queried at open; later growth is not read
};

enum class OpenStatus {
    kOpened,      // a regular file, open, with its size (and mapping if non-empty)
    kNotRegular,  // a FIFO, socket or device: measured as empty, nothing held open
    kFailed,      // cannot be opened, sized or mapped; nothing held open
};

// Opens an existing file read-only, sharing reading and writing with others,
// queries its size and, where views are mapped and it is not empty, prepares
// the mapping.
OpenStatus OpenSourceFile(const char* path, SourceFile& file);
void CloseSourceFile(SourceFile& file);

// A file that a folder's listing named.
struct ListedFile {
    const char* path = nullptr;  // its whole path, NUL-terminated at length
    size_t length = 0;
    const char* name = nullptr;  // its bare name: the end of path
    intptr_t folder = -1;        // the folder, held open by HoldFolder, or -1
};

// OpenSourceFile for a listed file: opened by name in its held folder, which
// spares the system a lookup of every folder on its path; by path where no
// folder is held.
OpenStatus OpenListedFile(const ListedFile& listed, SourceFile& file);

// What a run reads the views of its source files with: made once per run and
// lent to every file it reads, never made per file. POSIX reads each view
// into the reader's one buffer: for files already in the page cache, copying
// 64 KiB costs less than a mapping's set-up, page faults and tear-down, and a
// file cut short gives a short read, never a signal, so nothing process-wide
// is touched. Windows maps each view, the reading its platform offers here
// (nothing here measures a copy against it), and keeps its guard against
// in-page errors in place for the reader's life.
class ViewReader {
public:
    // Views of at most viewSize bytes. Throws std::bad_alloc when the
    // platform's buffer cannot be had.
    explicit ViewReader(uint64_t viewSize);
    ~ViewReader();
    ViewReader(const ViewReader&) = delete;
    ViewReader& operator=(const ViewReader&) = delete;

    uint64_t viewSize() const { return viewSize_; }

    // Hands feed(context, bytes) the length bytes of file at offset, then
    // returns true. length is at most viewSize(), and the view lies within
    // file.size. False when the bytes cannot be read: the file was cut short
    // below them meanwhile, the storage failed, or length is 0. On Windows a
    // view that faults while feed reads it stops feed where it faulted, so
    // feed must hold nothing that needs undoing; on POSIX feed runs only on
    // bytes read in full. An interrupted read is resumed.
    bool Read(const SourceFile& file, uint64_t offset, size_t length,
              void (*feed)(void* context, const unsigned char* bytes), void* context);

    // The same for any callable, e.g. [&](const unsigned char* bytes) { ... }.
    template <typename Feed>
    bool Read(const SourceFile& file, uint64_t offset, size_t length, Feed&& feed) {
        using Callable = std::remove_reference_t<Feed>;
        return Read(
            file, offset, length,
            [](void* callable, const unsigned char* bytes) {
                (*static_cast<Callable*>(callable))(bytes);
            },
            const_cast<void*>(static_cast<const void*>(&feed)));
    }

private:
    uint64_t viewSize_;
    unsigned char* buffer_ = nullptr;  // where views are read into, where the platform reads them
    bool guarded_ = false;             // the fault guard is held, where the platform maps views
};

// ---- reading ahead ---------------------------------------------------------

// Asks the system to start reading the file at path into its cache, because
// it will be read soon. Returns without waiting for the read and holds
// nothing open afterwards; a path that cannot be opened, or that is no plain
// file, is passed over. Does nothing where the platform has no hint that
// works without holding the file open (Windows).
void HintWillRead(const char* path);

// How many bytes the system has read from storage, not from its cache, on
// behalf of the calling thread so far: a count that only grows. Always 0
// where the platform does not count them; nothing is hinted then.
uint64_t StorageBytesRead();

// ---- folder enumeration ----------------------------------------------------

// Identifies a folder on the machine, so a walk can tell it has come back to a
// folder it is already inside (device and inode, or volume and file index).
struct FolderId {
    uint64_t volume = 0;
    uint64_t index = 0;
    friend bool operator==(const FolderId&, const FolderId&) = default;
};

enum class EntryKind : unsigned char {
    kFile,
    kFolder,
    kSpecial,  // a FIFO, socket or device: never opened, measured as empty
    kUnknown,  // the enumeration could not tell (a link, say): ask IsFolder()
};

struct FolderScan {
    void* handle = nullptr;
    FolderId id;
};

struct FolderEntry {
    const char* name = nullptr;  // valid until the next NextEntry or CloseFolder
    size_t nameLength = 0;
    EntryKind kind = EntryKind::kUnknown;
};

// Starts enumerating the folder at path and fills scan.id. Memory running
// out throws std::bad_alloc, with nothing held open.
bool OpenFolder(const char* path, FolderScan& scan);

enum class NextStatus { kEntry, kEnd, kFailed };

// The next entry, "." and ".." included, in the platform's order.
NextStatus NextEntry(FolderScan& scan, FolderEntry& entry);
void CloseFolder(FolderScan& scan);

// Ends the enumeration as CloseFolder does, but keeps the folder itself open
// for opening the files its listing named (ListedFile::folder), until
// ReleaseFolder. -1, with nothing held, where the platform opens files by
// path only (Windows).
intptr_t HoldFolder(FolderScan& scan);
void ReleaseFolder(intptr_t folder);

// ---- the report file -------------------------------------------------------

struct ReportFile {
    intptr_t handle = -1;
    bool regular = false;  // only a regular file we created may be removed again
};

// Always creates, replacing any existing file; others may read it meanwhile.
bool CreateReportFile(const char* path, ReportFile& file);

// Writes all of the bytes or reports failure.
bool WriteReport(ReportFile& file, const void* bytes, size_t count);

// Closes the file; false when the platform reports that data was lost.
bool CloseReportFile(ReportFile& file);

// Removes a report that could not be finished. Does nothing for a report
// that is not a regular file (a device, say).
void RemoveReportFile(const char* path, const ReportFile& file);

// ---- the settings file (an INI file) -----------------------------------------

// Replaces the keys of section with the given NUL-separated, double-NUL-ended
// "key=value" list. file is a bare name placed in the platform's folder for
// such files. Returns whether the write took effect.
bool WriteSettingsSection(const char* section, const char* keyValues, const char* file);

// Sets key in section to value, keeping every other section and key.
bool WriteSettingsValue(const char* section, const char* key, const char* value, const char* file);

}  // namespace os
