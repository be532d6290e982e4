// Dialogs and message boxes as windows of the host, through the dialog
// services it handed over: the dialog becomes a host form built from the
// template, shown on the host's GUI thread while the caller waits. A GUI
// thread that does not start it within a few seconds, or a form that does
// not show within a few more, is a dialog that could not be shown: the
// caller is not kept waiting for good.
//
// The dialog object sees the same calls as with any other toolkit: OnInit
// once the form is up, OnCommand with the template's ids for clicks (a choice
// in a radio group is a click on that radio button), the cancel command
// when the form's window is closed. The check marks live in the dialog's
// controls (dialog_controls.h), which the os:: control calls read and write;
// the form's radio groups are brought in line with them after every event,
// and read into them on every click.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/os_dialog.h"

namespace os::host_dialogs {

// Runs the dialog as a host form. Nothing when the host's services cannot
// show it (none handed over, no known way to a GUI thread, a template the
// form cannot express): the caller then shows it some other way. Otherwise
// the value given to EndModalDialog, or -1 when the form did not show in
// time.
std::optional<intptr_t> RunModal(const DialogTemplate& dialogTemplate, DialogEvents& events);

// The host's message box, shown on its GUI thread: the button that closed
// it, 0 when the GUI thread did not start it in time; nothing without one.
std::optional<int> ShowMessage(const char* text, const char* caption, unsigned style);

}  // namespace os::host_dialogs
