// POSIX: dialogs and the about box as windows of the host when it handed
// over its dialog services (host_dialogs/), else in the terminal (terminal/),
// else not at all.
#include <optional>

#include "platform/os_dialog.h"
#include "platform/posix/host_dialogs/host_dialog.h"
#include "platform/posix/terminal/modal_run.h"

namespace os {

intptr_t RunModalDialog(const DialogTemplate& dialogTemplate, DialogEvents& events) {
    // The module's callers are C entry points: nothing may escape as an exception.
    try {
        if (const std::optional<intptr_t> result = host_dialogs::RunModal(dialogTemplate, events)) {
            return *result;
        }
        return terminal::RunModal(dialogTemplate, events);
    } catch (...) {
        return -1;
    }
}

int ShowMessageBox(void* /*parentWindow*/, const char* text, const char* caption, unsigned style) {
    try {
        if (const std::optional<int> result = host_dialogs::ShowMessage(text, caption, style)) {
            return *result;
        }
        return terminal::ShowMessage(text, caption, style);
    } catch (...) {
        return 0;
    }
}

}  // namespace os
