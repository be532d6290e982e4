#include "standin/report_rows.h"

#include "report/report_format.h"

std::vector<std::string> RowNames(std::string_view report) {
    std::vector<std::string> names;
    const std::string_view header = ReportHeader();
    if (report.substr(0, header.size()) != header) return names;
    size_t at = header.size();
    while (at < report.size()) {
        size_t end = at;
        if (report[at] == '"') {
            // To the closing quote; a doubled one is part of the name.
            for (end = at + 1; end < report.size(); ++end) {
                if (report[end] != '"') continue;
                if (end + 1 < report.size() && report[end + 1] == '"') {
                    ++end;
                    continue;
                }
                ++end;
                break;
            }
        }
        end = report.find(';', end);
        if (end == std::string_view::npos) break;
        names.emplace_back(report.substr(at, end - at));
        const size_t next = report.find("\r\n", end);
        if (next == std::string_view::npos) break;
        at = next + 2;
    }
    return names;
}

std::vector<size_t> EntriesWithoutRow(const std::vector<std::string>& entries,
                                      const std::vector<std::string>& rowNames) {
    std::vector<size_t> without;
    size_t row = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (row < rowNames.size() && rowNames[row] == ReportName(entries[i])) {
            ++row;
        } else {
            without.push_back(i);
        }
    }
    return without;
}
