#include "download/preview_downloader.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace lumaforge {

class TDownImageManager::Impl : public std::enable_shared_from_this<Impl> {
public:
    Impl(HttpClientFactory httpFactory, PreviewStore& store, UiDispatcher& dispatcher,
         std::chrono::milliseconds idleTimeout);
    void Start();
    void RequestPreview(const std::string& url, const std::string& fileName, ImageView& view,
                        std::function<bool()> stillWanted, std::optional<FileDigest> expected);
    void Stop();

private:
    struct TTaskInfo {
        uint64_t Generation = 0;
        std::string Url;
        std::string FileName;
        std::optional<FileDigest> Expected;
    };
    // The newest request as the user-interface thread knows it; touched there only.
    struct Newest {
        ImageView* View = nullptr;
        std::string FileName;
        std::function<bool()> StillWanted;
    };

    void Execute();
    void RunTask(const TTaskInfo& task);
    bool AbortRequested() const;
    void SaveWhole(const TTaskInfo& task, std::string_view body);
    // User-interface thread.
    uint64_t Overtake();
    void ShowTask(uint64_t generation);
    void EndLoading();
    static void Show(ImageView& view, const std::string& fileName);

    std::unique_ptr<HttpClient> http_;
    PreviewStore& store_;
    UiHandOver handOver_;

    // Raised on the user-interface thread by every request; the transfer of any older one ends.
    std::atomic<uint64_t> newest_{0};
    // The generation of the transfer running now; the worker's own, read by its abort checks.
    std::atomic<uint64_t> running_{0};
    std::atomic<bool> stopping_{false};

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<TTaskInfo> waiting_;  // guarded by mutex_
    bool finished_ = false;             // guarded by mutex_: the worker has left its loop
    std::thread worker_;
    // Held while the cache is written, so the store is never touched after Stop.
    std::mutex storeMutex_;

    Newest ui_;                         // user-interface thread only
    ImageView* loadingView_ = nullptr;  // user-interface thread only: the view showing the animation
};

TDownImageManager::TDownImageManager(HttpClientFactory httpFactory, PreviewStore& store, UiDispatcher& dispatcher,
                                     std::chrono::milliseconds idleTimeout)
    : impl_(std::make_shared<Impl>(std::move(httpFactory), store, dispatcher, idleTimeout)) {
    impl_->Start();
}

TDownImageManager::~TDownImageManager() {
    impl_->Stop();
}

void TDownImageManager::RequestPreview(const std::string& url, const std::string& fileName, ImageView& view,
                                       std::function<bool()> stillWanted, std::optional<FileDigest> expected) {
    impl_->RequestPreview(url, fileName, view, std::move(stillWanted), std::move(expected));
}

TDownImageManager::Impl::Impl(HttpClientFactory httpFactory, PreviewStore& store, UiDispatcher& dispatcher,
                              std::chrono::milliseconds idleTimeout)
    : http_(httpFactory()), store_(store), handOver_(dispatcher) {
    http_->SetOnProgress([this](int64_t, int64_t total, bool& abort) {
        // Without a length a picture can never be judged whole, so it is not worth the wait.
        abort = total <= 0 || AbortRequested();
    });
    http_->SetTimeout(static_cast<int32_t>(idleTimeout.count()));
    // A silent transfer hears of a newer request (or of the program closing) while it waits.
    http_->SetAbortCheck([this] { return AbortRequested(); });
}

void TDownImageManager::Impl::Start() {
    // The thread keeps the inner state alive, so one left behind in a stalled transfer never
    // touches freed memory.
    worker_ = std::thread([self = shared_from_this()] { self->Execute(); });
}

void TDownImageManager::Impl::RequestPreview(const std::string& url, const std::string& fileName, ImageView& view,
                                             std::function<bool()> stillWanted, std::optional<FileDigest> expected) {
    if (stopping_)
        return;
    const uint64_t generation = Overtake();
    ui_ = {&view, fileName, std::move(stillWanted)};
    if (url.empty()) {
        Show(view, {});
        return;
    }
    if (store_.Exists(fileName)) {
        Show(view, fileName);
        return;
    }
    view.StartLoading();
    loadingView_ = &view;
    {
        std::lock_guard lock(mutex_);
        waiting_ = TTaskInfo{generation, url, fileName, std::move(expected)};
    }
    wake_.notify_all();
}

uint64_t TDownImageManager::Impl::Overtake() {
    const uint64_t generation = ++newest_;
    {
        std::lock_guard lock(mutex_);
        waiting_.reset();
    }
    // The overtaken request will never touch its view again, so its animation ends here.
    EndLoading();
    return generation;
}

void TDownImageManager::Impl::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        stopping_ = true;
        waiting_.reset();
    }
    {
        // A worker writing the cache finishes that first; afterwards it writes nothing.
        std::lock_guard lock(storeMutex_);
    }
    wake_.notify_all();
    // A worker waiting for a hand-over is released; its work will never run.
    handOver_.Stop();
    std::unique_lock lock(mutex_);
    const bool finished = wake_.wait_for(lock, std::chrono::seconds(1), [&] { return finished_; });
    lock.unlock();
    if (finished)
        worker_.join();
    else
        worker_.detach();  // stuck in a transfer that cannot be interrupted
}

void TDownImageManager::Impl::Execute() {
    for (;;) {
        TTaskInfo task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || waiting_.has_value(); });
            if (stopping_) {
                finished_ = true;
                wake_.notify_all();
                return;
            }
            task = std::move(*waiting_);
            waiting_.reset();
        }
        RunTask(task);
    }
}

bool TDownImageManager::Impl::AbortRequested() const {
    return stopping_ || newest_ != running_;
}

void TDownImageManager::Impl::RunTask(const TTaskInfo& task) {
    running_ = task.Generation;
    if (AbortRequested())
        return;
    StringSink body;
    try {
        http_->Get(task.Url, body);
    } catch (...) {
        // A failed transfer shows in the size check below.
    }
    // An overtaken transfer that still arrived whole is kept: it is the picture of a row the user
    // just passed, and a look back at that row then needs no transfer.
    // A preview that is not the one the signed manifest lists is dropped: the view stays empty.
    const bool genuine =
        !task.Expected || FileDigest{static_cast<uint64_t>(body.Size()), Sha256Of(body.Text())} == *task.Expected;
    if (body.Size() > 0 && body.Size() == http_->ContentLength() && genuine)
        SaveWhole(task, body.Text());
    handOver_.InvokeOnUi([this, generation = task.Generation] { ShowTask(generation); });
}

void TDownImageManager::Impl::SaveWhole(const TTaskInfo& task, std::string_view body) {
    std::lock_guard lock(storeMutex_);
    if (stopping_)
        return;
    const std::string tempName = task.FileName + ".temp";
    if (!store_.Write(tempName, body) || !store_.Move(tempName, task.FileName))
        store_.Delete(tempName);
}

void TDownImageManager::Impl::ShowTask(uint64_t generation) {
    if (generation != newest_ || !ui_.View)
        return;
    EndLoading();
    if (ui_.StillWanted && !ui_.StillWanted())
        return;
    // A failed transfer leaves the view empty; the next request for the row asks the server again.
    Show(*ui_.View, store_.Exists(ui_.FileName) ? ui_.FileName : std::string());
}

void TDownImageManager::Impl::EndLoading() {
    if (ImageView* view = std::exchange(loadingView_, nullptr))
        view->StopLoading();
}

void TDownImageManager::Impl::Show(ImageView& view, const std::string& fileName) {
    try {
        view.LoadImageFile(fileName);
    } catch (...) {
        view.LoadImageFile({});
    }
}

}  // namespace lumaforge
