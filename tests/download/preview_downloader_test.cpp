#include "download/preview_downloader.h"

#include <gtest/gtest.h>

#include <atomic>

#include "support/download_fakes.h"

namespace lumaforge {
namespace {

using namespace std::chrono_literals;
using test::FakeResponse;
using Calls = std::vector<std::string>;

// The fake client, counting the requests that reach the server.
class CountingHttp final : public HttpClient {
public:
    CountingHttp(test::FakeServer& server, std::atomic<int>& requests) : inner_(server), requests_(requests) {}
    void Get(const std::string& url, ByteSink& sink) override {
        ++requests_;
        inner_.Get(url, sink);
    }
    int64_t ContentLength() const override { return inner_.ContentLength(); }
    void SetOnProgress(ProgressHandler handler) override { inner_.SetOnProgress(std::move(handler)); }
    void SetTimeout(int32_t milliseconds) override { inner_.SetTimeout(milliseconds); }
    void SetAbortCheck(AbortCheck check) override { inner_.SetAbortCheck(std::move(check)); }
    bool TimedOut() const override { return inner_.TimedOut(); }

private:
    test::FakeHttp inner_;
    std::atomic<int>& requests_;
};

class PreviewDownloaderTest : public ::testing::Test {
protected:
    PreviewDownloaderTest() { Recreate(TDownImageManager::kIdleTimeout); }
    ~PreviewDownloaderTest() override {
        manager.reset();
        dispatcher.RunPending();  // abandoned hand-overs must not touch the view
    }
    void Recreate(std::chrono::milliseconds idleTimeout) {
        manager.reset();
        manager = std::make_unique<TDownImageManager>(
            [this] { return std::make_unique<CountingHttp>(server, requests); }, store, dispatcher, idleTimeout);
    }

    static std::string Url(int i) { return "http://server/" + std::to_string(i) + ".jpg"; }
    static std::string File(int i) { return "cache\\theme\\" + std::to_string(i) + ".jpg"; }
    static std::string Temp(int i) { return File(i) + ".temp"; }
    static std::string Load(int i) { return "load:" + File(i); }
    static FakeResponse Whole(int64_t size, std::chrono::microseconds delay = 0us) {
        return {200, size, size, 4096, delay};
    }
    void Request(int i, std::function<bool()> stillWanted = {}) {
        manager->RequestPreview(Url(i), File(i), view, std::move(stillWanted));
    }
    bool WaitCalls(size_t count) {
        return dispatcher.RunUntil([&] { return view.Calls().size() >= count; });
    }
    bool WaitLast(const std::string& call) {
        return dispatcher.RunUntil([&] { return !view.Calls().empty() && view.Calls().back() == call; });
    }
    bool Saved(int i) const { return store.FileSize(File(i)).has_value(); }

    test::FakeServer server;
    test::FakePreviewStore store;
    test::TestDispatcher dispatcher;
    test::FakeImageView view;
    std::atomic<int> requests{0};
    std::unique_ptr<TDownImageManager> manager;
};

TEST_F(PreviewDownloaderTest, ACachedPictureIsShownAtOnceWithoutARequest) {
    store.Put(File(0), "jpeg");
    server.Set(Url(0), Whole(5000));
    Request(0);
    // Shown inside the call, before any hand-over ran and without the loading animation.
    EXPECT_EQ(view.Calls(), (Calls{Load(0)}));
    std::this_thread::sleep_for(50ms);
    dispatcher.RunPending();
    EXPECT_EQ(view.Calls(), (Calls{Load(0)}));
    EXPECT_EQ(requests, 0);
}

TEST_F(PreviewDownloaderTest, OnlyAWholeNonEmptyAnswerIsSavedAndShown) {
    const struct {
        const char* name;
        FakeResponse response;
        bool saved;
    } cases[] = {
        {"whole", Whole(5000), true},
        {"not found", {404, 5000, 5000}, false},
        {"empty, announced as empty", {200, 0, 0}, false},
        {"shorter than announced", {200, 3000, 5000}, false},
        {"longer than announced", {200, 6000, 5000}, false},
        {"no length", {200, 5000, std::nullopt}, false},
    };
    int i = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.Set(Url(i), c.response);
        view.ClearCalls();
        Request(i);
        ASSERT_TRUE(WaitCalls(3));
        EXPECT_EQ(view.Calls(), (Calls{"start", "stop", c.saved ? Load(i) : "load:"}));
        EXPECT_EQ(Saved(i), c.saved);
        EXPECT_FALSE(store.FileSize(Temp(i)).has_value());
        if (!c.saved) {
            // Nothing was ever written for it, not even beside its place.
            for (const std::string& path : store.Written())
                EXPECT_EQ(path.find(File(i)), std::string::npos) << path;
        }
        ++i;
    }
    EXPECT_EQ(store.FileSize(File(0)), 5000u);
}

TEST_F(PreviewDownloaderTest, APictureThatCannotBeWrittenIsNotCachedAndTheWorkerGoesOn) {
    store.MakeUnwritable(Temp(0));
    server.Set(Url(0), Whole(5000));
    server.Set(Url(1), Whole(5000));
    Request(0);
    ASSERT_TRUE(WaitLast("load:"));
    EXPECT_FALSE(Saved(0));
    EXPECT_FALSE(store.FileSize(Temp(0)).has_value());
    Request(1);
    EXPECT_TRUE(WaitLast(Load(1)));
}

TEST_F(PreviewDownloaderTest, QuickRequestsShowOnlyTheNewestAndSaveNoInterruptedTransfer) {
    for (int i = 0; i < 9; ++i)
        server.Set(Url(i), Whole(4096 * 100, 2ms));  // 200 ms each
    server.Set(Url(9), Whole(5000));
    for (int i = 0; i < 10; ++i) {
        Request(i);
        std::this_thread::sleep_for(3ms);  // long enough for the worker to start some of them
        dispatcher.RunPending();
    }
    ASSERT_TRUE(WaitLast(Load(9)));
    for (const std::string& call : view.Calls())
        EXPECT_TRUE(call == "start" || call == "stop" || call == Load(9)) << call;
    for (int i = 0; i < 9; ++i) {
        EXPECT_FALSE(Saved(i)) << i;
        EXPECT_FALSE(store.FileSize(Temp(i)).has_value()) << i;
    }
    // Every animation that started also ended.
    const auto& calls = view.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "start"), std::count(calls.begin(), calls.end(), "stop"));
}

TEST_F(PreviewDownloaderTest, ANewerRequestEndsARunningTransferAtOnce) {
    server.Set(Url(0), Whole(4096 * 1000, 2ms));  // two seconds
    server.Set(Url(1), Whole(5000));
    store.Put(File(2), "jpeg");
    Request(0);
    ASSERT_TRUE(WaitLast("start"));
    // A cached picture overtakes the transfer: the animation ends and the picture shows at once.
    Request(2);
    EXPECT_EQ(view.Calls(), (Calls{"start", "stop", Load(2)}));
    // The worker is free again long before the first transfer would have ended.
    const auto start = std::chrono::steady_clock::now();
    Request(1);
    ASSERT_TRUE(WaitLast(Load(1)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_FALSE(Saved(0));
    EXPECT_FALSE(store.FileSize(Temp(0)).has_value());
    EXPECT_EQ(view.Calls(), (Calls{"start", "stop", Load(2), "start", "stop", Load(1)}));
}

TEST_F(PreviewDownloaderTest, ANewerRequestEndsASilentTransferWithoutWaitingForItsTimeOut) {
    FakeResponse silent = Whole(4096 * 10);
    silent.silent = true;
    server.Set(Url(0), silent);
    server.Set(Url(1), Whole(5000));
    Request(0);
    ASSERT_TRUE(WaitLast("start"));
    const auto start = std::chrono::steady_clock::now();
    Request(1);
    ASSERT_TRUE(WaitLast(Load(1)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_FALSE(Saved(0));
}

TEST_F(PreviewDownloaderTest, ASilentServerFailsAfterTheIdleTimeOut) {
    Recreate(200ms);
    FakeResponse silent = Whole(4096 * 10);
    silent.silent = true;
    server.Set(Url(0), silent);
    Request(0);
    ASSERT_TRUE(WaitLast("load:"));
    EXPECT_FALSE(Saved(0));
}

TEST_F(PreviewDownloaderTest, APictureWhoseRowLostTheFocusIsCachedButNotShown) {
    server.Set(Url(0), Whole(5000));
    Request(0, [] { return false; });
    ASSERT_TRUE(WaitLast("stop"));
    dispatcher.RunPending();
    EXPECT_EQ(view.Calls(), (Calls{"start", "stop"}));
    EXPECT_TRUE(Saved(0));
    // Asked again, it comes from the cache.
    Request(0);
    EXPECT_EQ(view.Calls().back(), Load(0));
    EXPECT_EQ(requests, 1);
}

TEST_F(PreviewDownloaderTest, AnEmptyAddressClearsTheViewAtOnceAndDropsTheRunningRequest) {
    server.Set(Url(0), Whole(4096 * 100, 2ms));
    Request(0);
    ASSERT_TRUE(WaitLast("start"));
    manager->RequestPreview({}, {}, view);
    EXPECT_EQ(view.Calls(), (Calls{"start", "stop", "load:"}));
    std::this_thread::sleep_for(100ms);
    dispatcher.RunPending();
    EXPECT_EQ(view.Calls(), (Calls{"start", "stop", "load:"}));
    EXPECT_FALSE(Saved(0));
}

TEST_F(PreviewDownloaderTest, AViewThatFailsToShowIsCleared) {
    store.Put(File(0), "not a picture");
    view.FailOn(File(0));
    Request(0);
    EXPECT_EQ(view.Calls(), (Calls{Load(0), "load:"}));
}

TEST_F(PreviewDownloaderTest, ClosingDuringATransferEndsPromptlyWithoutTouchingTheView) {
    server.Set(Url(0), Whole(4096 * 100000, 1ms));
    Request(0);
    ASSERT_TRUE(WaitLast("start"));
    const size_t before = view.Calls().size();
    const auto start = std::chrono::steady_clock::now();
    manager.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    dispatcher.RunPending();
    EXPECT_EQ(view.Calls().size(), before);
    EXPECT_FALSE(Saved(0));
}

TEST_F(PreviewDownloaderTest, ClosingWhileTheWorkerWaitsForTheWindowEndsPromptly) {
    server.Set(Url(0), Whole(5000));
    Request(0);
    // The worker now waits to hand the picture over, which the closing window never lets it.
    std::this_thread::sleep_for(50ms);
    const auto start = std::chrono::steady_clock::now();
    manager.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    dispatcher.RunPending();
    EXPECT_EQ(view.Calls(), (Calls{"start"}));
}

}  // namespace
}  // namespace lumaforge
