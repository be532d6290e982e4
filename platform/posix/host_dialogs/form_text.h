// A dialog template as the host's form text: the Lazarus form format the
// file manager builds its modal forms from. The host reads nothing else: a
// class or property it does not know leaves it showing an error box with the
// pack job waiting for good, so the text uses only what it is known to accept
// (the form TDialogBox; TRadioGroup, TGroupBox, TButton; the properties
// written below).
//
// The host's dialogs have no single radio button: a group box holding auto
// radio buttons becomes a radio group with one item per button.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/os_dialog.h"

namespace os::host_dialogs {

// The name of the form object, which the host's events give for the form.
inline constexpr char kFormName[] = "DialogBox";

enum class FormControlKind : unsigned char { kButton, kRadioGroup, kGroupBox };

struct FormControl {
    std::string name;  // its name in the form text, which the host's events give
    FormControlKind kind;
    size_t templateIndex;       // the template's control: the button or the group box
    std::vector<size_t> items;  // a radio group's radio buttons, template indexes in order
};

struct Form {
    std::string text;
    std::vector<FormControl> controls;  // in template order
};

// The form for the template, with the radio buttons whose checked[i] is set
// chosen in their groups (checked holds one flag per template control, or
// none). Nothing when a control cannot be shown by the host: a radio button
// outside every group box, or a kind the form has no class for.
std::optional<Form> FormFromTemplate(const DialogTemplate& dialogTemplate,
                                     const std::vector<bool>& checked);

// Dialog units to the host's pixels, as the form text gives positions.
int PixelsAcross(int dialogUnits);
int PixelsDown(int dialogUnits);

}  // namespace os::host_dialogs
