// Running a piece of the module on the host's GUI thread. The host's forms
// may only be shown there: a form shown from the thread that runs PackFiles
// is owned by a window the GUI thread destroys meanwhile, and the host
// crashes. A GTK host runs GLib's main loop there, and GLib is already loaded
// in its process: the piece is queued as an idle callback of that loop and
// the calling thread waits until it has run.
#pragma once

namespace os::host_dialogs {

// Runs run(context) on the GUI thread (at once when the caller is that
// thread) and returns when it has run. False, with nothing run, when the
// process has no GLib main loop to queue it on.
bool RunOnGuiThread(void (*run)(void*), void* context);

}  // namespace os::host_dialogs
