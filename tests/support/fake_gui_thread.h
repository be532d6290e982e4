// A GUI thread for the tests, in the clothes of the toolkits a host may run
// there: GLib's main loop (fake_glib.cpp) and Qt's event loop as the LCL's Qt
// binding offers it (fake_qt.cpp). The module looks for their calls in the
// process, finds these (the test program exports them), and hands its forms
// and message boxes to this thread as it would in a real host.
#pragma once

#include <functional>

namespace fake_gui {

enum class Toolkit { kGlib, kQt };

// Whether the caller is the fake GUI thread.
bool OnGuiThread();

// Whether the process offers Qt's loop at all (a Qt application exists); GLib
// is always offered. Qt is not offered unless a test asks for it.
void OfferQt(bool offered);

// Whether the GUI thread serves what is queued through a toolkit: a toolkit
// it does not serve holds what is queued for it (as GLib's idle queue under a
// Qt that runs its own loop) until it is served again. Both are served
// unless a test says otherwise.
void Serve(Toolkit toolkit, bool served);

// What went through each toolkit so far: pieces that ran, and pieces queued
// that have neither run nor been withdrawn.
int Ran(Toolkit toolkit);
int Pending(Toolkit toolkit);

// Waits until nothing the GUI thread is serving is queued or running.
void WaitIdle();

// Used by the two toolkits' fakes: queues work for the GUI thread; a piece
// it has not started can be taken back (false when it has started).
using Piece = std::function<void()>;
unsigned Queue(Toolkit toolkit, Piece piece);
bool TakeBack(unsigned ticket);

// What a fake noticed that the real toolkit would not take.
void Problem(const char* what);
int Problems();

}  // namespace fake_gui
