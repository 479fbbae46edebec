// How long the wallpaper page takes from a search click to a grid of 15 thumbnails on the screen,
// served by a local server, against a bare loop that fetches the same 15 thumbnails one after
// another with the same client in the same run: that loop is what filling the grid costs at least.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/program_paths.h"
#include "base/resource_strings_win.h"
#include "base/unicode_win.h"
#include "bench_stats.h"
#include "controls/fonts_win.h"
#include "controls/picture_win.h"
#include "net/http_client_win.h"
#include "support/baidu_page.h"
#include "support/picture_maker_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"
#include "wallpaper/grid_geometry.h"
#include "wallpaper/search_engine.h"
#include "wallpaper/wallpaper_apply_win.h"
#include "wallpaper/wallpaper_page_win.h"

using namespace lumaforge;
using namespace lumaforge::bench;

namespace {

constexpr int kThumbnails = kThumbColumns * kThumbVisibleRows;
constexpr int kRounds = 15;

// A thumbnail as image search sites hand them out: a small JPEG, each one different.
std::string Thumbnail(int index) {
    return test::EncodePicture(200, 150, L"image/jpeg", [index](int x, int y) {
        const uint32_t red = static_cast<uint32_t>(40 + index * 12);
        const uint32_t green = static_cast<uint32_t>(60 + y);
        const uint32_t blue = static_cast<uint32_t>(30 + x / 2);
        return 0xFF000000u | red << 16 | green << 8 | blue;
    });
}

}  // namespace

int main() {
    GdiplusSession gdiplus;
    if (!gdiplus.Started()) {
        std::printf("GDI+ did not start\n");
        return 1;
    }
    test::TestHttpServer server;
    std::vector<std::pair<std::string, std::string>> results;
    std::vector<std::string> thumbUrls;
    size_t thumbBytes = 0;
    for (int i = 0; i < kThumbnails; ++i) {
        const std::string thumb = Thumbnail(i);
        thumbBytes += thumb.size();
        server.SetContent("/thumb/" + std::to_string(i) + ".jpg", thumb);
        thumbUrls.push_back(server.Url("/thumb/" + std::to_string(i) + ".jpg"));
        results.push_back({thumbUrls.back(), server.Url("/full/" + std::to_string(i) + ".jpg")});
    }
    server.SetContent("/baidu/i", test::BaiduPage(results));

    // The page's program and Windows folders in a folder of the bench's own, so closing the page
    // cleans nothing of anyone else's.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::string folder = ToUtf8(temp) + "lumaforge-grid-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
    const std::string app = folder + "app\\";
    const std::string win = folder + "win";
    CreateFolderPath(app);
    CreateFolderPath(win);
    ProgramPaths paths;
    paths.SetProgramFolder(app);
    paths.SetSystemFolders(win, win);
    WinAnsiCodePage codePage;
    ResourceStrings strings;
    UniqueFont font = MakeFont(L"Tahoma", -11);

    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 700, 400, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    TWallpaperPageContext context;
    context.paths = &paths;
    context.codePage = &codePage;
    const std::string root = server.Url("/baidu/");
    context.roots = {root, root, root, root, root};
    std::vector<std::string> messages;
    context.showMessage = [&messages](HWND, const std::string& text, TMsgKind) { messages.push_back(text); };
    auto page = std::make_unique<TFrmWallpaper>();
    if (!page->Create(host, {0, 0, 637, 330}, strings, font.Get(), std::move(context))) {
        std::printf("the wallpaper page was not created\n");
        return 1;
    }
    page->KeywordBox().SetText(L"Landscape");
    test::PumpPending();
    UpdateWindow(host);

    // From the click to the last thumbnail painted: the click fetches and reads the result page
    // itself, then the grid's worker fetches the thumbnails and the grid paints them.
    std::vector<double> clickReturns;
    auto searchToFilledGrid = [&] {
        const auto start = Clock::now();
        SendMessageW(page->EngineButton(seBaidu).Handle(), BM_CLICK, 0, 0);
        clickReturns.push_back(Ms(Clock::now() - start));
        while (page->Grid().WorkerRunning()) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            test::PumpPending();
        }
        test::PumpPending();
        UpdateWindow(page->Grid().Handle());
        GdiFlush();
        return Ms(Clock::now() - start);
    };
    // The floor: the same thumbnails, one after another, a client each as the grid makes them.
    auto bareLoop = [&](bool decode) {
        const auto start = Clock::now();
        for (const std::string& url : thumbUrls) {
            auto client = WinHttpClients()(url, "*.*");
            StringSink body;
            client->Get(url, body);
            if (decode)
                (void)DecodeOverBlack(body.Text());
        }
        return Ms(Clock::now() - start);
    };
    // Where the difference goes: the client set up as the grid's worker sets it up (a timeout and
    // a stop check), and the trace line the worker writes for each thumbnail.
    auto gridClientLoop = [&] {
        const auto start = Clock::now();
        for (const std::string& url : thumbUrls) {
            auto client = WinHttpClients()(url, "*.*");
            client->SetTimeout(TThumbnailGrid::kThumbnailTimeoutMs);
            client->SetAbortCheck([] { return false; });
            client->SetOnProgress([](int64_t, int64_t, bool& abort) { abort = false; });
            StringSink body;
            client->Get(url, body);
        }
        return Ms(Clock::now() - start);
    };
    // The decoder alone on the same thumbnails: while the worker fetches one it decodes the one
    // before, so the grid can come down to the longer of fetching and decoding, not their sum.
    std::vector<std::string> bodies;
    for (const std::string& url : thumbUrls) {
        StringSink body;
        WinHttpClients()(url, "*.*")->Get(url, body);
        bodies.push_back(std::move(body.Text()));
    }
    auto decodeLoop = [&] {
        const auto start = Clock::now();
        for (const std::string& body : bodies)
            (void)DecodeOverBlack(body);
        return Ms(Clock::now() - start);
    };
    auto traceLines = [&] {
        const auto start = Clock::now();
        for (const std::string& url : thumbUrls)
            OutputDebugStringW(ToWide(url).c_str());
        return Ms(Clock::now() - start);
    };

    // One of each unmeasured, for the first connection's and the decoder's start-up.
    bareLoop(true);
    searchToFilledGrid();
    clickReturns.clear();
    std::vector<double> bare, bareDecoded, grid, gridClient, traces, decodes;
    for (int round = 0; round < kRounds; ++round) {
        // In turn, so a busy moment of the machine falls on both sides alike.
        bare.push_back(bareLoop(false));
        grid.push_back(searchToFilledGrid());
        bareDecoded.push_back(bareLoop(true));
        gridClient.push_back(gridClientLoop());
        traces.push_back(traceLines());
        decodes.push_back(decodeLoop());
    }

    // The last filling really is 15 pictures on the screen, read back from the window itself.
    int cellsShown = 0;
    {
        HDC dc = GetDC(page->Grid().Handle());
        const RECT rc = page->Grid().ClientRect();
        const TGridLayout layout = GridLayoutFor(rc.right, rc.bottom);
        for (int row = 0; row < kThumbVisibleRows; ++row) {
            for (int column = 0; column < kThumbColumns; ++column) {
                const TCellPaint paint = CellPaint(CellRect(layout, {row, column}), layout.picture);
                const COLORREF centre =
                    GetPixel(dc, paint.pictureX + layout.picture.width / 2, paint.pictureY + layout.picture.height / 2);
                cellsShown += centre != RGB(255, 255, 255) && centre != CLR_INVALID;
            }
        }
        ReleaseDC(page->Grid().Handle(), dc);
    }
    // And a repaint of the whole filled grid, which the worker asks for after every thumbnail.
    std::vector<double> paints;
    {
        const RECT rc = page->Grid().ClientRect();
        test::Canvas canvas(rc.right, rc.bottom, RGB(255, 255, 255));
        for (int round = 0; round < kRounds; ++round) {
            const auto start = Clock::now();
            page->Grid().Paint(canvas.Dc(), rc);
            GdiFlush();
            paints.push_back(Ms(Clock::now() - start));
        }
    }
    int thumbRequests = 0;
    for (int i = 0; i < kThumbnails; ++i)
        thumbRequests += server.RequestCount("/thumb/" + std::to_string(i) + ".jpg");
    const int expectedRequests = (kRounds * 4 + 3) * kThumbnails;

    page.reset();
    DestroyWindow(host);
    DeleteFolderTree(folder);

    const Figures bareFigures = Summary(bare);
    const Figures decodedFigures = Summary(bareDecoded);
    const Figures gridFigures = Summary(grid);
    const Figures clickFigures = Summary(clickReturns);
    std::printf("%d thumbnails of 200x150 JPEG, %zu bytes in all, %d rounds, medians (min..max)\n", kThumbnails,
                thumbBytes, kRounds);
    std::printf("bare loop, fetch only:                 %7.2f ms (%.2f..%.2f)\n", bareFigures.median, bareFigures.min,
                bareFigures.max);
    std::printf("bare loop, fetch and decode:           %7.2f ms (%.2f..%.2f)\n", decodedFigures.median,
                decodedFigures.min, decodedFigures.max);
    std::printf("decode only:                           %7.2f ms (%.2f..%.2f)\n", Summary(decodes).median,
                Summary(decodes).min, Summary(decodes).max);
    std::printf("search click to filled grid:           %7.2f ms (%.2f..%.2f)\n", gridFigures.median, gridFigures.min,
                gridFigures.max);
    std::printf("  of which the click itself:           %7.2f ms (%.2f..%.2f)\n", clickFigures.median, clickFigures.min,
                clickFigures.max);
    const Figures clientFigures = Summary(gridClient);
    const Figures traceFigures = Summary(traces);
    std::printf("bare loop, client set up as the grid's:%7.2f ms (%.2f..%.2f)\n", clientFigures.median,
                clientFigures.min, clientFigures.max);
    std::printf("%d trace lines (OutputDebugString):    %7.2f ms (%.2f..%.2f)\n", kThumbnails, traceFigures.median,
                traceFigures.min, traceFigures.max);
    std::printf("one paint of the filled grid:          %7.2f ms (%.2f..%.2f)\n", Summary(paints).median,
                Summary(paints).min, Summary(paints).max);
    std::printf("grid / bare fetch loop:                %7.2fx (target at most 1.20x)\n",
                gridFigures.median / bareFigures.median);
    std::printf("grid / bare fetch-and-decode loop:     %7.2fx\n", gridFigures.median / decodedFigures.median);
    std::printf("check: %d of %d cells painted, %d of %d thumbnail requests, %zu messages%s%s\n", cellsShown,
                kThumbnails, thumbRequests, expectedRequests, messages.size(), messages.empty() ? "" : ": ",
                messages.empty() ? "" : messages.front().c_str());
    return cellsShown == kThumbnails && messages.empty() ? 0 : 1;
}
