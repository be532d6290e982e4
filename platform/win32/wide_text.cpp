#include "platform/win32/wide_text.h"

#include <windows.h>

namespace os::win32 {

namespace {

void AppendCodePoint(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUnit(std::wstring& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<wchar_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 | (c >> 10));
        out += static_cast<wchar_t>(0xDC00 | (c & 0x3FF));
    }
}

bool IsHigh(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The code point of the sequence at text[i], its length in count; false for
// a byte that starts no well-formed sequence (overlong forms, values past
// U+10FFFF and cut-off sequences included). Encoded surrogates are accepted.
bool DecodeAt(std::string_view text, size_t i, char32_t& c, size_t& count) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
        c = b0;
        count = 1;
        return true;
    }
    char32_t minimum;
    if ((b0 & 0xE0) == 0xC0) {
        c = b0 & 0x1F;
        count = 2;
        minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        c = b0 & 0x0F;
        count = 3;
        minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        c = b0 & 0x07;
        count = 4;
        minimum = 0x10000;
    } else {
        return false;
    }
    if (i + count > text.size()) return false;
    for (size_t k = 1; k < count; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) return false;
        c = (c << 6) | (b & 0x3F);
    }
    return c >= minimum && c <= 0x10FFFF;
}

}  // namespace

std::string NarrowFromWide(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = static_cast<char16_t>(wide[i]);
        if (IsHigh(c) && i + 1 < wide.size() && IsLow(static_cast<char16_t>(wide[i + 1]))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(wide[i + 1]) - 0xDC00);
            ++i;
        }
        AppendCodePoint(out, c);
    }
    return out;
}

std::wstring WideFromNarrow(std::string_view narrow) {
    std::wstring out;
    out.reserve(narrow.size());
    for (size_t i = 0; i < narrow.size();) {
        char32_t c;
        size_t count;
        if (!DecodeAt(narrow, i, c, count)) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        AppendUnit(out, c);
        i += count;
    }
    return out;
}

std::string NarrowFromAnsi(const char* ansi) {
    if (ansi == nullptr || *ansi == '\0') return std::string();
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (length <= 1) return std::string();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return NarrowFromWide(wide);
}

std::string AnsiFromNarrow(std::string_view narrow) {
    const std::wstring wide = WideFromNarrow(narrow);
    if (wide.empty()) return std::string();
    const int wideLength = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

}  // namespace os::win32
