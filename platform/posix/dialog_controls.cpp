#include "platform/posix/dialog_controls.h"

namespace os {

DialogWindow::DialogWindow(const DialogTemplate& dialogTemplate) : dialogTemplate(dialogTemplate) {
    const size_t count = dialogTemplate.controls != nullptr ? dialogTemplate.controlCount : 0;
    controls.reserve(count);
    for (size_t i = 0; i < count; ++i) controls.push_back({this, i, &dialogTemplate.controls[i]});
}

ControlWindow* DialogWindow::Find(int id) {
    if (id == -1) return nullptr;
    for (ControlWindow& control : controls) {
        if (control.control->id == id) return &control;
    }
    return nullptr;
}

std::pair<size_t, size_t> DialogWindow::GroupOf(size_t index) const {
    size_t first = index;
    while (first > 0 && !controls[first].control->groupStart) --first;
    size_t end = index + 1;
    while (end < controls.size() && !controls[end].control->groupStart) ++end;
    return {first, end};
}

void DialogWindow::SetChecked(size_t index, bool checked) {
    if (index < controls.size() && controls[index].control->kind == ControlKind::kAutoRadioButton) {
        controls[index].checked = checked;
    }
}

void DialogWindow::Choose(size_t index) {
    const auto [first, end] = GroupOf(index);
    for (size_t i = first; i < end; ++i) SetChecked(i, i == index);
}

bool IsPushButton(ControlKind kind) {
    return kind == ControlKind::kPushButton || kind == ControlKind::kDefaultPushButton;
}

}  // namespace os
