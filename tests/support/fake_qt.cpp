// Qt's event loop as the LCL's Qt binding offers it (the C calls of
// libQt5Pas that the module uses), over the fake GUI thread, with the rules
// of Qt that matter here: an event is delivered on its object's thread; an
// event filter works only for an object of its own thread; an object is
// moved only by its own thread; deleteLater posts a deferred delete, which
// destroys the object once delivered, and its hooks hear of it.
#include <algorithm>
#include <mutex>
#include <set>
#include <vector>

#include "tests/support/fake_gui_thread.h"

namespace {

constexpr int kDeferredDelete = 52;  // QEvent::DeferredDelete

struct Hook {
    void* function;
    void* data;
};
using FilterFunction = bool (*)(void* data, void* object, void* event);
using DestroyedFunction = void (*)(void* data);

struct Object {
    explicit Object(void* ownThread, bool hook = false, Object* of = nullptr)
        : thread(ownThread), isHook(hook), watched(of) {}

    void* thread;
    bool isHook;
    Object* watched;  // a hook's object
    Hook filter{nullptr, nullptr};
    Hook destroyed{nullptr, nullptr};
    std::vector<Object*> filters;  // the hooks that filter this object's events
};

struct Event {
    int type;
};

struct Posted {
    Object* object;
    Event* event;
    unsigned ticket;
};

std::mutex g_mutex;
std::set<Object*> g_objects;
std::vector<Posted> g_posted;
bool g_offered = false;
int g_nextType = 1000;
int g_guiThread;                 // stands for the GUI thread's QThread
thread_local int t_otherThread;  // and for every other thread's
Object g_application(&g_guiThread);

void* CurrentThread() { return fake_gui::OnGuiThread() ? &g_guiThread : &t_otherThread; }

bool Alive(Object* object) { return object == &g_application || g_objects.count(object) != 0; }

void Deliver(Object* object, Event* event);

void PostLocked(Object* object, Event* event) {
    const unsigned ticket =
        fake_gui::Queue(fake_gui::Toolkit::kQt, [object, event] { Deliver(object, event); });
    g_posted.push_back({object, event, ticket});
}

// Destroys an object as Qt does once its deferred delete arrives.
void Destroy(Object* object, std::unique_lock<std::mutex>& lock) {
    std::vector<Hook> told;
    for (Object* other : g_objects) {
        if (other->watched != object) continue;
        if (other->destroyed.function != nullptr) told.push_back(other->destroyed);
        other->watched = nullptr;
    }
    if (object->isHook && object->watched != nullptr) {
        auto& filters = object->watched->filters;
        filters.erase(std::remove(filters.begin(), filters.end(), object), filters.end());
    }
    for (auto it = g_posted.begin(); it != g_posted.end();) {
        if (it->object == object && fake_gui::TakeBack(it->ticket)) {
            delete it->event;
            it = g_posted.erase(it);
        } else {
            ++it;
        }
    }
    g_objects.erase(object);
    delete object;
    lock.unlock();
    for (const Hook& hook : told) reinterpret_cast<DestroyedFunction>(hook.function)(hook.data);
    lock.lock();
}

void Deliver(Object* object, Event* event) {
    std::unique_lock<std::mutex> lock(g_mutex);
    g_posted.erase(std::remove_if(g_posted.begin(), g_posted.end(),
                                  [event](const Posted& p) { return p.event == event; }),
                   g_posted.end());
    if (!Alive(object)) {
        fake_gui::Problem("an event for an object that was deleted");
    } else if (object->thread != &g_guiThread) {
        fake_gui::Problem("an event for an object of another thread, on the GUI thread");
    } else {
        std::vector<Hook> filters;
        for (Object* hook : object->filters) {
            if (hook->thread == object->thread && hook->filter.function != nullptr) {
                filters.push_back(hook->filter);
            }
        }
        bool consumed = false;
        lock.unlock();
        for (const Hook& hook : filters) {
            consumed = reinterpret_cast<FilterFunction>(hook.function)(hook.data, object, event);
            if (consumed) break;
        }
        lock.lock();
        if (!consumed && event->type == kDeferredDelete && Alive(object)) Destroy(object, lock);
    }
    delete event;
}

Object* AsObject(void* handle, const char* call) {
    auto* object = static_cast<Object*>(handle);
    if (Alive(object)) return object;
    fake_gui::Problem(call);
    return nullptr;
}

}  // namespace

namespace fake_gui {

void OfferQt(bool offered) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_offered = offered;
}

}  // namespace fake_gui

#define QT_CALL extern "C" __attribute__((visibility("default")))

QT_CALL void* QCoreApplication_instance() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_offered ? &g_application : nullptr;
}

QT_CALL void* QObject_thread(void* handle) {
    std::lock_guard<std::mutex> lock(g_mutex);
    Object* object = AsObject(handle, "QObject_thread on a deleted object");
    return object ? object->thread : nullptr;
}

QT_CALL void* QThread_currentThread() { return CurrentThread(); }

QT_CALL void* QObject_Create(void* parent) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (parent != nullptr) fake_gui::Problem("an object with a parent");
    auto* object = new Object(CurrentThread());
    g_objects.insert(object);
    return object;
}

QT_CALL void QObject_moveToThread(void* handle, void* thread) {
    std::lock_guard<std::mutex> lock(g_mutex);
    Object* object = AsObject(handle, "QObject_moveToThread on a deleted object");
    if (object == nullptr) return;
    if (object->thread != CurrentThread()) fake_gui::Problem("an object moved by another thread");
    object->thread = thread;
}

QT_CALL void QObject_deleteLater(void* handle) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (Object* object = AsObject(handle, "QObject_deleteLater on a deleted object")) {
        PostLocked(object, new Event{kDeferredDelete});
    }
}

QT_CALL void* QObject_hook_Create(void* handle) {
    std::lock_guard<std::mutex> lock(g_mutex);
    Object* watched = AsObject(handle, "QObject_hook_Create on a deleted object");
    auto* hook = new Object(CurrentThread(), true, watched);
    g_objects.insert(hook);
    return hook;
}

QT_CALL void QObject_hook_hook_events(void* handle, Hook filter) {
    std::lock_guard<std::mutex> lock(g_mutex);
    Object* hook = AsObject(handle, "QObject_hook_hook_events on a deleted hook");
    if (hook == nullptr || hook->watched == nullptr) return;
    hook->filter = filter;
    if (filter.function == nullptr) return;
    // Qt refuses a filter of another thread, with a warning.
    if (hook->watched->thread != hook->thread) {
        fake_gui::Problem("an event filter of another thread");
        return;
    }
    hook->watched->filters.push_back(hook);
}

QT_CALL void QObject_hook_hook_destroyed(void* handle, Hook handler) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (Object* hook = AsObject(handle, "QObject_hook_hook_destroyed on a deleted hook")) {
        hook->destroyed = handler;
    }
}

QT_CALL int QEvent_registerEventType(int) {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_nextType++;
}

QT_CALL void* QEvent_Create(int type) { return new Event{type}; }

QT_CALL int QEvent_type(void* event) { return static_cast<Event*>(event)->type; }

QT_CALL void QCoreApplication_postEvent(void* handle, void* event, int) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (Object* object = AsObject(handle, "an event posted to a deleted object")) {
        PostLocked(object, static_cast<Event*>(event));
    } else {
        delete static_cast<Event*>(event);
    }
}

QT_CALL void QCoreApplication_removePostedEvents(void* handle, int type) {
    std::lock_guard<std::mutex> lock(g_mutex);
    Object* object = AsObject(handle, "QCoreApplication_removePostedEvents on a deleted object");
    for (auto it = g_posted.begin(); it != g_posted.end();) {
        if (it->object == object && (type == 0 || it->event->type == type) &&
            fake_gui::TakeBack(it->ticket)) {
            delete it->event;
            it = g_posted.erase(it);
        } else {
            ++it;
        }
    }
}
