// ASCII letter case, the only case the module ever folds: file extensions,
// INI section and key names, key names in dialog scripts. Bytes from 0x80 up
// are left as they are, whatever the encoding.
#pragma once

#include <string_view>

namespace ascii {

constexpr char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

}  // namespace ascii
