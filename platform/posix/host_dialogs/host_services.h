// The dialog services the host handed over (os::UseHostDialogServices), kept
// for the dialogs and message boxes to come. The host hands them over on its
// GUI thread; the dialogs read them on whichever thread runs PackFiles.
#pragma once

#include "platform/os_dialog.h"

namespace os::host_dialogs {

// The services as last handed over; all null when none were.
HostDialogServices KeptServices();

}  // namespace os::host_dialogs
