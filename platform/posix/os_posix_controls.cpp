// POSIX: the calls that reach a live dialog and its controls, the same for
// every toolkit that shows it (dialog_controls.h). A null handle is harmless.
#include "platform/os_dialog.h"
#include "platform/posix/dialog_controls.h"

namespace os {

void EndModalDialog(DialogWindow* dialog, intptr_t result) {
    if (dialog == nullptr) return;
    dialog->ended = true;
    dialog->result = result;
}

ControlWindow* DialogItem(DialogWindow* dialog, int id) {
    return dialog != nullptr ? dialog->Find(id) : nullptr;
}

ControlWindow* NextChild(ControlWindow* control) {
    if (control == nullptr) return nullptr;
    const size_t next = control->index + 1;
    return next < control->dialog->controls.size() ? &control->dialog->controls[next] : nullptr;
}

bool StartsGroup(ControlWindow* control) {
    return control != nullptr && control->control->groupStart;
}

bool IsRadioButton(ControlWindow* control) {
    return control != nullptr && control->control->kind == ControlKind::kAutoRadioButton;
}

bool IsButtonChecked(ControlWindow* control) { return control != nullptr && control->checked; }

void SetButtonChecked(ControlWindow* control, bool checked) {
    if (control != nullptr) control->dialog->SetChecked(control->index, checked);
}

}  // namespace os
