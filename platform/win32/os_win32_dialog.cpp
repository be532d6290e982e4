// Windows: the dialog framework's toolkit is user32. Templates come from the
// resources of the module this code is linked into, never from the host's.
#include <windows.h>

#include "platform/os.h"
#include "platform/os_dialog.h"
#include "platform/win32/wide_text.h"

namespace os {

namespace {

HWND AsWindow(DialogWindow* dialog) { return reinterpret_cast<HWND>(dialog); }
HWND AsWindow(ControlWindow* control) { return reinterpret_cast<HWND>(control); }
DialogWindow* AsDialog(HWND window) { return reinterpret_cast<DialogWindow*>(window); }
ControlWindow* AsControl(HWND window) { return reinterpret_cast<ControlWindow*>(window); }

// The module that holds this code (the plug-in, or a test program linked with
// the core): its resources carry the templates.
HINSTANCE OwnModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&OwnModule), &module);
    return module;
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may unwind through user32's frames.
    try {
        switch (message) {
            case WM_INITDIALOG: {
                auto* events = reinterpret_cast<DialogEvents*>(lParam);
                SetWindowLongPtrW(window, DWLP_USER, lParam);
                events->OnInit(AsDialog(window));
                return TRUE;  // the system puts the focus on the first tab stop
            }
            case WM_COMMAND: {
                auto* events =
                    reinterpret_cast<DialogEvents*>(GetWindowLongPtrW(window, DWLP_USER));
                if (events == nullptr) return FALSE;
                events->OnCommand(AsDialog(window), LOWORD(wParam), HIWORD(wParam));
                return TRUE;
            }
            default:
                return FALSE;
        }
    } catch (...) {
        EndDialog(window, -1);
        return TRUE;
    }
}

}  // namespace

intptr_t RunModalDialog(const DialogTemplate& dialogTemplate, DialogEvents& events) {
    return DialogBoxParamW(OwnModule(), MAKEINTRESOURCEW(dialogTemplate.id), nullptr, DialogProc,
                           reinterpret_cast<LPARAM>(&events));
}

void EndModalDialog(DialogWindow* dialog, intptr_t result) {
    if (dialog != nullptr) EndDialog(AsWindow(dialog), result);
}

ControlWindow* DialogItem(DialogWindow* dialog, int id) {
    if (dialog == nullptr) return nullptr;
    return AsControl(GetDlgItem(AsWindow(dialog), id));
}

ControlWindow* NextChild(ControlWindow* control) {
    if (control == nullptr) return nullptr;
    return AsControl(GetWindow(AsWindow(control), GW_HWNDNEXT));
}

bool StartsGroup(ControlWindow* control) {
    return control != nullptr && (GetWindowLongW(AsWindow(control), GWL_STYLE) & WS_GROUP) != 0;
}

bool IsRadioButton(ControlWindow* control) {
    return control != nullptr &&
           (SendMessageW(AsWindow(control), WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

bool IsButtonChecked(ControlWindow* control) {
    return control != nullptr && SendMessageW(AsWindow(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetButtonChecked(ControlWindow* control, bool checked) {
    if (control != nullptr) {
        SendMessageW(AsWindow(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

int ShowMessageBox(void* parentWindow, const char* text, const char* caption, unsigned style) {
    return MessageBoxW(static_cast<HWND>(parentWindow),
                       text ? win32::WideFromNarrow(text).c_str() : L"",
                       caption ? win32::WideFromNarrow(caption).c_str() : L"", style);
}

}  // namespace os
