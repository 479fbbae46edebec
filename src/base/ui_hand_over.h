#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace lumaforge {

// Hands work to the user-interface thread: Post may be called from any thread and returns at
// once; the work runs later on the user-interface thread. False when the work will never run
// (the dispatcher is gone or its queue refused it); the work is then dropped.
class UiDispatcher {
public:
    virtual ~UiDispatcher() = default;
    virtual bool Post(std::function<void()> work) = 0;
};

// Lets a worker thread run work on the user-interface thread and wait until it has run.
//
// Lifetime: Stop releases every worker waiting and makes later calls return false at once, so a
// stopping worker never waits for the user-interface thread, and work handed over before the stop
// never runs after it. The owner stops the hand-over before it stops its workers.
class UiHandOver {
public:
    explicit UiHandOver(UiDispatcher& dispatcher) : dispatcher_(dispatcher) {}
    UiHandOver(const UiHandOver&) = delete;
    UiHandOver& operator=(const UiHandOver&) = delete;

    // Worker thread. True when the work ran; false when it never will.
    bool InvokeOnUi(std::function<void()> work);
    // Any thread.
    void Stop();

private:
    struct PendingCall;
    UiDispatcher& dispatcher_;
    std::mutex mutex_;
    std::vector<std::shared_ptr<PendingCall>> pending_;
    bool stopped_ = false;
};

}  // namespace lumaforge
