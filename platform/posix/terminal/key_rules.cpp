#include "platform/posix/terminal/key_rules.h"

namespace os::terminal {

KeyRules::KeyRules(DialogWindow& dialog) : dialog_(dialog) {
    for (size_t i = 0; i < dialog_.controls.size(); ++i) {
        if (IsFocusable(i) && dialog_.controls[i].control->tabStop) {
            focus_ = i;
            break;
        }
    }
}

bool KeyRules::IsFocusable(size_t index) const {
    return IsPushButton(Kind(index)) || Kind(index) == ControlKind::kAutoRadioButton;
}

std::optional<size_t> KeyRules::ActiveDefault() const {
    // As on Windows, a focused push button takes the default role while it has the focus.
    if (focus_ && IsPushButton(Kind(*focus_))) return focus_;
    for (size_t i = 0; i < dialog_.controls.size(); ++i) {
        if (Kind(i) == ControlKind::kDefaultPushButton) return i;
    }
    return std::nullopt;
}

std::optional<int> KeyRules::HandleKey(Key key) {
    switch (key) {
        case Key::kTab:
            MoveTab(true);
            return std::nullopt;
        case Key::kBackTab:
            MoveTab(false);
            return std::nullopt;
        case Key::kUp:
        case Key::kLeft:
        case Key::kDown:
        case Key::kRight: {
            const std::optional<size_t> before = focus_;
            MoveInGroup(key == Key::kDown || key == Key::kRight);
            // Landing on an auto radio button checks it, as a click would.
            if (focus_ != before && Kind(*focus_) == ControlKind::kAutoRadioButton) {
                return Click(*focus_);
            }
            return std::nullopt;
        }
        case Key::kSpace:
            if (!focus_) return std::nullopt;
            return Click(*focus_);
        case Key::kEnter: {
            const std::optional<size_t> button = ActiveDefault();
            return button ? dialog_.controls[*button].control->id : kOkCommand;
        }
        case Key::kEscape:
        case Key::kCtrlC:
            return kCancelCommand;
    }
    return std::nullopt;
}

void KeyRules::MoveTab(bool forward) {
    const size_t count = dialog_.controls.size();
    if (count == 0) return;
    // Without a focus the search starts just outside the list, so that Tab
    // finds the first stop and Shift-Tab the last.
    size_t at = focus_ ? *focus_ : (forward ? count - 1 : 0);
    for (size_t step = 0; step < count; ++step) {
        at = forward ? (at + 1) % count : (at + count - 1) % count;
        if (IsFocusable(at) && dialog_.controls[at].control->tabStop) {
            focus_ = at;
            return;
        }
    }
}

void KeyRules::MoveInGroup(bool forward) {
    if (!focus_) return;
    const auto [first, end] = dialog_.GroupOf(*focus_);
    size_t at = *focus_;
    for (size_t step = 1; step < end - first; ++step) {
        at = forward ? (at + 1 == end ? first : at + 1) : (at == first ? end - 1 : at - 1);
        if (IsFocusable(at)) {
            focus_ = at;
            return;
        }
    }
}

std::optional<int> KeyRules::Click(size_t index) {
    if (!IsFocusable(index)) return std::nullopt;
    if (Kind(index) == ControlKind::kAutoRadioButton) dialog_.Choose(index);
    return dialog_.controls[index].control->id;
}

}  // namespace os::terminal
