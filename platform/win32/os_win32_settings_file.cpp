// Windows: the private profile. A bare file name lands in the Windows folder,
// where the system's own profile calls put it.
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/os.h"
#include "platform/win32/wide_text.h"

namespace os {

using win32::WideFromNarrow;

bool WriteSettingsSection(const char* section, const char* keyValues, const char* file) {
    if (section == nullptr || keyValues == nullptr || file == nullptr) return false;
    // The list keeps its shape: each "key=value" ended by a NUL, then one more.
    std::wstring list;
    for (const char* p = keyValues; *p != '\0'; p += std::strlen(p) + 1) {
        list += WideFromNarrow(p);
        list += L'\0';
    }
    list += L'\0';
    return WritePrivateProfileSectionW(WideFromNarrow(section).c_str(), list.c_str(),
                                       WideFromNarrow(file).c_str()) != 0;
}

bool WriteSettingsValue(const char* section, const char* key, const char* value, const char* file) {
    if (section == nullptr || key == nullptr || value == nullptr || file == nullptr) return false;
    return WritePrivateProfileStringW(WideFromNarrow(section).c_str(), WideFromNarrow(key).c_str(),
                                      WideFromNarrow(value).c_str(),
                                      WideFromNarrow(file).c_str()) != 0;
}

}  // namespace os
