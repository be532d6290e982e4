#include "platform/posix/host_dialogs/gui_thread.h"

#include <utility>

#include "platform/posix/host_dialogs/gui_ways.h"
#include "platform/posix/os_posix_hooks.h"

namespace os {
namespace posix_hooks {
int handoverMilliseconds = 0;
}  // namespace posix_hooks

namespace host_dialogs {
namespace {

std::unique_ptr<GuiWay> FirstWay() {
    std::unique_ptr<GuiWay> way = QtWay();
    if (!way) way = GlibWay();
    return way;
}

}  // namespace

std::chrono::milliseconds StartBound() {
    if (posix_hooks::handoverMilliseconds != 0) {
        return std::chrono::milliseconds(posix_hooks::handoverMilliseconds);
    }
    return std::chrono::seconds(5);
}

bool OnGuiThread() {
    const std::unique_ptr<GuiWay> way = FirstWay();
    return way && way->IsGuiThread();
}

std::shared_ptr<Handover> HandToGuiThread(std::function<void()> run) {
    const std::unique_ptr<GuiWay> way = FirstWay();
    if (!way) return nullptr;
    auto handover = std::make_shared<Handover>(std::move(run));
    std::unique_ptr<QueuedCall> call = way->Queue(handover);
    if (!call) return nullptr;
    handover->Queued(std::move(call));
    return handover;
}

Handover::~Handover() = default;

void Handover::Queued(std::unique_ptr<QueuedCall> call) {
    std::lock_guard<std::mutex> lock(mutex_);
    call_ = std::move(call);
}

bool Handover::Started(std::chrono::milliseconds bound) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (changed_.wait_for(lock, bound, [this] { return stage_ != Stage::kQueued; })) return true;
    stage_ = Stage::kWithdrawn;
    // Under the lock: the call is withdrawn before anything else can happen
    // to it, and RunHere, which takes the lock first, then finds it withdrawn.
    if (call_) call_->Withdraw();
    return false;
}

void Handover::WaitDone() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return stage_ == Stage::kDone; });
}

bool Handover::RunHere() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stage_ != Stage::kQueued) return false;
        stage_ = Stage::kRunning;
    }
    changed_.notify_all();
    try {
        run_();
    } catch (...) {
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stage_ = Stage::kDone;
    }
    changed_.notify_all();
    return true;
}

}  // namespace host_dialogs
}  // namespace os
