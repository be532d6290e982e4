// The dialog half of the OS interface: run a modal dialog from a template and
// reach its controls. Windows implements it on user32 with the template from
// the module's resources; POSIX renders the same template in the terminal.
#pragma once

#include <cstdint>

#include "dialog/dialog_template.h"

namespace os {

struct DialogWindow;   // the live dialog (opaque)
struct ControlWindow;  // one child control of it (opaque)

// Button-click notification code carried by OnCommand.
constexpr int kButtonClicked = 0;

// What the toolkit tells the dialog object while the modal run lasts.
class DialogEvents {
public:
    // The dialog and its controls exist and are not shown yet.
    virtual void OnInit(DialogWindow* dialog) = 0;
    // A command: a button click (notifyCode kButtonClicked) with the control's
    // id; Escape arrives as the standard cancel id 2.
    virtual void OnCommand(DialogWindow* dialog, int id, int notifyCode) = 0;

protected:
    ~DialogEvents() = default;
};

// Shows the dialog described by dialogTemplate modally on the calling thread
// and returns the value given to EndModalDialog, or -1 when the dialog cannot
// be shown (no template, no display, no terminal and no scripted input).
intptr_t RunModalDialog(const DialogTemplate& dialogTemplate, DialogEvents& events);

// Ends the modal run once the current event has been handled.
void EndModalDialog(DialogWindow* dialog, intptr_t result);

// The control with the given id, or null.
ControlWindow* DialogItem(DialogWindow* dialog, int id);

// The control after this one in template order, or null after the last.
ControlWindow* NextChild(ControlWindow* control);

bool StartsGroup(ControlWindow* control);
bool IsRadioButton(ControlWindow* control);
bool IsButtonChecked(ControlWindow* control);
void SetButtonChecked(ControlWindow* control, bool checked);

}  // namespace os
