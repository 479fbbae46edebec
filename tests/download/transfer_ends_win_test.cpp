// A newer request, a cancel or the program's close ends a running transfer at once, whatever the
// server is doing: the package downloads, the preview pictures and the client itself, against a body
// that flows slowly, a body that has stalled and an answer that has not begun.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "base/unicode_win.h"
#include "controls/ui_dispatcher_win.h"
#include "download/down_manager.h"
#include "download/package_store_win.h"
#include "download/preview_downloader.h"
#include "download/preview_store_win.h"
#include "net/http_client_win.h"
#include "support/download_fakes.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

using Clock = std::chrono::steady_clock;

int64_t MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::unique_ptr<HttpClient> MakeClient() {
    return std::make_unique<TWinHttp>();
}

enum class Ender { DownloadCancel, NewerPreview, ClientAbort };

struct TransferEndCase {
    const char* name;
    Ender ender;
    const char* path;  // what the server does with the transfer
    int settleMs;      // how long the transfer runs before it is ended
    int deadlineMs;    // how soon after that it has ended
};

// A package download cancelled from its row: the row is free at once, the worker serves the download
// that waited, the part received stays and nothing counts as downloaded.
void CancelDownload(const TransferEndCase& c, test::TestHttpServer& server) {
    test::TempFolder folder;
    WinPackageStore store;
    WinUiDispatcher dispatcher;
    test::FakeRows rows(3);
    auto manager = std::make_unique<TDownManager>(MakeClient, store, dispatcher);
    const auto file = [&](int i) { return ToUtf8(folder.Path()) + "package" + std::to_string(i) + ".zip"; };
    // Both workers busy, a third download waiting behind them.
    manager->AddTask(server.Url(c.path), file(0), 0, &rows);
    manager->AddTask(server.Url("/stall/409600"), file(1), 1, &rows);
    manager->AddTask(server.Url("/zip/gen/100000"), file(2), 2, &rows);
    ASSERT_TRUE(
        test::PumpUntil([&] { return rows.State(0) == dsDownloading && rows.State(1) == dsDownloading; }, 3000));
    test::PumpFor(static_cast<DWORD>(c.settleMs));
    manager->CancelTask(&rows, 0);
    const auto cancelled = Clock::now();
    ASSERT_TRUE(test::PumpUntil([&] { return rows.State(0) == dsNone; }, 5000));
    EXPECT_LT(MillisecondsSince(cancelled), c.deadlineMs);
    EXPECT_TRUE(test::PumpUntil([&] { return rows.State(2) == dsDownloaded; }, 5000));
    EXPECT_EQ(rows.State(1), dsDownloading);
    EXPECT_FALSE(test::PathExists(file(0)));
    const bool bytesCame = std::string(c.path) != "/late/5000/4096";
    if (bytesCame) {
        EXPECT_TRUE(test::PathExists(file(0) + ".temp"));
    }
    manager.reset();
    test::PumpPending();
}

// A preview overtaken by the focus moving on: the newer picture shows at once, the older is never
// saved nor shown, even once its transfer would have ended.
void OvertakePreview(const TransferEndCase& c, test::TestHttpServer& server) {
    test::TempFolder folder;
    WinPreviewStore store;
    WinUiDispatcher dispatcher;
    test::FakeImageView view;
    auto manager = std::make_unique<TDownImageManager>(MakeClient, store, dispatcher);
    const auto file = [&](const std::string& name) { return ToUtf8(folder.Path()) + name; };
    const auto lastCall = [&](const std::string& call) {
        return test::PumpUntil([&] { return !view.Calls().empty() && view.Calls().back() == call; }, 5000);
    };
    server.SetContent("/b.jpg", std::string(30000, 'b'));
    manager->RequestPreview(server.Url(c.path), file("a.jpg"), view);
    ASSERT_TRUE(lastCall("start"));
    test::PumpFor(static_cast<DWORD>(c.settleMs));
    const auto overtaken = Clock::now();
    manager->RequestPreview(server.Url("/b.jpg"), file("b.jpg"), view);
    ASSERT_TRUE(lastCall("load:" + file("b.jpg")));
    EXPECT_LT(MillisecondsSince(overtaken), c.deadlineMs);
    // Long enough for a transfer wrongly left running to reach its end and its file.
    test::PumpFor(1500);
    EXPECT_FALSE(test::PathExists(file("a.jpg")));
    EXPECT_FALSE(test::PathExists(file("a.jpg.temp")));
    for (const std::string& call : view.Calls())
        EXPECT_NE(call, "load:" + file("a.jpg"));
    manager.reset();
    test::PumpPending();
}

// The client's own: its caller's check ends the transfer, waiting or not, as every caller sets it.
void AbortRequest(const TransferEndCase& c, test::TestHttpServer& server) {
    TWinHttp http;
    http.SetTimeout(30000);
    const auto endAt = Clock::now() + std::chrono::milliseconds(c.settleMs);
    const auto ended = [endAt] { return Clock::now() >= endAt; };
    http.SetAbortCheck(ended);
    http.SetOnProgress([&](int64_t, int64_t, bool& abort) { abort = ended(); });
    StringSink sink;
    http.Get(server.Url(c.path), sink);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - endAt).count(), c.deadlineMs);
    EXPECT_FALSE(http.TimedOut());
    EXPECT_LT(sink.Size(), http.ContentLength() > 0 ? http.ContentLength() : 1);
}

TEST(TransferEndTest, ANewerRequestOrACancelEndsTheTransferAtOnce) {
    const TransferEndCase cases[] = {
        {"a cancelled download, its body flowing", Ender::DownloadCancel, "/zip/slow/4096000/5", 100, 1000},
        {"a cancelled download, its body stalled", Ender::DownloadCancel, "/stall/409600", 300, 1500},
        {"a cancelled download, its answer not begun", Ender::DownloadCancel, "/late/5000/4096", 700, 1500},
        {"an overtaken preview, its body flowing", Ender::NewerPreview, "/slow/409600/10", 150, 500},
        {"an overtaken preview, its body stalled", Ender::NewerPreview, "/stall/409600", 300, 500},
        {"an overtaken preview, its answer not begun", Ender::NewerPreview, "/late/5000/4096", 700, 1000},
        {"an aborted request, its body flowing", Ender::ClientAbort, "/slow/4096000/5", 100, 500},
        {"an aborted request, its body stalled", Ender::ClientAbort, "/stall/100000", 300, 500},
        {"an aborted request, its answer not begun", Ender::ClientAbort, "/late/5000/4096", 700, 500},
    };
    for (const TransferEndCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestHttpServer server;
        switch (c.ender) {
            case Ender::DownloadCancel:
                CancelDownload(c, server);
                break;
            case Ender::NewerPreview:
                OvertakePreview(c, server);
                break;
            case Ender::ClientAbort:
                AbortRequest(c, server);
                break;
        }
    }
}

struct ClosingCase {
    const char* name;
    bool previews;     // the preview downloader, else the package downloads (two at a time)
    const char* path;  // what the server does with the transfers
};

// The window closing during transfers: its managers go within about a second, leave no file that
// counts and touch nothing of the window afterwards; a worker left behind ends with its connection.
TEST(TransferEndTest, ClosingDuringTransfersEndsPromptly) {
    const ClosingCase cases[] = {
        {"two downloads, their bodies flowing", false, "/zip/slow/40960000/2"},
        {"two downloads, their bodies stalled", false, "/stall/409600"},
        {"two downloads, their answers not begun", false, "/late/5000/4096"},
        {"a preview, its body flowing", true, "/slow/40960000/2"},
        {"a preview, its body stalled", true, "/stall/409600"},
        {"a preview, its answer not begun", true, "/late/5000/4096"},
    };
    for (const ClosingCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder folder;
        auto server = std::make_unique<test::TestHttpServer>();
        WinUiDispatcher dispatcher;
        const std::string file = ToUtf8(folder.Path()) + "transfer";
        WinPackageStore packages;
        WinPreviewStore previews;
        test::FakeRows rows(2);
        test::FakeImageView view;
        std::unique_ptr<TDownManager> downloads;
        std::unique_ptr<TDownImageManager> previewer;
        if (c.previews) {
            previewer = std::make_unique<TDownImageManager>(MakeClient, previews, dispatcher);
            previewer->RequestPreview(server->Url(c.path), file + ".jpg", view);
            ASSERT_TRUE(test::PumpUntil([&] { return !view.Calls().empty(); }, 3000));
        } else {
            downloads = std::make_unique<TDownManager>(MakeClient, packages, dispatcher);
            downloads->AddTask(server->Url(c.path), file + "0.zip", 0, &rows);
            downloads->AddTask(server->Url(c.path), file + "1.zip", 1, &rows);
            ASSERT_TRUE(test::PumpUntil(
                [&] { return rows.State(0) == dsDownloading && rows.State(1) == dsDownloading; }, 3000));
        }
        test::PumpFor(300);
        const size_t viewCalls = view.Calls().size();
        const auto start = Clock::now();
        downloads.reset();
        previewer.reset();
        EXPECT_LT(MillisecondsSince(start), 1500);
        test::PumpFor(100);
        EXPECT_EQ(view.Calls().size(), viewCalls);
        for (const std::string& name : {file + ".jpg", file + "0.zip", file + "1.zip"})
            EXPECT_FALSE(test::PathExists(name)) << name;
        // The connections close with the server; a worker left behind then ends on its own.
        server.reset();
        test::PumpFor(200);
    }
}

}  // namespace
}  // namespace lumaforge
