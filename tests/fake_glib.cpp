#include "tests/fake_glib.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace {

using SourceFunction = int (*)(void*);

// One thread that runs queued callbacks in turn, as GLib's main loop runs
// idle callbacks; started with the first, stopped as the program ends.
class GuiLoop {
public:
    ~GuiLoop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        woken_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    unsigned Add(SourceFunction function, void* data) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!thread_.joinable()) thread_ = std::thread(&GuiLoop::Run, this);
        queue_.emplace_back(function, data);
        woken_.notify_all();
        return static_cast<unsigned>(++queued_);
    }

    bool OnThread() const { return std::this_thread::get_id() == id_.load(); }
    int queued() {
        std::lock_guard<std::mutex> lock(mutex_);
        return queued_;
    }

private:
    void Run() {
        id_.store(std::this_thread::get_id());
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            woken_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            auto [function, data] = queue_.front();
            queue_.pop_front();
            lock.unlock();
            // A callback that returns non-zero asks to run again.
            const bool again = function(data) != 0;
            lock.lock();
            if (again) queue_.emplace_back(function, data);
        }
    }

    std::mutex mutex_;
    std::condition_variable woken_;
    std::deque<std::pair<SourceFunction, void*>> queue_;
    std::thread thread_;
    std::atomic<std::thread::id> id_{};
    bool stopping_ = false;
    int queued_ = 0;
};

GuiLoop& Loop() {
    static GuiLoop loop;
    return loop;
}

int g_defaultContext;  // stands for GLib's default main context

}  // namespace

namespace fake_glib {

bool OnGuiThread() { return Loop().OnThread(); }
int QueuedCount() { return Loop().queued(); }

}  // namespace fake_glib

extern "C" {

__attribute__((visibility("default"))) unsigned g_idle_add(SourceFunction function, void* data) {
    return Loop().Add(function, data);
}

__attribute__((visibility("default"))) void* g_main_context_default() { return &g_defaultContext; }

__attribute__((visibility("default"))) int g_main_context_is_owner(void* context) {
    return context == &g_defaultContext && Loop().OnThread() ? 1 : 0;
}

}  // extern "C"
