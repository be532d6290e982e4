// What each key does to a dialog in the terminal, and where the focus is.
// Nothing here touches a terminal, so the behaviour can be exercised key by
// key.
//
// The keys follow the Windows dialog manager: Tab and Shift-Tab step through
// the tab stops, the arrow keys move within the focused control's group (and
// check an auto radio button they land on), Space clicks, Enter presses the
// focused push button or else the default one, Escape cancels.
#pragma once

#include <cstddef>
#include <optional>

#include "platform/posix/dialog_controls.h"
#include "platform/posix/terminal/keys.h"

namespace os::terminal {

class KeyRules {
public:
    // The focus starts on the dialog's first tab stop.
    explicit KeyRules(DialogWindow& dialog);

    const DialogWindow& dialog() const { return dialog_; }

    // The focused control, if any.
    std::optional<size_t> focus() const { return focus_; }

    // The push button Enter presses now: the focused one, else the default one.
    std::optional<size_t> ActiveDefault() const;

    // Applies a key; returns the command it sends, if any.
    std::optional<int> HandleKey(Key key);

private:
    bool IsFocusable(size_t index) const;
    ControlKind Kind(size_t index) const { return dialog_.controls[index].control->kind; }
    void MoveTab(bool forward);
    void MoveInGroup(bool forward);
    // What a click on control index does: checks an auto radio button, then
    // sends its id.
    std::optional<int> Click(size_t index);

    DialogWindow& dialog_;
    std::optional<size_t> focus_;
};

}  // namespace os::terminal
