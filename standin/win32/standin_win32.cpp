// Windows side of the stand-in host: LoadLibrary, the desktop check and the
// answering of the module's dialogs for --yes. Like the file manager, the
// host speaks the ANSI code page in its narrow strings.
#include <windows.h>

#include <string>
#include <vector>

#include "standin/standin_os.h"
#include "standin/win32/dialog_driver.h"
#include "platform/win32/wide_text.h"
#include "plugin/module_file.h"

namespace standin_os {

namespace {

std::wstring WideFromAnsi(const char* ansi) {
    return os::win32::WideFromNarrow(os::win32::NarrowFromAnsi(ansi));
}

std::string ErrorText(DWORD code) {
    wchar_t* message = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
    std::string text =
        message ? os::win32::AnsiFromNarrow(os::win32::NarrowFromWide(message)) : std::string();
    if (message) LocalFree(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return (text.empty() ? std::string("error") : text) + " (" + std::to_string(code) + ")";
}

// The bitness of the x86 code in a PE image, from the machine field of its
// file header; 0 when the file is no such image.
int ImageBits(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    auto readAt = [file](LONG offset, void* to, DWORD size) {
        DWORD read = 0;
        return SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
               ReadFile(file, to, size, &read, nullptr) && read == size;
    };
    IMAGE_DOS_HEADER dos = {};
    DWORD signature = 0;
    IMAGE_FILE_HEADER header = {};
    const bool image = readAt(0, &dos, sizeof dos) && dos.e_magic == IMAGE_DOS_SIGNATURE &&
                       dos.e_lfanew > 0 && readAt(dos.e_lfanew, &signature, sizeof signature) &&
                       signature == IMAGE_NT_SIGNATURE &&
                       readAt(dos.e_lfanew + LONG{sizeof signature}, &header, sizeof header);
    CloseHandle(file);
    if (!image) return 0;
    switch (header.Machine) {
        case IMAGE_FILE_MACHINE_I386:
            return 32;
        case IMAGE_FILE_MACHINE_AMD64:
            return 64;
        default:
            return 0;
    }
}

}  // namespace

void* LoadModule(const char* path, std::string& error) {
    // The file itself, never a namesake found along the search path.
    const std::wstring wide = WideFromAnsi(path);
    const HMODULE module = LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module != nullptr) return module;
    const DWORD code = GetLastError();
    // A process loads modules of its own bitness only, and the system's text
    // for the refusal ("not a valid Win32 application") does not say so.
    const int bits = static_cast<int>(8 * sizeof(void*));
    const int moduleBits = code == ERROR_BAD_EXE_FORMAT ? ImageBits(wide) : 0;
    if (moduleBits != 0 && moduleBits != bits) {
        error = "it is a " + std::to_string(moduleBits) + "-bit module; this mossgrain is " +
                std::to_string(bits) + "-bit and loads only " + std::to_string(bits) +
                "-bit modules such as " MOSSGRAIN_MODULE_FILE;
    } else {
        error = ErrorText(code);
    }
    return nullptr;
}

void* FindExport(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadModule(void* module) {
    if (module != nullptr) FreeLibrary(static_cast<HMODULE>(module));
}

std::string ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return ".\\";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.resize(path.find_last_of(L"\\/") + 1);
    return os::win32::AnsiFromNarrow(os::win32::NarrowFromWide(path));
}

const char kDialogPlace[] = "desktop";

// A window can be shown when the process runs on a visible window station and
// the system can make a window at all (Wine without an X display cannot).
bool CanShowDialogs() {
    USEROBJECTFLAGS flags = {};
    const HWINSTA station = GetProcessWindowStation();
    if (station != nullptr &&
        GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
        (flags.dwFlags & WSF_VISIBLE) == 0) {
        return false;
    }
    const HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    if (probe == nullptr) return false;
    DestroyWindow(probe);
    return true;
}

std::string NoDialogReason() {
    if (!CanShowDialogs()) return "no desktop to show it on";
    return std::string();
}

void AnswerDialogsWith(const char* keys) { win32_driver::AnswerInBackground(keys ? keys : ""); }

std::string FileStamp(const char* path) {
    const HANDLE file = CreateFileW(WideFromAnsi(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    BY_HANDLE_FILE_INFORMATION info = {};
    FILE_BASIC_INFO basic = {};
    const bool ok = GetFileInformationByHandle(file, &info) &&
                    GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic);
    CloseHandle(file);
    if (!ok) return std::string();
    auto join = [](DWORD high, DWORD low) {
        return std::to_string((static_cast<unsigned long long>(high) << 32) | low);
    };
    return std::to_string(info.dwVolumeSerialNumber) + ":" +
           join(info.nFileIndexHigh, info.nFileIndexLow) + ":" +
           join(info.nFileSizeHigh, info.nFileSizeLow) + ":" +
           join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime) + ":" +
           std::to_string(basic.ChangeTime.QuadPart);
}

namespace {

PathKind KindOfAttributes(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return PathKind::kLink;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::kFolder;
    return PathKind::kFile;
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

}  // namespace

PathKind KindOf(const std::string& path) {
    const DWORD attributes =
        GetFileAttributesW(WithoutTrailingSeparators(WideFromAnsi(path.c_str())).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::kMissing;
    return KindOfAttributes(attributes);
}

bool ListFolder(const std::string& path, std::vector<FolderItem>& items) {
    items.clear();
    const std::wstring pattern = WithoutTrailingSeparators(WideFromAnsi(path.c_str())) + L"\\*";
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        items.push_back({os::win32::AnsiFromNarrow(os::win32::NarrowFromWide(name)),
                         KindOfAttributes(found.dwFileAttributes)});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

}  // namespace standin_os
