#include "platform/posix/host_dialogs/gui_thread.h"

#include <dlfcn.h>

#include <condition_variable>
#include <mutex>

namespace os::host_dialogs {
namespace {

// GLib's own calls, looked up in the process: the module does not link GLib,
// and in a host without it there is no loop to queue on.
using SourceFunction = int (*)(void*);
using IdleAdd = unsigned (*)(SourceFunction function, void* data);
using MainContextDefault = void* (*)();
using MainContextIsOwner = int (*)(void* context);

struct Job {
    void (*run)(void*);
    void* context;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
};

// The idle callback: runs once on the GUI thread and is removed (0).
int RunJob(void* data) {
    Job& job = *static_cast<Job*>(data);
    job.run(job.context);
    // Notified under the lock: the waiter owns job and may end it as soon as
    // it can see done.
    std::lock_guard<std::mutex> lock(job.mutex);
    job.done = true;
    job.finished.notify_all();
    return 0;
}

}  // namespace

bool RunOnGuiThread(void (*run)(void*), void* context) {
    const auto idleAdd = reinterpret_cast<IdleAdd>(dlsym(RTLD_DEFAULT, "g_idle_add"));
    const auto defaultContext =
        reinterpret_cast<MainContextDefault>(dlsym(RTLD_DEFAULT, "g_main_context_default"));
    const auto isOwner =
        reinterpret_cast<MainContextIsOwner>(dlsym(RTLD_DEFAULT, "g_main_context_is_owner"));
    if (idleAdd == nullptr || defaultContext == nullptr || isOwner == nullptr) return false;

    // The GUI thread itself cannot wait for its own loop.
    if (isOwner(defaultContext()) != 0) {
        run(context);
        return true;
    }
    Job job{run, context, {}, {}, false};
    if (idleAdd(RunJob, &job) == 0) return false;
    std::unique_lock<std::mutex> lock(job.mutex);
    job.finished.wait(lock, [&] { return job.done; });
    return true;
}

}  // namespace os::host_dialogs
