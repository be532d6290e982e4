#include "dialog/cdialog.h"
#include "dialog/settings_resource.h"

namespace {

// Template 103, control by control in template (and tab) order.
constexpr ControlTemplate kSettingsControls[] = {
    {IDC_OK, ControlKind::kDefaultPushButton, SETTINGS_OK_TEXT, 222, 4, 70, 16, false, true},
    {IDC_CANCEL, ControlKind::kPushButton, SETTINGS_CANCEL_TEXT, 222, 27, 70, 16, false, true},
    {IDC_C_STYLE, ControlKind::kAutoRadioButton, SETTINGS_C_STYLE_TEXT, 12, 14, 63, 10, true, true},
    {IDC_PASCAL_STYLE, ControlKind::kAutoRadioButton, SETTINGS_PASCAL_STYLE_TEXT, 12, 28, 78, 10,
     false, true},
    {-1, ControlKind::kGroupBox, SETTINGS_PROJECT_GROUP_TEXT, 7, 2, 85, 40, false, false},
    {-1, ControlKind::kGroupBox, SETTINGS_RESULTS_GROUP_TEXT, 116, 2, 84, 40, false, false},
    {IDC_CSV, ControlKind::kAutoRadioButton, SETTINGS_CSV_TEXT, 122, 14, 29, 10, true, true},
    {IDC_VIZIZAVARA, ControlKind::kAutoRadioButton, SETTINGS_VIZIZAVARA_TEXT, 122, 28, 54, 10,
     false, true},
};

constexpr DialogTemplate kSettingsTemplate = {
    IDD_SETTINGS,    SETTINGS_CAPTION,   SETTINGS_WIDTH,
    SETTINGS_HEIGHT, SETTINGS_FONT_NAME, SETTINGS_FONT_POINTS,
    SETTINGS_STYLE,  kSettingsControls,  sizeof kSettingsControls / sizeof kSettingsControls[0],
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int templateId) {
    return templateId == IDD_SETTINGS ? &kSettingsTemplate : nullptr;
}
