#include "download/down_manager.h"

#include <algorithm>
#include <chrono>

namespace lumaforge {

struct TDownManager::PendingCall {
    std::mutex mutex;
    std::condition_variable done;
    bool ran = false;
    bool abandoned = false;
};

TDownManager::TDownManager(HttpClientFactory httpFactory, PackageStore& store, UiDispatcher& dispatcher)
    : store_(store), dispatcher_(dispatcher) {
    for (Worker& worker : workers_) {
        worker.Http = httpFactory();
        worker.Http->SetOnProgress([this, &worker](int64_t current, int64_t total, bool& abort) {
            DoProgress(worker, current, total, abort);
        });
    }
    for (Worker& worker : workers_)
        worker.thread = std::thread([this, &worker] { Execute(worker); });
}

TDownManager::~TDownManager() {
    StopWorkers();
}

void TDownManager::AddTask(const std::string& url, const std::string& fileName, NodeId node, DownloadRows* tree) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        auto idle = std::find_if(workers_.begin(), workers_.end(), [](const Worker& w) { return !w.Busy; });
        if (idle != workers_.end()) {
            idle->TaskInfo = {url, fileName, tree, node};
            idle->Cancel = false;
            idle->Busy = true;
        } else {
            queue_.push_back({url, fileName, tree, node});
        }
    }
    wake_.notify_all();
    // Marked waiting at once either way, so a second start of the row cannot hand it out twice.
    TResourceItem& row = tree->Row(node);
    row.State = dsWaiting;
    row.Progress = 0;
    tree->RepaintRow(node);
}

void TDownManager::CancelTask(DownloadRows* tree, NodeId node) {
    {
        std::lock_guard lock(mutex_);
        for (Worker& worker : workers_) {
            if (worker.Busy && worker.TaskInfo.Tree == tree && worker.TaskInfo.Node == node) {
                worker.Cancel = true;
                return;
            }
        }
        auto queued = std::find_if(queue_.begin(), queue_.end(),
                                   [&](const TTaskInfo& t) { return t.Tree == tree && t.Node == node; });
        if (queued == queue_.end())
            return;
        queue_.erase(queued);
    }
    TResourceItem& row = tree->Row(node);
    row.State = dsNone;
    row.Progress = 0;
    tree->RepaintRow(node);
}

size_t TDownManager::QueueSize() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

bool TDownManager::IsRunning(DownloadRows* tree, NodeId node) const {
    std::lock_guard lock(mutex_);
    return std::any_of(workers_.begin(), workers_.end(), [&](const Worker& w) {
        return w.Busy && w.TaskInfo.Tree == tree && w.TaskInfo.Node == node;
    });
}

void TDownManager::StopWorkers() {
    std::vector<std::shared_ptr<PendingCall>> pending;
    {
        std::lock_guard lock(mutex_);
        if (stopped_)
            return;
        stopping_ = true;
        for (Worker& worker : workers_)
            worker.Cancel = true;
        pending = pending_;
    }
    wake_.notify_all();
    // A worker waiting for a hand-over is released; its work will never run.
    for (const auto& call : pending) {
        std::lock_guard lock(call->mutex);
        call->abandoned = true;
        call->done.notify_all();
    }
    for (Worker& worker : workers_)
        if (worker.thread.joinable())
            worker.thread.join();
    std::lock_guard lock(mutex_);
    queue_.clear();
    stopped_ = true;
}

void TDownManager::Execute(Worker& worker) {
    for (;;) {
        TTaskInfo task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, std::chrono::milliseconds(100), [&] { return stopping_ || worker.Busy; });
            if (stopping_)
                return;
            if (!worker.Busy)
                continue;
            task = worker.TaskInfo;
        }
        worker.Current = task;
        RunTask(worker, task);
    }
}

bool TDownManager::CancelRequested(const Worker& worker) const {
    std::lock_guard lock(mutex_);
    return worker.Cancel || stopping_;
}

void TDownManager::RunTask(Worker& worker, const TTaskInfo& task) {
    worker.Progress = 0;
    const std::string tempName = task.FileName + ".temp";
    std::unique_ptr<ByteSink> file = store_.CreateTemp(tempName);
    if (!file) {
        FinishTask(worker, task, dsFailed, 0);
        return;
    }
    UpdateRow(task, dsDownloading, 0);
    try {
        worker.Http->Get(task.Url, *file);
        file->Flush();
    } catch (...) {
        // A failed transfer shows in the size check below.
    }
    const bool cancelled = CancelRequested(worker);
    const int64_t size = file->Size();
    uint8_t state = dsNone;
    if (!cancelled)
        state = size > 0 && size == worker.Http->ContentLength() ? dsDownloaded : dsFailed;
    file.reset();
    if (!cancelled) {
        if (state == dsDownloaded)
            store_.Move(tempName, task.FileName);
        else
            store_.Delete(tempName);
    }
    FinishTask(worker, task, state, worker.Progress);
}

void TDownManager::DoProgress(Worker& worker, int64_t current, int64_t total, bool& abort) {
    if (total <= 0) {
        abort = true;  // without a length the download can never be judged complete
        return;
    }
    const int percent = static_cast<int>(std::min<int64_t>(current * 100 / total, 100));
    if (percent > worker.Progress) {
        worker.Progress = percent;
        UpdateRow(worker.Current, dsDownloading, percent);
        abort = CancelRequested(worker);
    }
    // Closing the program does not wait for the next whole percent.
    if (stopping_)
        abort = true;
}

bool TDownManager::UpdateRow(const TTaskInfo& task, uint8_t state, int progress) {
    return InvokeOnUi([task, state, progress] {
        TResourceItem& row = task.Tree->Row(task.Node);
        row.State = state;
        row.Progress = progress;
        task.Tree->RepaintRow(task.Node);
    });
}

void TDownManager::FinishTask(Worker& worker, const TTaskInfo& task, uint8_t state, int progress) {
    const bool handedOver = InvokeOnUi([this, &worker, task, state, progress] {
        TResourceItem& row = task.Tree->Row(task.Node);
        row.State = state;
        row.Progress = progress;
        task.Tree->RepaintRow(task.Node);
        std::lock_guard lock(mutex_);
        worker.Cancel = false;
        worker.Busy = false;
        TakeNextTask(worker);
    });
    if (!handedOver) {
        std::lock_guard lock(mutex_);
        worker.Cancel = false;
        worker.Busy = false;
    }
}

void TDownManager::TakeNextTask(Worker& worker) {
    auto next = std::find_if(queue_.begin(), queue_.end(),
                             [](const TTaskInfo& t) { return t.Tree->Row(t.Node).State == dsWaiting; });
    if (next == queue_.end())
        return;
    worker.TaskInfo = *next;
    worker.Busy = true;
    queue_.erase(next);
    wake_.notify_all();
}

bool TDownManager::InvokeOnUi(std::function<void()> work) {
    auto call = std::make_shared<PendingCall>();
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return false;
        pending_.push_back(call);
    }
    dispatcher_.Post([call, work = std::move(work)] {
        std::lock_guard lock(call->mutex);
        if (call->abandoned)
            return;
        work();
        call->ran = true;
        call->done.notify_all();
    });
    bool ran = false;
    {
        std::unique_lock lock(call->mutex);
        call->done.wait(lock, [&] { return call->ran || call->abandoned; });
        ran = call->ran;
    }
    std::lock_guard lock(mutex_);
    pending_.erase(std::find(pending_.begin(), pending_.end(), call));
    return ran;
}

}  // namespace lumaforge
