// Text as a terminal shows it: one cell per character. Text that comes from
// elsewhere (captions, the message) is cleaned on the way in, so that no byte
// of it can act as a control sequence on the user's terminal.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace os::terminal {

// Splits UTF-8 text into the characters that each take one cell. Control
// characters and bytes that are no valid UTF-8 become '?'.
std::vector<std::string> SplitCells(std::string_view text);

// The number of cells SplitCells gives.
int CellCount(std::string_view text);

}  // namespace os::terminal
