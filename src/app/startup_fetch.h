#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "base/ui_hand_over.h"
#include "net/http_client.h"

namespace lumaforge {

// What the lists wait for: the catalog and, while the program has no copy of its own yet, the
// settings file.
struct StartupRequest {
    std::string catalogUrl;
    std::string apiUrl;  // empty: the copy beside the program serves
    // A server silent for this long counts as one that gave nothing.
    int32_t timeoutMs = 15000;
    // With a catalog key: the signed manifest and its signature, fetched after the catalog.
    std::string manifestUrl{};
    std::string signatureUrl{};
};

struct StartupDownloads {
    // Empty when the server gave nothing, failed or kept silent too long.
    std::string catalog;
    // The settings file as served (empty when that failed); nothing when it was not asked for.
    std::optional<std::string> api;
    // Empty when not asked for or not given.
    std::string manifest;
    std::string signature;
};

// Fetches the start-up files on a worker, so the window shows at once, and hands them to the
// user-interface thread in one piece.
//
// Lifetime: the worker starts with the object and ends after its one hand-over. The destructor
// (user-interface thread) stops the hand-over, so a result that comes later never runs, ends the
// transfer at its next abort check and joins the worker; a worker stuck in a transfer that cannot
// be interrupted is left behind after a second, holding only the state it shares with nobody.
class StartupFetch {
public:
    using Arrived = std::function<void(StartupDownloads)>;

    StartupFetch(HttpClientFactory httpFactory, UiDispatcher& dispatcher, StartupRequest request, Arrived arrived);
    ~StartupFetch();
    StartupFetch(const StartupFetch&) = delete;
    StartupFetch& operator=(const StartupFetch&) = delete;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
};

}  // namespace lumaforge
