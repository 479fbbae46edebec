#include "download/down_manager.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace lumaforge {

namespace {
// Passes the bytes on and keeps their count and SHA-256.
class DigestingSink final : public ByteSink {
public:
    explicit DigestingSink(ByteSink& inner) : inner_(inner) {}
    void Write(const void* data, size_t count) override {
        inner_.Write(data, count);
        sha256_.Update(data, count);
        size_ += count;
    }
    int64_t Size() const override { return inner_.Size(); }
    bool Flush() override { return inner_.Flush(); }
    // Once, after the transfer.
    FileDigest Digest() { return {size_, sha256_.Final()}; }

private:
    ByteSink& inner_;
    Sha256 sha256_;
    uint64_t size_ = 0;
};
}  // namespace

class TDownManager::Impl : public std::enable_shared_from_this<Impl> {
public:
    Impl(HttpClientFactory httpFactory, PackageStore& store, UiDispatcher& dispatcher,
         std::chrono::milliseconds idleTimeout);
    void Start();
    void AddTask(const std::string& url, const std::string& fileName, RowId node, DownloadRows* tree,
                 std::optional<FileDigest> expected);
    void CancelTask(DownloadRows* tree, RowId node);
    void StopWorkers();
    size_t QueueSize() const;

private:
    struct Worker {
        std::thread thread;
        std::unique_ptr<HttpClient> Http;
        TTaskInfo TaskInfo;     // guarded by mutex_
        bool Busy = false;      // guarded by mutex_
        bool Cancel = false;    // guarded by mutex_
        bool Finished = false;  // guarded by mutex_: the thread has left its loop
        int Progress = 0;       // the worker's own
        TTaskInfo Current;      // the worker's own copy of the task it runs
    };

    void Execute(Worker& worker);
    void RunTask(Worker& worker);
    void DoProgress(Worker& worker, int64_t current, int64_t total, bool& abort);
    bool UpdateRow(const TTaskInfo& task, TDownloadState state, int progress);
    void FinishTask(Worker& worker, const TTaskInfo& task, TDownloadState state, int progress);
    void TakeNextTask(Worker& worker);  // user-interface thread, lock held
    bool CancelRequested(const Worker& worker) const;

    PackageStore& store_;
    UiHandOver handOver_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::array<Worker, 2> workers_;
    std::deque<TTaskInfo> queue_;
    // Written under mutex_; also read without it on every received chunk.
    std::atomic<bool> stopping_{false};
    bool stopped_ = false;
};

TDownManager::TDownManager(HttpClientFactory httpFactory, PackageStore& store, UiDispatcher& dispatcher,
                           std::chrono::milliseconds idleTimeout)
    : impl_(std::make_shared<Impl>(std::move(httpFactory), store, dispatcher, idleTimeout)) {
    impl_->Start();
}

TDownManager::~TDownManager() {
    impl_->StopWorkers();
}

void TDownManager::AddTask(const std::string& url, const std::string& fileName, RowId node, DownloadRows* tree,
                           std::optional<FileDigest> expected) {
    impl_->AddTask(url, fileName, node, tree, std::move(expected));
}

void TDownManager::CancelTask(DownloadRows* tree, RowId node) {
    impl_->CancelTask(tree, node);
}

void TDownManager::StopWorkers() {
    impl_->StopWorkers();
}

size_t TDownManager::QueueSize() const {
    return impl_->QueueSize();
}

TDownManager::Impl::Impl(HttpClientFactory httpFactory, PackageStore& store, UiDispatcher& dispatcher,
                         std::chrono::milliseconds idleTimeout)
    : store_(store), handOver_(dispatcher) {
    for (Worker& worker : workers_) {
        worker.Http = httpFactory();
        worker.Http->SetOnProgress([this, &worker](int64_t current, int64_t total, bool& abort) {
            DoProgress(worker, current, total, abort);
        });
        worker.Http->SetTimeout(static_cast<int32_t>(idleTimeout.count()));
        // A silent transfer hears of a cancel or of the program closing while it waits.
        worker.Http->SetAbortCheck([this, &worker] { return CancelRequested(worker); });
    }
}

void TDownManager::Impl::Start() {
    // Each thread keeps the inner state alive, so one left behind in a stalled transfer never
    // touches freed memory.
    for (Worker& worker : workers_)
        worker.thread = std::thread([self = shared_from_this(), &worker] { self->Execute(worker); });
}

void TDownManager::Impl::AddTask(const std::string& url, const std::string& fileName, RowId node, DownloadRows* tree,
                                 std::optional<FileDigest> expected) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        auto idle = std::find_if(workers_.begin(), workers_.end(), [](const Worker& w) { return !w.Busy; });
        if (idle != workers_.end()) {
            idle->TaskInfo = {url, fileName, tree, node, expected};
            idle->Cancel = false;
            idle->Busy = true;
        } else {
            queue_.push_back({url, fileName, tree, node, expected});
        }
    }
    wake_.notify_all();
    // Marked waiting at once either way, so a second start of the row cannot hand it out twice.
    tree->ShowRowState(node, dsWaiting, 0);
}

void TDownManager::Impl::CancelTask(DownloadRows* tree, RowId node) {
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
    tree->ShowRowState(node, dsNone, 0);
}

size_t TDownManager::Impl::QueueSize() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

void TDownManager::Impl::StopWorkers() {
    {
        std::lock_guard lock(mutex_);
        if (stopped_)
            return;
        stopping_ = true;
        for (Worker& worker : workers_)
            worker.Cancel = true;
    }
    wake_.notify_all();
    // A worker waiting for a hand-over is released; its work will never run.
    handOver_.Stop();
    // A worker stuck in a stalled transfer cannot be interrupted; it is left behind after a
    // second rather than holding up the window's close.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (Worker& worker : workers_) {
        if (!worker.thread.joinable())
            continue;
        std::unique_lock lock(mutex_);
        const bool finished = wake_.wait_until(lock, deadline, [&] { return worker.Finished; });
        lock.unlock();
        if (finished)
            worker.thread.join();
        else
            worker.thread.detach();
    }
    std::lock_guard lock(mutex_);
    queue_.clear();
    stopped_ = true;
}

void TDownManager::Impl::Execute(Worker& worker) {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, std::chrono::milliseconds(100), [&] { return stopping_ || worker.Busy; });
            if (stopping_) {
                worker.Finished = true;
                wake_.notify_all();
                return;
            }
            if (!worker.Busy)
                continue;
            worker.Current = worker.TaskInfo;
        }
        RunTask(worker);
    }
}

bool TDownManager::Impl::CancelRequested(const Worker& worker) const {
    std::lock_guard lock(mutex_);
    return worker.Cancel || stopping_;
}

void TDownManager::Impl::RunTask(Worker& worker) {
    const TTaskInfo& task = worker.Current;
    worker.Progress = 0;
    const std::string tempName = task.FileName + ".temp";
    std::unique_ptr<ByteSink> file = store_.CreateTemp(tempName);
    if (!file) {
        FinishTask(worker, task, dsFailed, 0);
        return;
    }
    UpdateRow(task, dsDownloading, 0);
    // The digest is taken as the bytes arrive, so checking a package costs no second read of it.
    DigestingSink digesting(*file);
    try {
        worker.Http->Get(task.Url, digesting);
        file->Flush();
    } catch (...) {
        // A failed transfer shows in the size check below.
    }
    const bool cancelled = CancelRequested(worker);
    const int64_t size = file->Size();
    file.reset();
    TDownloadState state = dsNone;
    if (!cancelled) {
        // A server may announce less than the package: only a whole archive counts as downloaded.
        const bool complete = size > 0 && size == worker.Http->ContentLength() && store_.IsWholeArchive(tempName);
        // A package that cannot take its name (in use, read-only, disk full) is no package.
        const bool genuine = !complete || !task.Expected || digesting.Digest() == *task.Expected;
        const bool stored = complete && genuine && store_.Move(tempName, task.FileName);
        state = stored ? dsDownloaded : !genuine ? dsRefused : dsFailed;
        if (!stored)
            store_.Delete(tempName);
    }
    FinishTask(worker, task, state, worker.Progress);
}

void TDownManager::Impl::DoProgress(Worker& worker, int64_t current, int64_t total, bool& abort) {
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

bool TDownManager::Impl::UpdateRow(const TTaskInfo& task, TDownloadState state, int progress) {
    return handOver_.InvokeOnUi([task, state, progress] { task.Tree->ShowRowState(task.Node, state, progress); });
}

void TDownManager::Impl::FinishTask(Worker& worker, const TTaskInfo& task, TDownloadState state, int progress) {
    const bool handedOver = handOver_.InvokeOnUi([this, &worker, task, state, progress] {
        task.Tree->ShowRowState(task.Node, state, progress);
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

void TDownManager::Impl::TakeNextTask(Worker& worker) {
    auto next = std::find_if(queue_.begin(), queue_.end(),
                             [](const TTaskInfo& t) { return t.Tree->RowState(t.Node) == dsWaiting; });
    if (next == queue_.end())
        return;
    worker.TaskInfo = *next;
    worker.Busy = true;
    queue_.erase(next);
    wake_.notify_all();
}

}  // namespace lumaforge
