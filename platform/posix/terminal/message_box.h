// A message box as the terminal shows it: one default Ok button, which the
// dialog's controls hold like any other, and beside it what only a message
// box has, its icon and its lines of text. Laid out in the dialog units the
// terminal draws in, the way a message box is: the icon at the top left, the
// text beside it one line to a row, the button centred below.
#pragma once

#include <string>
#include <vector>

#include "platform/os_dialog.h"
#include "platform/posix/terminal/render.h"

namespace os::terminal {

class MessageBox {
public:
    // The icon the style's bits ask for, the text line by line, and Ok.
    MessageBox(const char* text, const char* caption, unsigned style);
    MessageBox(const MessageBox&) = delete;
    MessageBox& operator=(const MessageBox&) = delete;

    // The box as a dialog template: its caption, its size, the Ok button
    // (command kOkCommand).
    const DialogTemplate& layout() const { return layout_; }
    const std::vector<Label>& labels() const { return labels_; }

private:
    ControlTemplate ok_{};
    DialogTemplate layout_{};
    std::vector<Label> labels_;
};

}  // namespace os::terminal
