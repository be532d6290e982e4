#include "report/report_format.h"

std::string_view ReportHeader() {
    return "Name;Files;Total Lines;Code Lines;Comments;Empty Lines;Ratio %\r\n";
}

std::string ReportName(std::string_view entry) {
    if (!entry.empty() && (entry.back() == '\\' || entry.back() == '/')) entry.remove_suffix(1);
    if (entry.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(entry);

    std::string quoted;
    quoted.reserve(entry.size() + 8);
    quoted += '"';
    for (char c : entry) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

uint64_t CodeRatio(const LineTally& tally) {
    const uint64_t total = tally.total;
    if (total == 0) return 0;
    // code * 100 can exceed 64 bits and 32-bit targets have no wider type, so
    // the whole part is divided first and the remainder's share counted: rest
    // is added to itself a hundred times modulo total, each wrap one more
    // unit; neither step can overflow, as rest and the sum stay below total.
    const uint64_t rest = tally.code % total;
    uint64_t share = 0;
    uint64_t sum = 0;
    for (int i = 0; i < 100; ++i) {
        if (sum >= total - rest) {
            sum -= total - rest;
            ++share;
        } else {
            sum += rest;
        }
    }
    return tally.code / total * 100 + share;
}

namespace {

// Appends ';' and value in decimal, right-aligned in at least width columns.
void AppendField(std::string& row, uint64_t value, size_t width) {
    char digits[20];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    row += ';';
    if (count < width) row.append(width - count, ' ');
    while (count > 0) row += digits[--count];
}

}  // namespace

std::string ReportRow(std::string_view entry, uint64_t files, const LineTally& tally) {
    std::string row = ReportName(entry);
    row.reserve(row.size() + 6 * 21 + 2);
    AppendField(row, files, 5);
    AppendField(row, tally.total, 8);
    AppendField(row, tally.code, 8);
    AppendField(row, tally.comments, 8);
    AppendField(row, tally.empty, 8);
    AppendField(row, CodeRatio(tally), 3);
    row += "\r\n";
    return row;
}
