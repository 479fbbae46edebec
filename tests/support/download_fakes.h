#pragma once
// Stand-ins for the network, the cache folder and the user-interface thread, so the download
// manager's threads can be tested anywhere (and under ThreadSanitizer).
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <vector>

#include "download/down_manager.h"
#include "download/preview_downloader.h"

namespace lumaforge::test {

struct FakeResponse {
    int status = 200;
    int64_t bodySize = 0;
    std::optional<int64_t> announced;  // Content-Length; nothing for none
    size_t chunk = 4096;
    std::chrono::microseconds chunkDelay{0};
    bool stall = false;   // after the first chunk nothing more comes until ReleaseStalls, and nothing ends the wait
    bool silent = false;  // after the first chunk nothing more comes; the wait ends on the time-out or an abort
    std::string body;     // the bytes sent, when set (bodySize then follows it); 'z' bytes otherwise
};

class FakeServer {
public:
    void Set(const std::string& url, FakeResponse response) {
        std::lock_guard lock(mutex_);
        responses_[url] = response;
    }
    std::optional<FakeResponse> Find(const std::string& url) const {
        std::lock_guard lock(mutex_);
        auto it = responses_.find(url);
        return it == responses_.end() ? std::nullopt : std::optional<FakeResponse>(it->second);
    }

    // A stalled transfer hangs as a dead connection does: no chunk, so no chance to abort.
    void WaitWhileStalled() {
        std::unique_lock lock(mutex_);
        ++stalled_;
        released_.wait(lock, [&] { return release_; });
        --stalled_;
        released_.notify_all();
    }
    void ReleaseStalls() {
        std::lock_guard lock(mutex_);
        release_ = true;
        released_.notify_all();
    }
    // Waits until no transfer hangs any more.
    void WaitNoStalls() {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [&] { return stalled_ == 0; });
    }
    int Stalled() const {
        std::lock_guard lock(mutex_);
        return stalled_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable released_;
    std::map<std::string, FakeResponse> responses_;
    int stalled_ = 0;
    bool release_ = false;
};

// Writes the body in chunks as a socket would deliver it, raising the progress handler after each.
class FakeHttp final : public HttpClient {
public:
    explicit FakeHttp(FakeServer& server) : server_(server) {}
    void Get(const std::string& url, ByteSink& sink) override {
        contentLength_ = 0;
        timedOut_ = false;
        auto response = server_.Find(url);
        if (!response || response->status != 200)
            return;
        if (!response->body.empty())
            response->bodySize = static_cast<int64_t>(response->body.size());
        contentLength_ = response->announced.value_or(0);
        std::vector<char> chunk(response->chunk, 'z');
        for (int64_t sent = 0; sent < response->bodySize;) {
            if (response->chunkDelay.count())
                std::this_thread::sleep_for(response->chunkDelay);
            size_t n =
                static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(chunk.size()), response->bodySize - sent));
            sink.Write(response->body.empty() ? chunk.data() : response->body.data() + sent, n);
            sent += static_cast<int64_t>(n);
            bool abort = false;
            if (onProgress_)
                onProgress_(sink.Size(), contentLength_, abort);
            if (abort)
                return;
            if (response->stall) {
                server_.WaitWhileStalled();
                return;
            }
            if (response->silent) {
                WaitSilently();
                return;
            }
        }
    }
    int64_t ContentLength() const override { return contentLength_; }
    void SetOnProgress(ProgressHandler handler) override { onProgress_ = std::move(handler); }
    void SetTimeout(int32_t milliseconds) override { timeout_ = std::chrono::milliseconds(milliseconds); }
    void SetAbortCheck(AbortCheck check) override { abortCheck_ = std::move(check); }
    bool TimedOut() const override { return timedOut_; }

private:
    // Waits as the real client does for bytes that never come: in short ticks, asking the check.
    void WaitSilently() {
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < timeout_) {
            if (abortCheck_ && abortCheck_())
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        timedOut_ = true;
    }

    FakeServer& server_;
    int64_t contentLength_ = 0;
    ProgressHandler onProgress_;
    AbortCheck abortCheck_;
    std::chrono::milliseconds timeout_{0};
    bool timedOut_ = false;
};

// Files as sizes only: enough to tell complete, partial and missing files apart.
class FakeStore final : public PackageStore {
public:
    class Sink final : public ByteSink {
    public:
        Sink(FakeStore& store, std::string path) : store_(store), path_(std::move(path)) {}
        void Write(const void*, size_t count) override {
            size_ += static_cast<int64_t>(count);
            std::lock_guard lock(store_.mutex_);
            store_.files_[path_] = size_;
        }
        int64_t Size() const override { return size_; }

    private:
        FakeStore& store_;
        std::string path_;
        int64_t size_ = 0;
    };

    std::unique_ptr<ByteSink> CreateTemp(const std::string& path) override {
        std::lock_guard lock(mutex_);
        if (unwritable_.count(path))
            return nullptr;
        files_[path] = 0;
        return std::make_unique<Sink>(*this, path);
    }
    bool IsWholeArchive(const std::string& path) override {
        std::lock_guard lock(mutex_);
        return files_.count(path) && !broken_.count(path);
    }
    // The file at `path` will hold the start of an archive only, whatever its size.
    void MakeBroken(const std::string& path) {
        std::lock_guard lock(mutex_);
        broken_.insert(path);
    }
    bool Move(const std::string& from, const std::string& to) override {
        std::lock_guard lock(mutex_);
        if (files_.count(to) || !files_.count(from))
            return false;
        files_[to] = files_[from];
        files_.erase(from);
        return true;
    }
    void Delete(const std::string& path) override {
        std::lock_guard lock(mutex_);
        files_.erase(path);
    }
    std::optional<int64_t> FileSize(const std::string& path) const {
        std::lock_guard lock(mutex_);
        auto it = files_.find(path);
        return it == files_.end() ? std::nullopt : std::optional<int64_t>(it->second);
    }
    void MakeUnwritable(const std::string& path) {
        std::lock_guard lock(mutex_);
        unwritable_.insert(path);
    }

private:
    mutable std::mutex mutex_;
    std::map<std::string, int64_t> files_;
    std::set<std::string> unwritable_;
    std::set<std::string> broken_;
};

// The test's own thread plays the user-interface thread: posted work runs when it pumps.
class TestDispatcher final : public UiDispatcher {
public:
    bool Post(std::function<void()> work) override {
        std::lock_guard lock(mutex_);
        if (refuse_)
            return false;
        queue_.push_back(std::move(work));
        posted_.notify_all();
        return true;
    }
    // From now on every post fails, as a full message queue refuses one.
    void Refuse() {
        std::lock_guard lock(mutex_);
        refuse_ = true;
    }
    void RunPending() {
        for (;;) {
            std::function<void()> work;
            {
                std::lock_guard lock(mutex_);
                if (queue_.empty())
                    return;
                work = std::move(queue_.front());
                queue_.pop_front();
            }
            work();
        }
    }
    // Pumps until `done` holds; false when it did not within the time.
    template <typename Predicate>
    bool RunUntil(Predicate done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            {
                std::unique_lock lock(mutex_);
                posted_.wait_for(lock, std::chrono::milliseconds(5), [&] { return !queue_.empty(); });
            }
            RunPending();
        }
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> queue_;
    bool refuse_ = false;
};

// Rows of one list, with every change's state and percentage recorded.
class FakeRows final : public DownloadRows {
public:
    struct RowRecord {
        uint8_t State = dsNone;
        int Progress = 0;
    };
    explicit FakeRows(size_t count) : rows_(count), seen_(count) {}
    TDownloadState RowState(RowId node) const override {
        return static_cast<TDownloadState>(rows_[static_cast<size_t>(node)].State);
    }
    void ShowRowState(RowId node, TDownloadState state, int progress) override {
        rows_[static_cast<size_t>(node)] = {state, progress};
        seen_[static_cast<size_t>(node)].push_back({state, progress});
    }
    const RowRecord& Row(RowId node) const { return rows_[static_cast<size_t>(node)]; }
    uint8_t State(RowId node) const { return rows_[static_cast<size_t>(node)].State; }
    const std::vector<std::pair<uint8_t, int>>& Seen(RowId node) const { return seen_[static_cast<size_t>(node)]; }

private:
    std::vector<RowRecord> rows_;
    std::vector<std::vector<std::pair<uint8_t, int>>> seen_;
};

// Preview files as their bytes, with every write recorded.
class FakePreviewStore final : public PreviewStore {
public:
    bool Exists(const std::string& path) override {
        std::lock_guard lock(mutex_);
        return files_.count(path) > 0;
    }
    bool Write(const std::string& path, std::string_view bytes) override {
        std::lock_guard lock(mutex_);
        written_.push_back(path);
        if (unwritable_.count(path))
            return false;
        files_[path] = std::string(bytes);
        return true;
    }
    bool Move(const std::string& from, const std::string& to) override {
        std::lock_guard lock(mutex_);
        auto it = files_.find(from);
        if (it == files_.end())
            return false;
        files_[to] = std::move(it->second);
        files_.erase(from);
        return true;
    }
    void Delete(const std::string& path) override {
        std::lock_guard lock(mutex_);
        files_.erase(path);
    }
    void Put(const std::string& path, std::string bytes) {
        std::lock_guard lock(mutex_);
        files_[path] = std::move(bytes);
    }
    std::optional<size_t> FileSize(const std::string& path) const {
        std::lock_guard lock(mutex_);
        auto it = files_.find(path);
        return it == files_.end() ? std::nullopt : std::optional<size_t>(it->second.size());
    }
    // Every path ever written, in order.
    std::vector<std::string> Written() const {
        std::lock_guard lock(mutex_);
        return written_;
    }
    void MakeUnwritable(const std::string& path) {
        std::lock_guard lock(mutex_);
        unwritable_.insert(path);
    }

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::string> files_;
    std::vector<std::string> written_;
    std::set<std::string> unwritable_;
};

// A picture view that records its calls as "start", "stop" and "load:<file>".
class FakeImageView final : public ImageView {
public:
    void StartLoading() override { calls_.push_back("start"); }
    void StopLoading() override { calls_.push_back("stop"); }
    void LoadImageFile(const std::string& fileName) override {
        calls_.push_back("load:" + fileName);
        if (!fileName.empty() && fileName == failingFile_)
            throw std::runtime_error("cannot show " + fileName);
    }
    // Showing this file raises an error.
    void FailOn(const std::string& fileName) { failingFile_ = fileName; }
    const std::vector<std::string>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }

private:
    std::vector<std::string> calls_;
    std::string failingFile_;
};

}  // namespace lumaforge::test
