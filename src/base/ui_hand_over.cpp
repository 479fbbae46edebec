#include "base/ui_hand_over.h"

#include <algorithm>
#include <condition_variable>

namespace lumaforge {

struct UiHandOver::PendingCall {
    std::mutex mutex;
    std::condition_variable done;
    bool ran = false;
    bool abandoned = false;
};

bool UiHandOver::InvokeOnUi(std::function<void()> work) {
    auto call = std::make_shared<PendingCall>();
    {
        std::lock_guard lock(mutex_);
        if (stopped_)
            return false;
        pending_.push_back(call);
    }
    const bool posted = dispatcher_.Post([call, work = std::move(work)] {
        std::lock_guard lock(call->mutex);
        if (call->abandoned)
            return;
        work();
        call->ran = true;
        call->done.notify_all();
    });
    bool ran = false;
    if (posted) {
        std::unique_lock lock(call->mutex);
        call->done.wait(lock, [&] { return call->ran || call->abandoned; });
        ran = call->ran;
    }
    std::lock_guard lock(mutex_);
    pending_.erase(std::find(pending_.begin(), pending_.end(), call));
    return ran;
}

void UiHandOver::Stop() {
    std::vector<std::shared_ptr<PendingCall>> pending;
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        pending = pending_;
    }
    for (const auto& call : pending) {
        std::lock_guard lock(call->mutex);
        call->abandoned = true;
        call->done.notify_all();
    }
}

}  // namespace lumaforge
