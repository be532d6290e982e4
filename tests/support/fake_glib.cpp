// GLib's idle sources as the module uses them, over the fake GUI thread:
// reference counted, destroyed once (again is a no-op), their data given up
// through the destroy notify once they are destroyed or have run.
#include <mutex>
#include <set>

#include "tests/support/fake_gui_thread.h"

namespace {

using SourceFunction = int (*)(void*);
using DestroyNotify = void (*)(void*);

struct Source {
    SourceFunction function = nullptr;
    void* data = nullptr;
    DestroyNotify notify = nullptr;
    int refs = 1;
    unsigned ticket = 0;
    bool destroyed = false;
    bool running = false;
};

std::mutex g_mutex;
std::set<Source*> g_sources;  // alive, so that a source used after its end is caught
int g_defaultContext;         // stands for GLib's default main context

bool Alive(Source* source, const char* call) {
    if (g_sources.count(source) != 0) return true;
    fake_gui::Problem(call);
    return false;
}

void UnrefLocked(Source* source) {
    if (--source->refs > 0) return;
    g_sources.erase(source);
    delete source;
}

// The source is done with: its data is given up (outside the lock, as the
// notify may call back) and the context's reference dropped.
void Finish(Source* source, std::unique_lock<std::mutex>& lock) {
    const DestroyNotify notify = source->notify;
    void* const data = source->data;
    source->notify = nullptr;
    lock.unlock();
    if (notify != nullptr) notify(data);
    lock.lock();
    UnrefLocked(source);
}

void Dispatch(Source* source) {
    std::unique_lock<std::mutex> lock(g_mutex);
    if (!Alive(source, "a queued source was freed")) return;
    if (source->destroyed) return Finish(source, lock);  // destroyed as it was about to run
    source->running = true;
    lock.unlock();
    source->function(source->data);  // idle sources of the module run once
    lock.lock();
    source->running = false;
    source->destroyed = true;
    Finish(source, lock);
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void* g_idle_source_new() {
    std::lock_guard<std::mutex> lock(g_mutex);
    Source* source = new Source;
    g_sources.insert(source);
    return source;
}

__attribute__((visibility("default"))) void g_source_set_callback(void* source,
                                                                  SourceFunction function,
                                                                  void* data,
                                                                  DestroyNotify notify) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto* s = static_cast<Source*>(source);
    if (!Alive(s, "g_source_set_callback on a freed source")) return;
    s->function = function;
    s->data = data;
    s->notify = notify;
}

__attribute__((visibility("default"))) unsigned g_source_attach(void* source, void* context) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto* s = static_cast<Source*>(source);
    if (!Alive(s, "g_source_attach on a freed source")) return 0;
    if (context != nullptr && context != &g_defaultContext) fake_gui::Problem("a foreign context");
    ++s->refs;  // the context's
    s->ticket = fake_gui::Queue(fake_gui::Toolkit::kGlib, [s] { Dispatch(s); });
    return s->ticket;
}

__attribute__((visibility("default"))) void g_source_destroy(void* source) {
    std::unique_lock<std::mutex> lock(g_mutex);
    auto* s = static_cast<Source*>(source);
    if (!Alive(s, "g_source_destroy on a freed source") || s->destroyed) return;
    s->destroyed = true;
    // Queued and not started: it never runs. Running: it finishes as it ends.
    if (fake_gui::TakeBack(s->ticket)) Finish(s, lock);
}

__attribute__((visibility("default"))) void g_source_unref(void* source) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto* s = static_cast<Source*>(source);
    if (Alive(s, "g_source_unref on a freed source")) UnrefLocked(s);
}

__attribute__((visibility("default"))) void* g_main_context_default() { return &g_defaultContext; }

__attribute__((visibility("default"))) int g_main_context_is_owner(void* context) {
    return context == &g_defaultContext && fake_gui::OnGuiThread() ? 1 : 0;
}

}  // extern "C"
