#include "dialog/cdialog.h"
#include "dialog/settings_resource.h"

namespace {

using os::ControlKind;
using os::ControlTemplate;
using os::DialogTemplate;

// Template 103, control by control in template (and tab) order.
constexpr ControlTemplate kSettingsControls[] = {
    {IDC_OK, ControlKind::kDefaultPushButton, SETTINGS_OK_TEXT, SETTINGS_OK_RECT, false, true},
    {IDC_CANCEL, ControlKind::kPushButton, SETTINGS_CANCEL_TEXT, SETTINGS_CANCEL_RECT, false, true},
    {IDC_C_STYLE, ControlKind::kAutoRadioButton, SETTINGS_C_STYLE_TEXT, SETTINGS_C_STYLE_RECT, true,
     true},
    {IDC_PASCAL_STYLE, ControlKind::kAutoRadioButton, SETTINGS_PASCAL_STYLE_TEXT,
     SETTINGS_PASCAL_STYLE_RECT, false, true},
    {-1, ControlKind::kGroupBox, SETTINGS_PROJECT_GROUP_TEXT, SETTINGS_PROJECT_GROUP_RECT, false,
     false},
    {-1, ControlKind::kGroupBox, SETTINGS_RESULTS_GROUP_TEXT, SETTINGS_RESULTS_GROUP_RECT, false,
     false},
    {IDC_CSV, ControlKind::kAutoRadioButton, SETTINGS_CSV_TEXT, SETTINGS_CSV_RECT, true, true},
    {IDC_VIZIZAVARA, ControlKind::kAutoRadioButton, SETTINGS_VIZIZAVARA_TEXT,
     SETTINGS_VIZIZAVARA_RECT, false, true},
};

constexpr DialogTemplate kSettingsTemplate = {
    IDD_SETTINGS,    SETTINGS_CAPTION,   SETTINGS_WIDTH,
    SETTINGS_HEIGHT, SETTINGS_FONT_NAME, SETTINGS_FONT_POINTS,
    SETTINGS_STYLE,  kSettingsControls,  sizeof kSettingsControls / sizeof kSettingsControls[0],
};

}  // namespace

const os::DialogTemplate* FindDialogTemplate(int templateId) {
    return templateId == IDD_SETTINGS ? &kSettingsTemplate : nullptr;
}
