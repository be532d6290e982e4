// The live dialog as the POSIX side keeps it, whichever toolkit shows it (the
// host's forms or the terminal): each control of the template with its check
// mark, and how the run ended. The os:: control calls read and write it; the
// toolkit shows it and tells it what the user did.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/os_dialog.h"

namespace os {

struct ControlWindow {
    DialogWindow* dialog;
    size_t index;                    // in template order
    const ControlTemplate* control;  // the template's own
    bool checked = false;            // only auto radio buttons hold a check mark
};

struct DialogWindow {
    // The template is the caller's, and outlives every use of the controls.
    explicit DialogWindow(const DialogTemplate& dialogTemplate);
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // The control with the given id; -1 (the id of unaddressed controls)
    // never matches.
    ControlWindow* Find(int id);

    // The controls of the group that holds control index, [first, end): from
    // the group's start up to the next one.
    std::pair<size_t, size_t> GroupOf(size_t index) const;

    // Sets a radio button's check mark and clears no other; other controls
    // hold none.
    void SetChecked(size_t index, bool checked);

    // What a click does to an auto radio button: it is checked, and every
    // other radio button of its group cleared.
    void Choose(size_t index);

    const DialogTemplate& dialogTemplate;
    std::vector<ControlWindow> controls;  // the handles, one per control
    bool ended = false;
    intptr_t result = -1;
};

bool IsPushButton(ControlKind kind);

}  // namespace os
