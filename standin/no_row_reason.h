// Why an entry got no row in the report, as far as the host can see for
// itself by looking at the entry: missing, not a folder, a file below that
// cannot be read, no source files at all, or source files without a line.
#pragma once

#include <string>

// The reason for the entry (relative to source, which ends with a separator).
std::string NoRowReason(const std::string& source, const std::string& entry);
