// The dialog half of the OS interface: run a modal dialog from a template,
// reach its controls, and show a message box. Windows implements it on
// user32 with the template from the module's resources; POSIX shows the same
// template with the dialog services of the file manager that loaded the
// module when it offers them, and in the terminal otherwise.
//
// The contract speaks in its own types: a template is plain data that says
// what a dialog looks like, whatever toolkit shows it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace os {

// ---- templates -----------------------------------------------------------------

enum class ControlKind : unsigned char {
    kPushButton,
    kDefaultPushButton,
    kAutoRadioButton,
    kGroupBox,
};

struct ControlTemplate {
    int id;  // -1 for controls the code never addresses
    ControlKind kind;
    const char* caption;
    short x, y, width, height;  // dialog units
    bool groupStart;            // starts a group (radio groups end at the next one)
    bool tabStop;
};

struct DialogTemplate {
    int id;  // resource id of the template
    const char* caption;
    short width, height;  // dialog units
    const char* fontName;
    int pointSize;
    uint32_t style;
    const ControlTemplate* controls;  // in template (and tab) order
    size_t controlCount;
};

// ---- the modal run -------------------------------------------------------------

struct DialogWindow;   // the live dialog (opaque)
struct ControlWindow;  // one child control of it (opaque)

// Button-click notification code carried by OnCommand.
constexpr int kButtonClicked = 0;

// The two standard commands of every dialog, whatever toolkit shows it: Enter
// where no push button takes it sends kOkCommand, Escape (and closing the
// window) kCancelCommand. They are Windows' own values, which user32 sends
// the dialog as they are.
constexpr int kOkCommand = 1;
constexpr int kCancelCommand = 2;

// What the toolkit tells the dialog object while the modal run lasts.
class DialogEvents {
public:
    // The dialog and its controls exist and are not shown yet.
    virtual void OnInit(DialogWindow* dialog) = 0;
    // A command: a button click (notifyCode kButtonClicked) with the control's
    // id; Escape arrives as kCancelCommand.
    virtual void OnCommand(DialogWindow* dialog, int id, int notifyCode) = 0;

protected:
    ~DialogEvents() = default;
};

// Shows the dialog described by dialogTemplate modally on the calling thread
// and returns the value given to EndModalDialog, or -1 when the dialog cannot
// be shown (no template, no display, no terminal and no scripted input).
intptr_t RunModalDialog(const DialogTemplate& dialogTemplate, DialogEvents& events);

// Ends the modal run once the current event has been handled.
void EndModalDialog(DialogWindow* dialog, intptr_t result);

// The control with the given id, or null.
ControlWindow* DialogItem(DialogWindow* dialog, int id);

// The control after this one in template order, or null after the last.
ControlWindow* NextChild(ControlWindow* control);

bool StartsGroup(ControlWindow* control);
bool IsRadioButton(ControlWindow* control);
bool IsButtonChecked(ControlWindow* control);
void SetButtonChecked(ControlWindow* control, bool checked);

// ---- message boxes -------------------------------------------------------------

// A modal message box with one Ok button, owned by parentWindow where the
// platform has windows; style holds the icon bits (0x30: warning). Returns
// the button that closed it (kOkCommand for Ok), or 0 when it cannot be shown.
int ShowMessageBox(void* parentWindow, const char* text, const char* caption, unsigned style);

#if !defined(_WIN32)
// ---- answering the terminal's dialogs without a person (POSIX) ------------------

// The environment variable whose key names (such as "Tab Down Enter", see
// platform/posix/terminal/keys.h) answer the dialogs and message boxes the
// terminal would show, in place of the keys a person types there.
inline constexpr char kKeyScriptVariable[] = "MOSSGRAIN_KEYS";

// ---- the host's own dialogs (POSIX) ---------------------------------------------
//
// A file manager may offer the modules it loads its own dialogs, so that a
// module's dialog is a window of the file manager rather than text in a
// terminal. These are its services, as plain functions of the host's C
// calling convention.

// What a host form calls with its events: the form, the name of the control
// concerned (the form's own name for the form), the event code and its two
// arguments. Called on the host's GUI thread; what it returns is ignored.
// It is the one type of the host's dialog procedures: the module's
// declaration of the host's record uses it too.
using HostFormProc = intptr_t (*)(uintptr_t form, char* control, intptr_t event, intptr_t wParam,
                                  intptr_t lParam);

struct HostDialogServices {
    // Shows a modal message box with the text (lines separated by '\n'), the
    // caption and Windows message-box flags (icon and buttons) and returns
    // the button that closed it (1: Ok). Callable from any thread.
    int (*messageBox)(char* text, char* caption, long flags) = nullptr;
    // Shows a modal form built from formText (size bytes in the Lazarus form
    // text format: object Name: TClass ... end) and calls proc with its
    // events until it closes; non-zero when it closed with the Ok result.
    // Only the host's GUI thread may call it.
    int (*showForm)(intptr_t formText, unsigned long size, HostFormProc proc) = nullptr;
    // Sends a message to the named control of a live form and returns the
    // control's answer (GUI thread only).
    intptr_t (*sendFormMessage)(uintptr_t form, char* control, intptr_t message, intptr_t wParam,
                                intptr_t lParam) = nullptr;
};

// Keeps the host's services for the dialogs and message boxes shown from now
// on. Any of them may be null: an older or another host hands over a shorter
// record, null pointers, or nothing at all. A missing service is not used:
// message boxes need messageBox, dialogs need showForm and sendFormMessage
// (and a GUI thread to show them on); without them the terminal shows them
// as before, and without a terminal they fail. An empty record forgets the
// services, as when the host lets the module go.
void UseHostDialogServices(const HostDialogServices& services);
#endif

}  // namespace os
