#include "platform/win32/system_path.h"

#include <windows.h>

#include <string_view>

#include "platform/win32/wide_text.h"

namespace os::win32 {

namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool IsDrivePath(std::wstring_view p) {
    return p.size() >= 3 && ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z')) &&
           p[1] == L':' && p[2] == L'\\';
}

// An absolute drive or share path that the prefix may be put before as it
// is: backslashes only, no "." or ".." component, no doubled separator. Such
// paths skip the normalisation, which would drop trailing dots and spaces of
// names that the enumeration returned.
bool IsPlainAbsolute(std::wstring_view p) {
    size_t start;
    if (IsDrivePath(p)) {
        start = 3;
    } else if (StartsWith(p, L"\\\\") && p.size() > 2 && p[2] != L'\\' && p[2] != L'?' &&
               p[2] != L'.') {
        start = 2;
    } else {
        return false;
    }
    if (p.find(L'/') != std::wstring_view::npos) return false;
    while (start < p.size()) {
        size_t end = p.find(L'\\', start);
        if (end == std::wstring_view::npos) end = p.size();
        const std::wstring_view part = p.substr(start, end - start);
        if (part.empty() && end != p.size()) return false;  // a doubled separator
        if (part == L"." || part == L"..") return false;
        start = end + 1;
    }
    return true;
}

std::wstring FullPath(const std::wstring& path) {
    DWORD size = MAX_PATH;
    std::wstring full;
    for (int attempt = 0; attempt < 4; ++attempt) {
        full.assign(size, L'\0');
        const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
        if (length == 0) return std::wstring();
        if (length < size) {
            full.resize(length);
            return full;
        }
        size = length;  // the size needed, terminator included
    }
    return std::wstring();
}

}  // namespace

std::wstring SystemPath(const char* path) {
    if (path == nullptr || *path == '\0') return std::wstring();
    std::wstring wide = WideFromNarrow(path);
    if (StartsWith(wide, L"\\\\?\\") || StartsWith(wide, L"\\\\.\\")) return wide;
    if (!IsPlainAbsolute(wide)) {
        wide = FullPath(wide);
        if (wide.empty()) return wide;
        // A device name ("NUL", "CON") resolves to its "\\.\" form.
        if (StartsWith(wide, L"\\\\?\\") || StartsWith(wide, L"\\\\.\\")) return wide;
    }
    if (IsDrivePath(wide)) return L"\\\\?\\" + wide;
    if (StartsWith(wide, L"\\\\")) return L"\\\\?\\UNC\\" + wide.substr(2);
    return wide;
}

}  // namespace os::win32
