// Draws a dialog model as lines of text: a frame with the caption in its top
// border, group boxes, radio buttons "(*)" / "( )", push buttons "[ Cancel ]"
// with the button Enter presses shown as "[[ Ok ]]", and a '>' before the
// focused control.
//
// Positions come from the dialog units: a column is about 4 units across and
// a row about 8 down, as on Windows where the units are fractions of the
// dialog font. A terminal cell is wider than an average proportional glyph,
// so columns stretch where a caption would not fit, and rows get finer where
// two controls would fall on the same cells.
#pragma once

#include <string>
#include <vector>

#include "platform/posix/terminal/dialog_model.h"

namespace os::terminal {

enum class RenderStyle : unsigned char {
    kPlain,  // text only: for logs and for a terminal that is not ours to drive
    kAnsi,   // the focused control also in reverse video
};

// The dialog's lines, without line ends. With maxColumns > 0 every line is
// cut to that many cells, so that a narrow terminal does not wrap them.
std::vector<std::string> RenderDialog(const DialogModel& model, RenderStyle style,
                                      int maxColumns = 0);

}  // namespace os::terminal
