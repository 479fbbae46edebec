// How long a preview takes from a focus change to the picture on the screen, cached and fetched
// from a local server, and the longest time the user-interface thread is blocked while the focus
// runs quickly over 50 rows; each against a bare decode-and-draw of the same picture in the same
// run, which is what any way of showing the picture costs at least.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/files_win.h"
#include "base/unicode_win.h"
#include "bench_stats.h"
#include "controls/image_panel_win.h"
#include "controls/picture_win.h"
#include "controls/ui_dispatcher_win.h"
#include "download/preview_downloader.h"
#include "download/preview_store_win.h"
#include "net/http_client_win.h"
#include "support/picture_maker_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"

using namespace lumaforge;
using namespace lumaforge::bench;

namespace {

constexpr int kRows = 50;
constexpr int kRounds = 20;
constexpr auto kFocusStep = std::chrono::milliseconds(30);  // a held arrow key

// The panel, painting at once when a picture arrives, so "shown" means on the screen.
class TimedPanel final : public ImageView {
public:
    explicit TimedPanel(TImagePanel& panel) : panel_(panel) {}
    void StartLoading() override { panel_.StartLoading(); }
    void StopLoading() override { panel_.StopLoading(); }
    void LoadImageFile(const std::string& fileName) override {
        panel_.LoadImageFile(fileName);
        UpdateWindow(panel_.Handle());
        if (!fileName.empty()) {
            shown = Clock::now();
            shownFile = fileName;
        }
    }
    Clock::time_point shown;
    std::string shownFile;

private:
    TImagePanel& panel_;
};

// Runs the message loop once, timing every message it dispatches; the longest one is kept.
void PumpTimed(Clock::duration& longest) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        const auto start = Clock::now();
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        longest = std::max(longest, Clock::now() - start);
    }
}

void PumpUntil(Clock::time_point until, Clock::duration& longest) {
    while (Clock::now() < until) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::max<long long>(left, 0)), QS_ALLINPUT);
        PumpTimed(longest);
    }
}

// The animation the program carries, from the source tree as Wine sees it.
std::string LoadingGifPath() {
    const std::string source = __FILE__;
    return ToUtf8(test::HostPath((source.substr(0, source.rfind("/bench/")) + "/src/res/loading.gif").c_str()));
}

}  // namespace

int main() {
    GdiplusSession gdiplus;
    if (!gdiplus.Started()) {
        std::printf("GDI+ did not start\n");
        return 1;
    }
    // A preview as the demo server has them: 320 x 240, a landscape of gradients.
    const std::string jpeg = test::EncodePicture(320, 240, L"image/jpeg", [](int x, int y) {
        const int sky = 120 + y * 100 / 240;
        const bool hill = y > 150 + static_cast<int>(30 * std::sin(x / 40.0));
        return hill ? 0xFF000000u | (40u << 16) | static_cast<uint32_t>(100 + x / 4) << 8 | 50u
                    : 0xFF000000u | static_cast<uint32_t>(sky / 2) << 16 | static_cast<uint32_t>(sky) << 8 | 230u;
    });
    test::TestHttpServer server;
    for (int i = 0; i < kRows; ++i)
        server.SetContent("/theme/row" + std::to_string(i) + ".jpg", jpeg);

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::string folder = ToUtf8(temp) + "lumaforge-preview-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateFolderPath(folder);
    auto file = [&](int i) { return folder + "row" + std::to_string(i) + ".jpg"; };
    auto url = [&](int i) { return server.Url("/theme/row" + std::to_string(i) + ".jpg"); };
    auto clearCache = [&] {
        for (int i = 0; i < kRows; ++i)
            DeleteFileUtf8(file(i));
    };

    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    TImagePanel panel(gdiplus);
    panel.Create(host, {0, 0, 379, 356});
    std::string gif;
    ReadWholeFile(LoadingGifPath(), gif);
    panel.SetLoadingGif(std::make_shared<const Picture>(Picture::FromMemory(gif)));
    TimedPanel timed(panel);

    WinPreviewStore store;
    WinUiDispatcher dispatcher;
    auto manager = std::make_unique<TDownImageManager>([] { return std::make_unique<TWinHttp>(); }, store, dispatcher);
    Clock::duration ignored{};

    // The floor: read, decode and draw the picture into the panel, nothing else; as many times as
    // the sweeps below show a picture, so their longest blocks compare with its longest.
    auto decodeAndDraw = [&](const Picture& picture) {
        HDC dc = GetDC(panel.Handle());
        const RECT client = panel.ClientRect();
        const FittedPicture fit = FitPicture(picture.Width(), picture.Height(), client.right, client.bottom, 0);
        picture.Draw(dc, 0, fit.x, fit.y, fit.width, fit.height);
        ReleaseDC(panel.Handle(), dc);
        GdiFlush();
    };
    WriteWholeFile(file(0), jpeg);
    std::vector<double> bare;
    for (int round = 0; round < kRows; ++round) {
        const auto start = Clock::now();
        decodeAndDraw(Picture::FromFile(file(0)));
        bare.push_back(Ms(Clock::now() - start));
    }
    const Figures bareFigures = Summary(bare);
    // And with the picture fetched first, on this thread, by the same client.
    std::vector<double> bareFetch;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        TWinHttp http;
        StringSink body;
        http.Get(url(round), body);
        decodeAndDraw(Picture::FromMemory(body.Text()));
        bareFetch.push_back(Ms(Clock::now() - start));
    }
    const Figures bareFetchFigures = Summary(bareFetch);

    // Cached: the picture shows inside the focus change.
    for (int i = 0; i < kRows; ++i)
        WriteWholeFile(file(i), jpeg);
    std::vector<double> cached;
    for (int round = 0; round < kRounds; ++round) {
        const int row = round % 2;  // two rows in turn, so each change loads a file
        const auto start = Clock::now();
        manager->RequestPreview(url(row), file(row), timed);
        PumpUntil(Clock::now(), ignored);
        cached.push_back(Ms(timed.shown - start));
    }
    const Figures cachedFigures = Summary(cached);

    // Fetched: the picture comes from the local server, the loading animation in between.
    std::vector<double> fetched;
    for (int round = 0; round < kRounds; ++round) {
        clearCache();
        timed.shownFile.clear();
        const auto start = Clock::now();
        manager->RequestPreview(url(round), file(round), timed);
        while (timed.shownFile != file(round))
            PumpUntil(Clock::now() + std::chrono::milliseconds(1), ignored);
        fetched.push_back(Ms(timed.shown - start));
    }
    const Figures fetchedFigures = Summary(fetched);

    // The focus over 50 rows, one row every 30 ms: the longest message or focus change handled.
    auto sweep = [&](bool cachedRows) {
        clearCache();
        if (cachedRows)
            for (int i = 0; i < kRows; ++i)
                WriteWholeFile(file(i), jpeg);
        PumpUntil(Clock::now() + std::chrono::milliseconds(100), ignored);
        Clock::duration longest{};
        auto next = Clock::now();
        for (int i = 0; i < kRows; ++i) {
            const auto start = Clock::now();
            manager->RequestPreview(url(i), file(i), timed);
            longest = std::max(longest, Clock::now() - start);
            next += kFocusStep;
            PumpUntil(next, longest);
        }
        // The last picture arrives; its hand-over counts too.
        while (timed.shownFile != file(kRows - 1))
            PumpUntil(Clock::now() + std::chrono::milliseconds(1), longest);
        return Ms(longest);
    };
    // Three sweeps each, against the noise of a busy machine.
    std::vector<double> sweepsFetched, sweepsCached;
    for (int run = 0; run < 3; ++run) {
        sweepsFetched.push_back(sweep(false));
        sweepsCached.push_back(sweep(true));
    }
    const Figures sweepFetched = Summary(sweepsFetched);
    const Figures sweepCached = Summary(sweepsCached);

    manager.reset();
    DestroyWindow(panel.Handle());
    DestroyWindow(host);
    clearCache();
    RemoveDirectoryW(ToWide(folder).c_str());

    std::printf("bare decode-and-draw of a 320x240 JPEG:       median %6.2f ms, max %6.2f ms (%d runs)\n",
                bareFigures.median, bareFigures.max, kRows);
    std::printf("bare fetch, decode and draw on one thread:    median %6.2f ms, max %6.2f ms\n",
                bareFetchFigures.median, bareFetchFigures.max);
    std::printf("focus change to picture shown, cached:        median %6.2f ms, max %6.2f ms (%.2fx the bare decode)\n",
                cachedFigures.median, cachedFigures.max, cachedFigures.median / bareFigures.median);
    std::printf("focus change to picture shown, fetched:       median %6.2f ms, max %6.2f ms (%.2fx the bare fetch)\n",
                fetchedFigures.median, fetchedFigures.max, fetchedFigures.median / bareFetchFigures.median);
    for (const auto& [name, figures] : {std::pair{"not cached", sweepFetched}, std::pair{"cached", sweepCached}})
        std::printf(
            "focus over %d rows every %lld ms, %-10s: longest user-interface block %6.2f ms "
            "(median of 3 sweeps, worst %.2f ms), %.2fx the longest bare decode-and-draw\n",
            kRows, static_cast<long long>(kFocusStep.count()), name, figures.median, figures.max,
            figures.median / bareFigures.max);
    return 0;
}
