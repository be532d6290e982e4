// The controlling terminal while a dialog is up: raw keys in, frames drawn in
// place, and the user's terminal settings given back on every way out. The
// module runs inside the host's process, so a signal that arrives meanwhile
// is passed on to whatever the host had set for it, after the terminal has
// been restored, and the host's handlers are put back when the dialog ends.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/terminal/keys.h"

namespace os::terminal {

// Writes text as it is to the controlling terminal, when the process has one;
// false when it has none or the write failed. The module lives in its host's
// process: its standard streams are the host's, never the module's to use.
bool WriteToTerminal(std::string_view text);

class TerminalSession {
public:
    TerminalSession() = default;
    ~TerminalSession() { Close(); }
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    // Opens /dev/tty and switches it to raw mode. False, with nothing
    // changed, when the process has no terminal or another dialog holds it.
    bool Open();

    // Draws the lines over what the previous call drew. False when the
    // terminal can no longer be written.
    bool Draw(const std::vector<std::string>& lines);

    // The next key; nothing when the terminal reached its end, failed, or a
    // signal interrupted the dialog.
    std::optional<Key> ReadKey();

    // The terminal's width in cells, or 0 when it does not say.
    int columns() const { return columns_; }

    // Gives the terminal back as it was: settings, cursor, signal handlers.
    void Close();

private:
    bool open_ = false;
    int fd_ = -1;
    int wakeRead_ = -1;  // readable once a signal has ended the dialog
    int wakeWrite_ = -1;
    int columns_ = 0;
    int drawnLines_ = 0;
    KeyDecoder decoder_;
    std::deque<Key> keys_;
};

}  // namespace os::terminal
