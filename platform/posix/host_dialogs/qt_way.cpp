// The GUI thread as Qt runs it, reached through the C calls of the LCL's Qt
// binding (libQt5Pas), which the file manager's Qt edition has loaded. This
// works whichever event dispatcher Qt uses, GLib's or its own.
//
// A piece is an event of a type of our own, posted to a plain object that is
// moved to the GUI thread. The binding's hook object filters that object's
// events: the filter runs the piece when the event arrives. The object is
// deleted later on the GUI thread once the piece has run, or once it has
// been withdrawn (its event removed first), and only then does the queue
// give up its share of the handover: nothing the GUI thread may still
// deliver refers to memory that is gone.
#include <dlfcn.h>

#include <atomic>
#include <memory>

#include "platform/posix/host_dialogs/gui_ways.h"

namespace os::host_dialogs {
namespace {

// A method pointer of the binding: the function and its first argument.
struct Hook {
    void* function;
    void* data;
};

struct QtCalls {
    void* (*application)();
    void* (*objectThread)(void* object);
    void* (*currentThread)();
    void* (*createObject)(void* parent);
    void (*moveToThread)(void* object, void* thread);
    void (*deleteLater)(void* object);
    void* (*createHook)(void* object);
    void (*hookEvents)(void* hook, Hook filter);
    void (*hookDestroyed)(void* hook, Hook handler);
    void* (*createEvent)(int type);
    int (*eventType)(void* event);
    void (*postEvent)(void* receiver, void* event, int priority);
    void (*removePostedEvents)(void* receiver, int type);
    int (*registerEventType)(int hint);
};

template <typename Function>
bool Find(Function& function, const char* name) {
    function = reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
    return function != nullptr;
}

// What the posted object's hook carries: the queue's share of the handover.
struct Post {
    QtCalls calls;
    std::shared_ptr<Handover> handover;
    int type;
    void* hook = nullptr;
};

// The hook's filter, on the GUI thread: our event runs the piece. If the
// piece was withdrawn meanwhile, the withdrawal deletes the object.
bool Filter(void* data, void* object, void* event) {
    auto* post = static_cast<Post*>(data);
    if (post->calls.eventType(event) != post->type) return false;
    if (post->handover->RunHere()) post->calls.deleteLater(object);
    return true;
}

// The object is being deleted: its hook goes too, and so does the queue's
// share of the handover.
void Destroyed(void* data) {
    auto* post = static_cast<Post*>(data);
    post->calls.deleteLater(post->hook);
    delete post;
}

class QtCall final : public QueuedCall {
public:
    // Makes the object the piece's event is posted to.
    QtCall(const QtCalls& calls, int type)
        : calls_(calls), object_(calls.createObject(nullptr)), type_(type) {}

    void* object() const { return object_; }

    void Withdraw() override {
        calls_.removePostedEvents(object_, type_);
        calls_.deleteLater(object_);
    }

private:
    QtCalls calls_;
    void* object_;
    int type_;
};

// One event type for the module's pieces, registered with Qt once.
int PieceEventType(const QtCalls& calls) {
    static std::atomic<int> type{0};
    if (type.load() == 0) type.store(calls.registerEventType(-1));
    return type.load();
}

class QtWayImpl final : public GuiWay {
public:
    explicit QtWayImpl(const QtCalls& calls) : calls_(calls) {}

    bool IsGuiThread() override {
        return calls_.currentThread() == calls_.objectThread(calls_.application());
    }

    std::unique_ptr<QueuedCall> Queue(const std::shared_ptr<Handover>& handover) override {
        const int type = PieceEventType(calls_);
        auto post = std::make_unique<Post>(Post{calls_, handover, type});
        auto call = std::make_unique<QtCall>(calls_, type);
        void* const object = call->object();
        // The hook filters only for an object of its own thread, so both are
        // made here and moved to the GUI thread together.
        post->hook = calls_.createHook(object);
        Post* const share = post.release();
        calls_.hookEvents(share->hook, Hook{reinterpret_cast<void*>(&Filter), share});
        calls_.hookDestroyed(share->hook, Hook{reinterpret_cast<void*>(&Destroyed), share});
        void* const gui = calls_.objectThread(calls_.application());
        calls_.moveToThread(share->hook, gui);
        calls_.moveToThread(object, gui);
        calls_.postEvent(object, calls_.createEvent(type), 0);
        return call;
    }

private:
    QtCalls calls_;
};

}  // namespace

std::unique_ptr<GuiWay> QtWay() {
    QtCalls calls;
    if (!Find(calls.application, "QCoreApplication_instance") ||
        !Find(calls.objectThread, "QObject_thread") ||
        !Find(calls.currentThread, "QThread_currentThread") ||
        !Find(calls.createObject, "QObject_Create") ||
        !Find(calls.moveToThread, "QObject_moveToThread") ||
        !Find(calls.deleteLater, "QObject_deleteLater") ||
        !Find(calls.createHook, "QObject_hook_Create") ||
        !Find(calls.hookEvents, "QObject_hook_hook_events") ||
        !Find(calls.hookDestroyed, "QObject_hook_hook_destroyed") ||
        !Find(calls.createEvent, "QEvent_Create") || !Find(calls.eventType, "QEvent_type") ||
        !Find(calls.postEvent, "QCoreApplication_postEvent") ||
        !Find(calls.removePostedEvents, "QCoreApplication_removePostedEvents") ||
        !Find(calls.registerEventType, "QEvent_registerEventType")) {
        return nullptr;
    }
    if (calls.application() == nullptr) return nullptr;
    return std::make_unique<QtWayImpl>(calls);
}

}  // namespace os::host_dialogs
