// A dialog object for the dialog framework's own tests: it records the
// commands it is sent and ends on Ok, Cancel or 10; in its initialisation it
// may end at once, or check a button as a dialog's own code would.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/os_dialog.h"

class RecordingDialog : public os::DialogEvents {
public:
    std::optional<intptr_t> endInInit;
    std::optional<int> checkInInit;
    std::vector<int> commands;
    int inits = 0;

    void OnInit(os::DialogWindow* d) override {
        ++inits;
        if (endInInit) return os::EndModalDialog(d, *endInInit);
        if (checkInInit) os::SetButtonChecked(os::DialogItem(d, *checkInInit), true);
    }
    void OnCommand(os::DialogWindow* d, int id, int notifyCode) override {
        EXPECT_EQ(notifyCode, os::kButtonClicked);
        commands.push_back(id);
        if (id == 1 || id == 2 || id == 10) os::EndModalDialog(d, id);
    }
};
