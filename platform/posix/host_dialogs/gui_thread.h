// Running a piece of the module on the host's GUI thread. The host's forms
// may only be shown there: a form shown from the thread that runs PackFiles
// is owned by a window the GUI thread destroys meanwhile, and the host
// crashes. The host's toolkit is never linked (a second toolkit in its
// process would take it down); what it offers is looked up in the process.
// There are two ways to the GUI thread:
//   - Qt's own event loop, through the C calls of the Qt binding that the
//     file manager's Qt edition loads: the piece is an event posted to an
//     object that lives on the GUI thread. Tried first, as it also works
//     where Qt runs its loop without GLib (QT_NO_GLIB=1, or a Qt built
//     without it), where an idle source of GLib would never run.
//   - GLib's main loop, which a GTK host runs on its GUI thread: the piece is
//     an idle source of GLib's default context.
//
// Handing over is bounded. A GUI thread that has not started the piece
// within StartBound() (it normally does within milliseconds) is taken to be
// one that does not serve that way, and the piece is withdrawn: whatever the
// host does later, it never runs, and nothing queued refers to memory that
// is gone.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace os::host_dialogs {

// How long the GUI thread may take to start what is handed to it.
std::chrono::milliseconds StartBound();

// Whether the calling thread is the host's GUI thread. False in a process
// that offers neither way to it.
bool OnGuiThread();

class QueuedCall;

// A piece of work handed to the GUI thread, shared by the caller, who waits
// for it, and by the toolkit's queue, which runs it: whichever is done last
// frees it.
class Handover {
public:
    explicit Handover(std::function<void()> run) : run_(std::move(run)) {}
    ~Handover();
    Handover(const Handover&) = delete;
    Handover& operator=(const Handover&) = delete;

    // Waits up to bound for the GUI thread to start the piece. False when it
    // has not: then it is withdrawn and will never run.
    bool Started(std::chrono::milliseconds bound);

    // Waits until the piece, once started, has run to its end.
    void WaitDone();

    // On the GUI thread: runs the piece, unless it was withdrawn, and says
    // whether it ran. Nothing escapes from it into the host's frames.
    bool RunHere();

    // The toolkit's handle for the queued piece, kept so that it can be
    // withdrawn.
    void Queued(std::unique_ptr<QueuedCall> call);

private:
    enum class Stage { kQueued, kRunning, kDone, kWithdrawn };

    std::function<void()> run_;
    std::unique_ptr<QueuedCall> call_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Stage stage_ = Stage::kQueued;
};

// Queues run for the GUI thread, by the first way the process offers. Null,
// with nothing queued, when it offers none.
std::shared_ptr<Handover> HandToGuiThread(std::function<void()> run);

// A piece as one toolkit's queue holds it.
class QueuedCall {
public:
    virtual ~QueuedCall() = default;
    // Makes sure that the piece, if it has not been started, never is. It
    // may be starting at this very moment: Handover::RunHere sees the
    // withdrawal then.
    virtual void Withdraw() = 0;
};

}  // namespace os::host_dialogs
