// A GUI thread for the tests, in GLib's clothes: the module looks for
// g_idle_add and g_main_context_is_owner in the process, finds these (the
// test program exports them), and queues its forms on this thread as it
// would in a GTK host.
#pragma once

namespace fake_glib {

// Whether the caller is the fake GUI thread.
bool OnGuiThread();

// How many callbacks have been queued so far.
int QueuedCount();

}  // namespace fake_glib
