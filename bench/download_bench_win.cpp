// Throughput of package downloads through the download manager against a bare WinInet loop with
// the same 4096-byte reads, all from the same local test server in one run.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "base/handles_win.h"
#include "base/unicode_win.h"
#include "controls/ui_dispatcher_win.h"
#include "download/package_store_win.h"
#include "net/http_client_win.h"
#include "net/url.h"
#include "support/download_fakes.h"
#include "support/test_http_server.h"

using namespace lumaforge;
using Clock = std::chrono::steady_clock;

namespace {
constexpr int64_t kSize = 200LL * 1024 * 1024;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// What any WinInet download costs at least: the requests and 4096-byte reads, the bytes dropped.
double BareLoop(const std::string& url) {
    const auto start = Clock::now();
    UrlParts parts = SplitUrl(url);
    UniqueHInternet root(InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    UniqueHInternet connection(InternetConnectW(root.Get(), ToWide(parts.host).c_str(), parts.port, nullptr, nullptr,
                                                INTERNET_SERVICE_HTTP, 0, 0));
    UniqueHInternet request(HttpOpenRequestW(connection.Get(), L"GET", ToWide(parts.object).c_str(), L"HTTP/1.0",
                                             nullptr, nullptr, INTERNET_FLAG_RELOAD, 0));
    HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0);
    char chunk[4096];
    DWORD read = 0;
    int64_t total = 0;
    while (InternetReadFile(request.Get(), chunk, sizeof chunk, &read) && read > 0)
        total += read;
    if (total != kSize)
        std::printf("bare loop received %lld bytes\n", static_cast<long long>(total));
    return Seconds(start);
}

double ThroughManager(const test::TestHttpServer& server, const std::string& folder, int tasks) {
    WinPackageStore store;
    WinUiDispatcher dispatcher;
    test::FakeRows rows(2);
    TDownManager manager([] { return std::make_unique<TWinHttp>(); }, store, dispatcher);
    const auto start = Clock::now();
    for (int i = 0; i < tasks; ++i)
        manager.AddTask(server.Url("/zip/gen/" + std::to_string(kSize)), folder + "bench" + std::to_string(i) + ".zip",
                        i, &rows);
    auto finished = [&] {
        for (int i = 0; i < tasks; ++i)
            if (rows.State(i) == dsWaiting || rows.State(i) == dsDownloading)
                return false;
        return true;
    };
    MSG msg;
    while (!finished()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    const double seconds = Seconds(start);
    for (int i = 0; i < tasks; ++i) {
        if (rows.State(i) != dsDownloaded)
            std::printf("task %d did not complete\n", i);
        if (rows.Seen(i).size() > 103)
            std::printf("  task %d: %zu row updates\n", i, rows.Seen(i).size());
        DeleteFileW(ToWide(folder + "bench" + std::to_string(i) + ".zip").c_str());
    }
    return seconds;
}
}  // namespace

int main() {
    test::TestHttpServer server;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::string folder = ToUtf8(temp);
    const double mb = static_cast<double>(kSize) / (1024 * 1024);

    // Interleaved rounds, best of three each, so neither side profits from a warmer machine.
    const std::string url = server.Url("/gen/" + std::to_string(kSize));
    double bare = 1e9, one = 1e9, two = 1e9;
    for (int round = 0; round < 3; ++round) {
        // On a thread of its own, as the manager's workers run.
        double seconds = 0;
        std::thread([&] { seconds = BareLoop(url); }).join();
        bare = std::min(bare, seconds);
        one = std::min(one, ThroughManager(server, folder, 1));
        two = std::min(two, ThroughManager(server, folder, 2));
    }
    const double bareRate = mb / bare, oneRate = mb / one, twoRate = 2 * mb / two;
    std::printf("bare WinInet loop (4096-byte reads): %.1f MB/s\n", bareRate);
    std::printf("download manager, one task:          %.1f MB/s  ratio to bare loop %.2f (target >= 0.9)\n", oneRate,
                oneRate / bareRate);
    std::printf("row updates per task: at most 103 (waiting, 0 to 100 %%, done)\n");
    std::printf("download manager, two tasks at once: %.1f MB/s  ratio to one task %.2f\n", twoRate, twoRate / oneRate);
    return 0;
}
