// Draws a dialog as lines of text: a frame with the caption in its top
// border, group boxes, radio buttons "(*)" / "( )", push buttons "[ Cancel ]"
// with the button Enter presses shown as "[[ Ok ]]", a '>' before the focused
// control, and a message box's icon and text.
//
// Positions come from the dialog units, fractions of the dialog font's
// average glyph on Windows: a quarter of its width across and an eighth of
// its height down. A terminal cell is wider than that glyph, so a column is
// 5 units, a row 8; where a control's text needs more cells than its width
// gives, everything from its right edge on moves right.
#pragma once

#include <string>
#include <vector>

#include "platform/posix/terminal/key_rules.h"

namespace os::terminal {

// Dialog units to a terminal cell across and down.
constexpr int kColumnUnits = 5;
constexpr int kRowUnits = 8;

// Text that only a message box has, its icon or one line: shown, never focused.
struct Label {
    std::string text;  // as written, its leading and trailing spaces too
    int x, y;          // dialog units; one line high
};

enum class RenderStyle : unsigned char {
    kPlain,  // text only: for logs and for a terminal that is not ours to drive
    kAnsi,   // the focused control also in reverse video
};

// The dialog as the keys have left it, with the labels of a message box: its
// lines, without line ends. With maxColumns > 0 every line is cut to that
// many cells, so that a narrow terminal does not wrap them.
std::vector<std::string> RenderDialog(const KeyRules& keys, const std::vector<Label>& labels,
                                      RenderStyle style, int maxColumns = 0);

}  // namespace os::terminal
