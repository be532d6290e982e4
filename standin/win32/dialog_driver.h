// Driving the module's windows from another thread of the same process, as a
// person at the keyboard would: find the settings dialog or the about box once
// it is ready for input, press keys in it, click its buttons. The stand-in
// host answers dialogs with it; the tests use it to reach every control.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace win32_driver {

// The settings dialog and the about box, as they are found on screen.
struct WindowKind {
    const wchar_t* className;  // null: any class
    const wchar_t* caption;
};
extern const WindowKind kSettingsDialog;
extern const WindowKind kAboutBox;

// Waits up to timeoutMs for a visible window of this process that matches one
// of the kinds, is not skip, and has a focused control (so keys reach it).
// Null when none shows in time.
HWND WaitForWindow(const std::vector<WindowKind>& kinds, DWORD timeoutMs, HWND skip = nullptr);

// Whether window is still there.
bool WindowExists(HWND window);

// Waits up to timeoutMs for window to be destroyed.
bool WaitUntilGone(HWND window, DWORD timeoutMs);

// Posts the key (Enter, Esc, Tab, Space, Up, Down, Left, Right) to the
// control of window that has the focus now, through the window's own message
// loop, so the dialog manager handles it as typed. False for an unknown name.
bool PressKey(HWND window, const std::string& name);

// Whether every name in the space-separated list is a key PressKey knows.
bool KnownKeys(const std::string& keys);

// Clicks the button with id, as a mouse click would, and returns once the
// dialog has handled the click.
bool ClickButton(HWND window, int id);

// The texts of the window's static controls, in child order.
std::vector<std::wstring> StaticTexts(HWND window);

std::wstring WindowText(HWND window);

// From now on, in a background thread, answers every settings dialog and
// about box this process shows with the keys, one after the other.
void AnswerInBackground(const std::string& keys);

}  // namespace win32_driver
