#include "app/startup_fetch.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace lumaforge {

struct StartupFetch::Shared {
    explicit Shared(UiDispatcher& dispatcher) : handOver(dispatcher) {}
    UiHandOver handOver;
    std::atomic<bool> stopping{false};
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;  // guarded by mutex
};

namespace {
StartupDownloads Fetch(HttpClient& http, const StartupRequest& request, const std::atomic<bool>& stopping) {
    http.SetTimeout(request.timeoutMs);
    http.SetAbortCheck([&stopping] { return stopping.load(); });
    StartupDownloads downloads;
    StringSink catalog;
    http.Get(request.catalogUrl, catalog);
    // Part of a catalog is no catalog: a server that fell silent half-way gave nothing.
    if (!http.TimedOut())
        downloads.catalog = std::move(catalog.Text());
    // Whatever comes is checked by the signature, so a failed transfer needs no judging here.
    auto fetchText = [&](const std::string& url, std::string& into) {
        if (url.empty() || downloads.catalog.empty() || stopping)
            return;
        StringSink sink;
        http.Get(url, sink);
        if (!http.TimedOut())
            into = std::move(sink.Text());
    };
    fetchText(request.manifestUrl, downloads.manifest);
    fetchText(request.signatureUrl, downloads.signature);
    if (!request.apiUrl.empty() && !stopping) {
        StringSink api;
        http.Get(request.apiUrl, api);
        downloads.api = std::move(api.Text());
    }
    return downloads;
}
}  // namespace

StartupFetch::StartupFetch(HttpClientFactory httpFactory, UiDispatcher& dispatcher, StartupRequest request,
                           Arrived arrived)
    : shared_(std::make_shared<Shared>(dispatcher)) {
    worker_ = std::thread([shared = shared_, httpFactory = std::move(httpFactory), request = std::move(request),
                           arrived = std::move(arrived)]() mutable {
        std::unique_ptr<HttpClient> http = httpFactory();
        StartupDownloads downloads = Fetch(*http, request, shared->stopping);
        if (!shared->stopping)
            shared->handOver.InvokeOnUi([&] { arrived(std::move(downloads)); });
        std::lock_guard lock(shared->mutex);
        shared->finished = true;
        shared->finishedChanged.notify_all();
    });
}

StartupFetch::~StartupFetch() {
    shared_->stopping = true;
    shared_->handOver.Stop();
    std::unique_lock lock(shared_->mutex);
    const bool finished =
        shared_->finishedChanged.wait_for(lock, std::chrono::seconds(1), [&] { return shared_->finished; });
    lock.unlock();
    if (finished)
        worker_.join();
    else
        worker_.detach();
}

}  // namespace lumaforge
