#include "platform/posix/terminal/text.h"

namespace os::terminal {
namespace {

// The length of the valid UTF-8 sequence at text[i], or 0 when it is not one.
size_t SequenceLength(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length;
    unsigned int codePoint;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        codePoint = lead & 0x1fu;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        codePoint = lead & 0x0fu;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xc0u) != 0x80u) return 0;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3fu);
    }
    // Overlong forms, surrogates, values past U+10FFFF and the C1 controls
    // are refused like any other bad byte.
    const unsigned int smallest = length == 2 ? 0x80u : length == 3 ? 0x800u : 0x10000u;
    if (codePoint < smallest || codePoint > 0x10ffffu) return 0;
    if (codePoint >= 0xd800u && codePoint <= 0xdfffu) return 0;
    if (codePoint >= 0x80u && codePoint <= 0x9fu) return 0;
    return length;
}

}  // namespace

std::vector<std::string> SplitCells(std::string_view text) {
    std::vector<std::string> cells;
    cells.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            cells.emplace_back(1, (c < 0x20 || c == 0x7f) ? '?' : static_cast<char>(c));
            ++i;
            continue;
        }
        const size_t length = SequenceLength(text, i);
        if (length == 0) {
            cells.emplace_back(1, '?');
            ++i;
            continue;
        }
        cells.emplace_back(text.substr(i, length));
        i += length;
    }
    return cells;
}

int CellCount(std::string_view text) { return static_cast<int>(SplitCells(text).size()); }

}  // namespace os::terminal
