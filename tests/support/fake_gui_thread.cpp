#include "tests/support/fake_gui_thread.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>

namespace fake_gui {
namespace {

struct Queued {
    unsigned ticket;
    Toolkit toolkit;
    Piece piece;
};

// One thread that runs queued pieces in turn, as a toolkit's loop runs its
// sources or events; started with the first, stopped as the program ends.
class Loop {
public:
    ~Loop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    unsigned Add(Toolkit toolkit, Piece piece) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!thread_.joinable()) thread_ = std::thread(&Loop::Run, this);
        queue_.push_back({++tickets_, toolkit, std::move(piece)});
        changed_.notify_all();
        return tickets_;
    }

    bool TakeBack(unsigned ticket) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = queue_.begin(); it != queue_.end(); ++it) {
            if (it->ticket != ticket) continue;
            queue_.erase(it);
            changed_.notify_all();
            return true;
        }
        return false;
    }

    void Serve(Toolkit toolkit, bool served) {
        std::lock_guard<std::mutex> lock(mutex_);
        served_[Index(toolkit)] = served;
        changed_.notify_all();
    }

    int Ran(Toolkit toolkit) {
        std::lock_guard<std::mutex> lock(mutex_);
        return ran_[Index(toolkit)];
    }

    int Pending(Toolkit toolkit) {
        std::lock_guard<std::mutex> lock(mutex_);
        int pending = 0;
        for (const Queued& queued : queue_) pending += queued.toolkit == toolkit ? 1 : 0;
        return pending;
    }

    void WaitIdle() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !running_ && !RunnableLeft(); });
    }

    bool OnThread() const { return std::this_thread::get_id() == id_.load(); }

private:
    static size_t Index(Toolkit toolkit) { return toolkit == Toolkit::kGlib ? 0 : 1; }

    // The first piece of a served toolkit, or the end of the queue.
    std::deque<Queued>::iterator Runnable() {
        for (auto it = queue_.begin(); it != queue_.end(); ++it) {
            if (served_[Index(it->toolkit)]) return it;
        }
        return queue_.end();
    }
    bool RunnableLeft() { return Runnable() != queue_.end(); }

    void Run() {
        id_.store(std::this_thread::get_id());
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return stopping_ || RunnableLeft(); });
            if (stopping_) return;
            const auto it = Runnable();
            Queued queued = std::move(*it);
            queue_.erase(it);
            running_ = true;
            ++ran_[Index(queued.toolkit)];
            lock.unlock();
            queued.piece();
            lock.lock();
            running_ = false;
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Queued> queue_;
    std::thread thread_;
    std::atomic<std::thread::id> id_{};
    bool served_[2] = {true, true};
    int ran_[2] = {0, 0};
    unsigned tickets_ = 0;
    bool running_ = false;
    bool stopping_ = false;
};

Loop& TheLoop() {
    static Loop loop;
    return loop;
}

std::atomic<int> g_problems{0};

}  // namespace

bool OnGuiThread() { return TheLoop().OnThread(); }
void Serve(Toolkit toolkit, bool served) { TheLoop().Serve(toolkit, served); }
int Ran(Toolkit toolkit) { return TheLoop().Ran(toolkit); }
int Pending(Toolkit toolkit) { return TheLoop().Pending(toolkit); }
void WaitIdle() { TheLoop().WaitIdle(); }
unsigned Queue(Toolkit toolkit, Piece piece) { return TheLoop().Add(toolkit, std::move(piece)); }
bool TakeBack(unsigned ticket) { return TheLoop().TakeBack(ticket); }

void Problem(const char* what) {
    ++g_problems;
    std::fprintf(stderr, "fake GUI toolkit: %s\n", what);
}
int Problems() { return g_problems.load(); }

}  // namespace fake_gui
