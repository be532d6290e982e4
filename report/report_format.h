// The report's text: a fixed header and one row per measured folder entry,
// semicolon separated, every line ended by CR LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "counting/line_tally.h"

// "Name;Files;Total Lines;Code Lines;Comments;Empty Lines;Ratio %" and CR LF.
std::string_view ReportHeader();

// The Name column for an entry as the host gave it: one trailing separator
// ('\\' or '/') dropped; a name holding ';', '"', CR or LF quoted in double
// quotes with inner quotes doubled, so that it cannot break the columns.
std::string ReportName(std::string_view entry);

// code * 100 / total, truncated; 0 for an empty tally.
uint64_t CodeRatio(const LineTally& tally);

// One whole row: the name column, the six numbers right-aligned in at least
// 5, 8, 8, 8, 8 and 3 columns, CR LF.
std::string ReportRow(std::string_view entry, uint64_t files, const LineTally& tally);
