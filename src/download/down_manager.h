#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/crypto.h"
#include "base/ui_hand_over.h"
#include "download/download_state.h"
#include "net/http_client.h"

namespace lumaforge {

// A row of a list that shows a download; its owner gives the numbers.
using RowId = int;

// The rows a download reports into. Used on the user-interface thread only.
class DownloadRows {
public:
    virtual ~DownloadRows() = default;
    virtual TDownloadState RowState(RowId row) const = 0;
    // Takes the state and percentage and shows them at once.
    virtual void ShowRowState(RowId row, TDownloadState state, int progress) = 0;
};

// The cache files a download writes.
class PackageStore {
public:
    virtual ~PackageStore() = default;
    // A new, empty file for writing; nothing when it cannot be created.
    virtual std::unique_ptr<ByteSink> CreateTemp(const std::string& path) = 0;
    // A closed file that holds a whole ZIP archive, not the start of one.
    virtual bool IsWholeArchive(const std::string& path) = 0;
    // Fails when `to` exists already.
    virtual bool Move(const std::string& from, const std::string& to) = 0;
    virtual void Delete(const std::string& path) = 0;
};

struct TTaskInfo {
    std::string Url;
    std::string FileName;
    DownloadRows* Tree = nullptr;
    RowId Node = -1;
    // What the signed manifest lists for the package; nothing when the build has no catalog key.
    std::optional<FileDigest> Expected;
};

// Downloads packages into the cache on two worker threads; further tasks wait in a queue in
// arrival order. Each row change is handed to the user-interface thread, and the worker waits for
// it: at the task's start, at every rise of the whole percentage and at its end. A transfer that
// receives nothing for the idle time-out fails; a cancel ends even a silent transfer at once.
//
// Lifetime: the workers start with the manager and are ended by StopWorkers (run by the
// destructor on the user-interface thread). Stopping cancels the transfers at their next chunk or
// wait and releases every worker waiting for a hand-over, which is then never run, so a stopping
// worker never waits for the user-interface thread. A worker stuck in a transfer that cannot be
// interrupted is left behind after a second: it holds the manager's inner state alive, touches
// nothing else, and ends when its connection does (or with the process). The queue, the rows and
// the workers' task slots are touched under one lock or on the user-interface thread only.
class TDownManager {
public:
    static constexpr size_t kBufferSize = 2 * 1024 * 1024;
    static constexpr std::chrono::milliseconds kIdleTimeout{30000};

    TDownManager(HttpClientFactory httpFactory, PackageStore& store, UiDispatcher& dispatcher,
                 std::chrono::milliseconds idleTimeout = kIdleTimeout);
    ~TDownManager();
    TDownManager(const TDownManager&) = delete;
    TDownManager& operator=(const TDownManager&) = delete;

    // User-interface thread. With `expected`, the package counts as downloaded only when its size
    // and SHA-256 are those; otherwise it is deleted and its row told dsRefused.
    void AddTask(const std::string& url, const std::string& fileName, RowId node, DownloadRows* tree,
                 std::optional<FileDigest> expected = std::nullopt);
    void CancelTask(DownloadRows* tree, RowId node);
    void StopWorkers();

    size_t QueueSize() const;

private:
    class Impl;
    std::shared_ptr<Impl> impl_;
};

}  // namespace lumaforge
