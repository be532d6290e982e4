// Dialogs and message boxes in the terminal, for a host that shows none of
// its own. The keys come from the key script (kKeyScriptVariable) when it is
// set: for unattended runs, the dialog is drawn once as plain text, with the
// keys that answered it, on the controlling terminal if there is one. Else
// they come from the controlling terminal, where the dialog is drawn and
// redrawn in place. Without either, nothing can be asked and the dialog fails
// at once. Nothing goes to the standard streams: they belong to the host.
#pragma once

#include <cstdint>

#include "platform/os_dialog.h"

namespace os::terminal {

// The value given to EndModalDialog, or -1 when the dialog cannot be asked,
// the script names a key there is not, or the keys end before the dialog.
intptr_t RunModal(const DialogTemplate& dialogTemplate, DialogEvents& events);

// kOkCommand once the box is closed, or 0 when it cannot be shown or the keys
// end first.
int ShowMessage(const char* text, const char* caption, unsigned style);

}  // namespace os::terminal
