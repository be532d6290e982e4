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

// ---- memory-mapped reading of source files ---------------------------------

// The size of one read view of a source file: files are read one view of
// at most this many bytes at a time, so memory stays flat whatever their size.
// On Windows it is the allocation granularity, so that view offsets (which
// are multiples of it) can be mapped as they are; MapView accepts any offset.
uint64_t ViewSize();

struct SourceFile {
    intptr_t handle = -1;  // descriptor or file handle
    intptr_t mapping = 0;  // mapping object where the platform has one
    uint64_t size = 0;     // size queried at open; later growth is not read
};

enum class OpenStatus {
    kOpened,      // a regular file, open, with its size (and mapping if non-empty)
    kNotRegular,  // a FIFO, socket or device: measured as empty, nothing held open
    kFailed,      // cannot be opened, sized or mapped; nothing held open
};

// Opens an existing file read-only, sharing reading and writing with others,
// queries its size and, when it is not empty, prepares the mapping.
OpenStatus OpenSourceFile(const char* path, SourceFile& file);

struct View {
    const unsigned char* data = nullptr;  // first byte asked for
    void* base = nullptr;                 // what the platform mapped
    size_t baseLength = 0;
};

// Maps length bytes at offset, read-only. The offset need not be aligned: the
// platform maps from the aligned offset below it and points data past the gap.
bool MapView(const SourceFile& file, uint64_t offset, size_t length, View& view);
void UnmapView(View& view);
void CloseSourceFile(SourceFile& file);

// Runs read(context), which reads the mapped bytes [begin, begin + length).
// A file that shrinks under its mapping, or a disk that fails while it is
// read, makes such a read fault (SIGBUS, an in-page error) and would kill the
// host: here the fault is caught, read is let run to its end over bytes that
// mean nothing, and the result is false. True when no byte of the range
// faulted. Faults at other addresses, on other threads or outside this call
// go to whatever the process had set up before, and that is back in place
// when the call returns. The range must lie in one mapping the caller owns
// and unmaps afterwards: after a fault its remaining pages are replaced.
bool ReadGuarded(const void* begin, size_t length, void (*read)(void* context), void* context);

// Keeps what ReadGuarded sets up in place until the matching
// EndGuardedReads, so that a run reading thousands of views pays for it once
// instead of per view. Optional; what the process had is back in place after
// the last End. Begin's false means nothing was kept: do not call End.
bool BeginGuardedReads();
void EndGuardedReads();

// The same for any callable, e.g. [&] { scanner.Feed(view.data, length); }.
template <typename Read>
bool ReadGuarded(const void* begin, size_t length, Read&& read) {
    using Callable = std::remove_reference_t<Read>;
    return ReadGuarded(
        begin, length, [](void* callable) { (*static_cast<Callable*>(callable))(); },
        const_cast<void*>(static_cast<const void*>(&read)));
}

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

// Starts enumerating the folder at path and fills scan.id.
bool OpenFolder(const char* path, FolderScan& scan);

enum class NextStatus { kEntry, kEnd, kFailed };

// The next entry, "." and ".." included, in the platform's order.
NextStatus NextEntry(FolderScan& scan, FolderEntry& entry);
void CloseFolder(FolderScan& scan);

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
