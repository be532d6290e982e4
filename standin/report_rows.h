// Reading a written report back the way its rows were made: which entries of
// the list got a row. A run gives each entry at most one row, in list order,
// named as report/report_format.h names it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The Name column of each row after the header, as written (quoted names
// keep their quotes; a quoted name may span lines).
std::vector<std::string> RowNames(std::string_view report);

// The indexes of the entries that have no row among rowNames.
std::vector<size_t> EntriesWithoutRow(const std::vector<std::string>& entries,
                                      const std::vector<std::string>& rowNames);
