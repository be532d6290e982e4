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

/* Control rectangles: x, y, width, height in dialog units. */
#define SETTINGS_OK_RECT 222, 4, 70, 16
#define SETTINGS_CANCEL_RECT 222, 27, 70, 16
#define SETTINGS_C_STYLE_RECT 12, 14, 63, 10
#define SETTINGS_PASCAL_STYLE_RECT 12, 28, 78, 10
#define SETTINGS_PROJECT_GROUP_RECT 7, 2, 85, 40
#define SETTINGS_RESULTS_GROUP_RECT 116, 2, 84, 40
#define SETTINGS_CSV_RECT 122, 14, 29, 10
#define SETTINGS_VIZIZAVARA_RECT 122, 28, 54, 10

#endif
