// The ways to the host's GUI thread, one per toolkit whose loop the host may
// run there (qt_way.cpp, glib_way.cpp). Each finds the toolkit's calls in the
// process; none links it.
#pragma once

#include <memory>

#include "platform/posix/host_dialogs/gui_thread.h"

namespace os::host_dialogs {

class GuiWay {
public:
    virtual ~GuiWay() = default;

    // Whether the calling thread is the one that runs the toolkit's loop.
    virtual bool IsGuiThread() = 0;

    // Queues a call of handover->RunHere() on the GUI thread. The queue holds
    // a share of the handover until the call has run or been withdrawn. Null
    // when nothing could be queued.
    virtual std::unique_ptr<QueuedCall> Queue(const std::shared_ptr<Handover>& handover) = 0;
};

// Qt's event loop, through the LCL's Qt binding; null unless the process has
// it and a Qt application.
std::unique_ptr<GuiWay> QtWay();

// GLib's default main context; null unless the process has GLib.
std::unique_ptr<GuiWay> GlibWay();

}  // namespace os::host_dialogs
