// The live dialog as the POSIX side keeps it, whichever toolkit shows it (the
// host's forms or the terminal): the controls' model with their kinds, ids,
// groups and check marks, which the os:: control calls read and write, and
// how the run ended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/os_dialog.h"
#include "platform/posix/terminal/dialog_model.h"

namespace os {

struct ControlWindow {
    DialogWindow* dialog;
    size_t index;
};

struct DialogWindow {
    explicit DialogWindow(terminal::DialogModel dialogModel) : model(std::move(dialogModel)) {
        controls.reserve(model.size());
        for (size_t i = 0; i < model.size(); ++i) controls.push_back({this, i});
    }
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    terminal::DialogModel model;
    std::vector<ControlWindow> controls;  // the handles, one per control
    bool ended = false;
    intptr_t result = -1;
};

}  // namespace os
