#pragma once
#include <functional>
#include <memory>
#include <string>

#include "app/resource_tree.h"
#include "net/http_client.h"

namespace lumaforge {

// The rows a download reports into: a resource list. Used on the user-interface thread only.
class DownloadRows {
public:
    virtual ~DownloadRows() = default;
    virtual TResourceItem& Row(NodeId node) = 0;
    virtual void RepaintRow(NodeId node) = 0;
};

// The cache files a download writes.
class PackageStore {
public:
    virtual ~PackageStore() = default;
    // A new, empty file for writing; nothing when it cannot be created.
    virtual std::unique_ptr<ByteSink> CreateTemp(const std::string& path) = 0;
    // Fails when `to` exists already.
    virtual bool Move(const std::string& from, const std::string& to) = 0;
    virtual void Delete(const std::string& path) = 0;
};

// Hands work to the user-interface thread: Post may be called from any thread and returns at
// once; the work runs later on the user-interface thread, or never once the dispatcher is gone.
class UiDispatcher {
public:
    virtual ~UiDispatcher() = default;
    virtual void Post(std::function<void()> work) = 0;
};

struct TTaskInfo {
    std::string Url;
    std::string FileName;
    DownloadRows* Tree = nullptr;
    NodeId Node = kNoNode;
};

// Downloads packages into the cache on two worker threads; further tasks wait in a queue in
// arrival order. Each row change is handed to the user-interface thread, and the worker waits for
// it: at the task's start, at every rise of the whole percentage and at its end.
//
// Lifetime: the workers start with the manager and are ended by StopWorkers (run by the
// destructor on the user-interface thread). Stopping cancels the transfers at their next chunk
// and releases every worker waiting for a hand-over, which is then never run, so a stopping
// worker never waits for the user-interface thread. A worker stuck in a stalled transfer is left
// behind after a second: it holds the manager's inner state alive, touches nothing else, and ends
// when its connection does (or with the process). The queue, the rows and the workers' task slots
// are touched under one lock or on the user-interface thread only.
class TDownManager {
public:
    static constexpr size_t kBufferSize = 2 * 1024 * 1024;

    TDownManager(HttpClientFactory httpFactory, PackageStore& store, UiDispatcher& dispatcher);
    ~TDownManager();
    TDownManager(const TDownManager&) = delete;
    TDownManager& operator=(const TDownManager&) = delete;

    // User-interface thread.
    void AddTask(const std::string& url, const std::string& fileName, NodeId node, DownloadRows* tree);
    void CancelTask(DownloadRows* tree, NodeId node);
    void StopWorkers();

    size_t QueueSize() const;

private:
    class Impl;
    std::shared_ptr<Impl> impl_;
};

}  // namespace lumaforge
