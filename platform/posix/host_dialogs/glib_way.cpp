// The GUI thread as a GTK host runs it: GLib's default main context. A piece
// is an idle source of that context; the module keeps a reference to the
// source, so withdrawing it is safe whether or not GLib has run and freed it
// meanwhile (destroying a source twice does nothing, and removing a source
// id that is gone would be an error GLib reports on the host's stderr).
#include <dlfcn.h>

#include <memory>

#include "platform/posix/host_dialogs/gui_ways.h"

namespace os::host_dialogs {
namespace {

using SourceFunction = int (*)(void* data);
using DestroyNotify = void (*)(void* data);

struct GlibCalls {
    void* (*idleSourceNew)();
    void (*setCallback)(void* source, SourceFunction function, void* data, DestroyNotify notify);
    unsigned (*attach)(void* source, void* context);
    void (*destroy)(void* source);
    void (*unref)(void* source);
    void* (*defaultContext)();
    int (*isOwner)(void* context);
};

template <typename Function>
bool Find(Function& function, const char* name) {
    function = reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
    return function != nullptr;
}

// The source's callback runs once, on the GUI thread, and removes it (0).
int Run(void* data) {
    (*static_cast<std::shared_ptr<Handover>*>(data))->RunHere();
    return 0;
}

// The queue's share of the handover, given up as GLib lets the source go.
void Release(void* data) { delete static_cast<std::shared_ptr<Handover>*>(data); }

class GlibCall final : public QueuedCall {
public:
    explicit GlibCall(const GlibCalls& calls) : calls_(calls) {}
    ~GlibCall() override {
        if (source_ != nullptr) calls_.unref(source_);
    }
    void Withdraw() override { calls_.destroy(source_); }

    // A new idle source, with one reference the module's, running data's
    // handover and giving up data as GLib lets it go.
    void Attach(std::unique_ptr<std::shared_ptr<Handover>> data) {
        source_ = calls_.idleSourceNew();
        calls_.setCallback(source_, &Run, data.release(), &Release);
        calls_.attach(source_, nullptr);  // the default context
    }

private:
    GlibCalls calls_;
    void* source_ = nullptr;
};

class GlibWayImpl final : public GuiWay {
public:
    explicit GlibWayImpl(const GlibCalls& calls) : calls_(calls) {}

    bool IsGuiThread() override { return calls_.isOwner(calls_.defaultContext()) != 0; }

    std::unique_ptr<QueuedCall> Queue(const std::shared_ptr<Handover>& handover) override {
        auto data = std::make_unique<std::shared_ptr<Handover>>(handover);
        auto call = std::make_unique<GlibCall>(calls_);
        call->Attach(std::move(data));
        return call;
    }

private:
    GlibCalls calls_;
};

}  // namespace

std::unique_ptr<GuiWay> GlibWay() {
    GlibCalls calls;
    if (!Find(calls.idleSourceNew, "g_idle_source_new") ||
        !Find(calls.setCallback, "g_source_set_callback") ||
        !Find(calls.attach, "g_source_attach") || !Find(calls.destroy, "g_source_destroy") ||
        !Find(calls.unref, "g_source_unref") ||
        !Find(calls.defaultContext, "g_main_context_default") ||
        !Find(calls.isOwner, "g_main_context_is_owner")) {
        return nullptr;
    }
    return std::make_unique<GlibWayImpl>(calls);
}

}  // namespace os::host_dialogs
