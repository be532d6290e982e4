/* Ids and texts of the settings dialog, template 103. Kept in plain
   preprocessor form so that the portable template and the Windows resource
   script are built from the same values. */
#ifndef MOSSGRAIN_SETTINGS_RESOURCE_H
#define MOSSGRAIN_SETTINGS_RESOURCE_H

#define IDD_SETTINGS 103

#define IDC_OK 1001
#define IDC_CANCEL 1002
#define IDC_C_STYLE 1005
#define IDC_PASCAL_STYLE 1006
#define IDC_CSV 1007
#define IDC_VIZIZAVARA 1008

#define SETTINGS_CAPTION "Mossgrain: Settings"
#define SETTINGS_FONT_NAME "MS Shell Dlg"
#define SETTINGS_FONT_POINTS 8
#define SETTINGS_STYLE 0x00C40848
#define SETTINGS_WIDTH 299
#define SETTINGS_HEIGHT 51

#define SETTINGS_OK_TEXT "Ok"
#define SETTINGS_CANCEL_TEXT "Cancel"
#define SETTINGS_C_STYLE_TEXT "C style project"
#define SETTINGS_PASCAL_STYLE_TEXT "Pascal style project"
#define SETTINGS_PROJECT_GROUP_TEXT "Project style"
#define SETTINGS_RESULTS_GROUP_TEXT "Results File"
#define SETTINGS_CSV_TEXT ".csv"
#define SETTINGS_VIZIZAVARA_TEXT ".VizizaVara"

#endif
