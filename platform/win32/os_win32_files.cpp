// Windows: source files read through mapped views, folder enumeration and
// the report file, all through the wide calls on long-path-prefixed paths.
#include <windows.h>

#include <string>

#include "platform/os.h"
#include "platform/win32/mapped_views.h"
#include "platform/win32/system_path.h"
#include "platform/win32/wide_text.h"

namespace os {

using win32::NarrowFromWide;
using win32::SystemPath;

namespace {

HANDLE AsHandle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }
intptr_t FromHandle(HANDLE handle) { return reinterpret_cast<intptr_t>(handle); }

// What a view's file offset must be a multiple of. Asked once: every view of
// every file needs it.
uint64_t AllocationGranularity() {
    static const uint64_t granularity = [] {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        return static_cast<uint64_t>(info.dwAllocationGranularity);
    }();
    return granularity;
}

}  // namespace

// One view per granule: every offset the reader asks for is then aligned.
uint64_t ViewSize() { return AllocationGranularity(); }

OpenStatus OpenSourceFile(const char* path, SourceFile& file) {
    file = SourceFile{};
    const std::wstring wide = SystemPath(path);
    if (wide.empty()) return OpenStatus::kFailed;
    const HANDLE handle =
        CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return OpenStatus::kFailed;

    // A pipe or a character device would block or never end: measured as empty.
    SetLastError(NO_ERROR);
    const DWORD type = GetFileType(handle);
    if (type != FILE_TYPE_DISK) {
        const bool failed = type == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR;
        CloseHandle(handle);
        return failed ? OpenStatus::kFailed : OpenStatus::kNotRegular;
    }
    // The 64-bit query: no size is mistaken for the failure value.
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle, &size) || size.QuadPart < 0) {
        CloseHandle(handle);
        return OpenStatus::kFailed;
    }
    file.handle = FromHandle(handle);
    file.size = static_cast<uint64_t>(size.QuadPart);
    if (file.size == 0) return OpenStatus::kOpened;  // an empty file cannot be mapped

    // The mapping is fixed at the size queried above; later growth is not read.
    const HANDLE mapping =
        CreateFileMappingW(handle, nullptr, PAGE_READONLY, size.HighPart, size.LowPart, nullptr);
    if (mapping == nullptr) {
        CloseHandle(handle);
        file = SourceFile{};
        return OpenStatus::kFailed;
    }
    file.mapping = FromHandle(mapping);
    return OpenStatus::kOpened;
}

OpenStatus OpenListedFile(const ListedFile& listed, SourceFile& file) {
    return OpenSourceFile(listed.path, file);
}

void CloseSourceFile(SourceFile& file) {
    if (file.mapping != 0) CloseHandle(AsHandle(file.mapping));
    if (file.handle != -1) CloseHandle(AsHandle(file.handle));
    file = SourceFile{};
}

bool win32::MapView(const SourceFile& file, uint64_t offset, size_t length, View& view) {
    view = View{};
    if (length == 0 || file.mapping == 0) return false;
    const uint64_t gap = offset % AllocationGranularity();
    const uint64_t start = offset - gap;
    const size_t mapped = length + static_cast<size_t>(gap);
    void* base =
        MapViewOfFile(AsHandle(file.mapping), FILE_MAP_READ, static_cast<DWORD>(start >> 32),
                      static_cast<DWORD>(start & 0xFFFFFFFFu), mapped);
    if (base == nullptr) return false;
    view.base = base;
    view.baseLength = mapped;
    view.data = static_cast<const unsigned char*>(base) + gap;
    return true;
}

void win32::UnmapView(View& view) {
    if (view.base != nullptr) UnmapViewOfFile(view.base);
    view = View{};
}

// Nothing to allocate: each view is mapped where it is read. The guard is
// held for the reader's life; if it cannot be, each read holds its own.
ViewReader::ViewReader(uint64_t viewSize)
    : viewSize_(viewSize), guarded_(win32::BeginGuardedReads()) {}

ViewReader::~ViewReader() {
    if (guarded_) win32::EndGuardedReads();
}

bool ViewReader::Read(const SourceFile& file, uint64_t offset, size_t length,
                      void (*feed)(void* context, const unsigned char* bytes), void* context) {
    if (length == 0 || length > viewSize_) return false;
    win32::View view;
    if (!win32::MapView(file, offset, length, view)) return false;
    const bool read = win32::ReadGuarded(view.data, length, [&] { feed(context, view.data); });
    win32::UnmapView(view);
    return read;
}

// ---- folder enumeration ----------------------------------------------------

namespace {

struct Enumeration {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data;
    bool pending = false;  // data holds an entry not handed out yet
    std::string name;      // the last entry's name in UTF-8
};

// Volume serial number and file index of the folder itself (through a link
// or junction, of its target), which tell it apart from every other folder.
bool QueryFolderId(const std::wstring& path, FolderId& id) {
    const HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(handle, &info) &&
                    (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CloseHandle(handle);
    if (!ok) return false;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

}  // namespace

bool OpenFolder(const char* path, FolderScan& scan) {
    scan = FolderScan{};
    std::wstring wide = SystemPath(path);
    if (wide.empty() || !QueryFolderId(wide, scan.id)) return false;
    if (wide.back() != L'\\') wide += L'\\';
    wide += L'*';

    Enumeration* e = new Enumeration;
    e->find = FindFirstFileExW(wide.c_str(), FindExInfoBasic, &e->data, FindExSearchNameMatch,
                               nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (e->find == INVALID_HANDLE_VALUE) {
        // A drive root has no "." entry: when empty, it has no entry at all.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) {
            delete e;
            return false;
        }
    } else {
        e->pending = true;
    }
    scan.handle = e;
    return true;
}

NextStatus NextEntry(FolderScan& scan, FolderEntry& entry) {
    auto* e = static_cast<Enumeration*>(scan.handle);
    if (e == nullptr || e->find == INVALID_HANDLE_VALUE) return NextStatus::kEnd;
    if (!e->pending && !FindNextFileW(e->find, &e->data)) {
        return GetLastError() == ERROR_NO_MORE_FILES ? NextStatus::kEnd : NextStatus::kFailed;
    }
    e->pending = false;
    e->name = NarrowFromWide(e->data.cFileName);
    entry.name = e->name.c_str();
    entry.nameLength = e->name.size();
    // The platform flags links and junctions to folders as folders too.
    entry.kind = (e->data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::kFolder
                                                                       : EntryKind::kFile;
    return NextStatus::kEntry;
}

void CloseFolder(FolderScan& scan) {
    auto* e = static_cast<Enumeration*>(scan.handle);
    if (e != nullptr) {
        if (e->find != INVALID_HANDLE_VALUE) FindClose(e->find);
        delete e;
    }
    scan = FolderScan{};
}

// Files are opened by their long-path-prefixed paths: nothing to hold.
intptr_t HoldFolder(FolderScan& scan) {
    CloseFolder(scan);
    return -1;
}

void ReleaseFolder(intptr_t) {}

// ---- the report file -------------------------------------------------------

bool CreateReportFile(const char* path, ReportFile& file) {
    file = ReportFile{};
    const std::wstring wide = SystemPath(path);
    if (wide.empty()) return false;
    const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    file.handle = FromHandle(handle);
    file.regular = GetFileType(handle) == FILE_TYPE_DISK;
    return true;
}

bool WriteReport(ReportFile& file, const void* bytes, size_t count) {
    const char* p = static_cast<const char*>(bytes);
    while (count > 0) {
        const DWORD piece = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
        DWORD written = 0;
        if (!WriteFile(AsHandle(file.handle), p, piece, &written, nullptr) || written == 0) {
            return false;
        }
        p += written;
        count -= written;
    }
    return true;
}

bool CloseReportFile(ReportFile& file) {
    if (file.handle == -1) return false;
    const bool closed = CloseHandle(AsHandle(file.handle)) != 0;
    file.handle = -1;
    return closed;
}

void RemoveReportFile(const char* path, const ReportFile& file) {
    if (!file.regular) return;
    const std::wstring wide = SystemPath(path);
    if (!wide.empty()) DeleteFileW(wide.c_str());
}

}  // namespace os
