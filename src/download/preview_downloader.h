#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/crypto.h"
#include "base/ui_hand_over.h"
#include "controls/image_view.h"
#include "net/http_client.h"

namespace lumaforge {

// The cache files of the preview pictures.
class PreviewStore {
public:
    virtual ~PreviewStore() = default;
    virtual bool Exists(const std::string& path) = 0;
    // Creates or replaces the file; false when it could not be written whole.
    virtual bool Write(const std::string& path, std::string_view bytes) = 0;
    // Replaces a file at `to`.
    virtual bool Move(const std::string& from, const std::string& to) = 0;
    virtual void Delete(const std::string& path) = 0;
};

// Shows the preview picture of the row that holds the focus, fetching it into the cache on one
// worker thread when it is not there yet. Only the newest request counts: a newer one drops the
// waiting one and ends the running transfer at once (even a silent one, within the client's abort
// poll), and only the newest request ever touches a view. A cached picture is shown at once, on
// the user-interface thread, without any request to the server.
//
// A picture reaches the cache only when it arrived whole: more than 0 bytes and exactly the
// announced length. It is written beside its place as "<file>.temp" and moved there, so the cache
// never holds a part of one, whatever happens to the transfer or the program.
//
// Lifetime: the worker starts with the manager; the destructor (user-interface thread) ends it and
// releases any hand-over it waits for, which then never runs. A worker stuck in a transfer that
// cannot be interrupted is left behind after a second: it keeps the manager's inner state alive
// and touches no view and no file any more. The views, the wanted checks and the store must
// outlive the manager.
class TDownImageManager {
public:
    static constexpr std::chrono::milliseconds kIdleTimeout{30000};

    TDownImageManager(HttpClientFactory httpFactory, PreviewStore& store, UiDispatcher& dispatcher,
                      std::chrono::milliseconds idleTimeout = kIdleTimeout);
    ~TDownImageManager();
    TDownImageManager(const TDownImageManager&) = delete;
    TDownImageManager& operator=(const TDownImageManager&) = delete;

    // User-interface thread. Shows the picture of `fileName`, fetching it from `url` first when
    // it is not cached, with the view's loading animation until it is there; an empty url clears
    // the view at once. `stillWanted` is asked on the user-interface thread when a fetched picture
    // is ready: false (the row lost the focus) leaves the view empty. Never waits for the worker
    // or the network.
    // With `expected`, a preview is kept only when its size and SHA-256 are those.
    void RequestPreview(const std::string& url, const std::string& fileName, ImageView& view,
                        std::function<bool()> stillWanted = {}, std::optional<FileDigest> expected = std::nullopt);

private:
    class Impl;
    std::shared_ptr<Impl> impl_;
};

}  // namespace lumaforge
