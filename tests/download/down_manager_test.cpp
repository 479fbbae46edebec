#include "download/down_manager.h"

#include <gtest/gtest.h>

#include <cstring>

#include "download/background_writer.h"
#include "support/download_fakes.h"

namespace lumaforge {
namespace {

using namespace std::chrono_literals;
using test::FakeResponse;

class DownManagerTest : public ::testing::Test {
protected:
    DownManagerTest()
        : manager(std::make_unique<TDownManager>([this] { return std::make_unique<test::FakeHttp>(server); }, store,
                                                 dispatcher)) {}
    ~DownManagerTest() override {
        manager.reset();
        dispatcher.RunPending();  // abandoned hand-overs must not touch the rows
    }

    static std::string Url(int i) { return "http://server/" + std::to_string(i) + ".zip"; }
    static std::string File(int i) { return "cache\\" + std::to_string(i) + ".zip"; }
    void Start(int i) { manager->AddTask(Url(i), File(i), i, &rows); }
    bool WaitState(int i, uint8_t state) {
        return dispatcher.RunUntil([&] { return rows.State(i) == state; });
    }
    static FakeResponse Slow(int64_t size, std::chrono::microseconds delay = 2ms) {
        return {200, size, size, 4096, delay};
    }

    test::FakeServer server;
    test::FakeStore store;
    test::TestDispatcher dispatcher;
    test::FakeRows rows{8};
    std::unique_ptr<TDownManager> manager;
};

TEST_F(DownManagerTest, TwoWorkersRunAndTheThirdTaskWaitsItsTurn) {
    for (int i = 0; i < 3; ++i)
        server.Set(Url(i), Slow(4096 * 60));
    for (int i = 0; i < 3; ++i)
        Start(i);
    EXPECT_EQ(rows.State(2), dsWaiting);
    EXPECT_EQ(manager->QueueSize(), 1u);
    ASSERT_TRUE(WaitState(0, dsDownloading));
    ASSERT_TRUE(WaitState(1, dsDownloading));
    EXPECT_EQ(rows.State(2), dsWaiting);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(WaitState(i, dsDownloaded)) << i;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(store.FileSize(File(i)), 4096 * 60);
        EXPECT_FALSE(store.FileSize(File(i) + ".temp").has_value());
        EXPECT_EQ(rows.Row(i).Progress, 100);
    }
    // The first hand-over shows the download at 0 %.
    EXPECT_EQ(rows.Seen(0)[1], (std::pair<uint8_t, int>{dsDownloading, 0}));
}

TEST_F(DownManagerTest, CancellingAWaitingRowClearsItAtOnce) {
    for (int i = 0; i < 3; ++i)
        server.Set(Url(i), Slow(4096 * 200));
    for (int i = 0; i < 3; ++i)
        Start(i);
    manager->CancelTask(&rows, 2);
    EXPECT_EQ(rows.State(2), dsNone);
    EXPECT_EQ(manager->QueueSize(), 0u);
    manager->CancelTask(&rows, 7);  // unknown rows are ignored
}

TEST_F(DownManagerTest, CancellingARunningRowStopsItAndKeepsTheTemporaryFile) {
    server.Set(Url(0), Slow(4096 * 400));
    Start(0);
    ASSERT_TRUE(dispatcher.RunUntil([&] { return rows.Row(0).Progress >= 2; }));
    manager->CancelTask(&rows, 0);
    ASSERT_TRUE(WaitState(0, dsNone));
    EXPECT_FALSE(store.FileSize(File(0)).has_value());
    EXPECT_TRUE(store.FileSize(File(0) + ".temp").has_value());
    EXPECT_LT(rows.Row(0).Progress, 100);
    // The worker is free again and does not carry the cancellation into its next task.
    server.Set(Url(1), Slow(4096 * 10));
    Start(1);
    EXPECT_TRUE(WaitState(1, dsDownloaded));
}

TEST_F(DownManagerTest, IncompleteAnswersEndAsFailedWithoutATemporaryFile) {
    server.Set(Url(0), {404, 100, 100});
    server.Set(Url(1), {200, 5000, std::nullopt});  // no Content-Length
    server.Set(Url(2), {200, 500, 1000});           // shorter than announced
    server.Set(Url(3), {200, 0, 0});                // empty
    server.Set(Url(4), {200, 5000, 5000});          // all announced bytes, but not a whole archive
    store.MakeBroken(File(4) + ".temp");
    for (int i = 0; i < 5; ++i)
        Start(i);
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(WaitState(i, dsFailed)) << i;
        EXPECT_FALSE(store.FileSize(File(i) + ".temp").has_value()) << i;
        EXPECT_FALSE(store.FileSize(File(i)).has_value()) << i;
    }
}

TEST_F(DownManagerTest, AWholePackageThatCannotTakeItsNameFailsAndLeavesNoTemporaryFile) {
    server.Set(Url(0), Slow(4096 * 3));
    store.CreateTemp(File(0));  // the name is taken: the move fails
    Start(0);
    ASSERT_TRUE(WaitState(0, dsFailed));
    EXPECT_FALSE(store.FileSize(File(0) + ".temp").has_value());
}

TEST_F(DownManagerTest, APackageCountsAsDownloadedOnlyWhenItsSizeAndSha256AreTheManifests) {
    const std::string body(4096 * 5, 'p');
    const FileDigest genuine{body.size(), Sha256Of(body)};
    std::string swapped = body;
    swapped[100] = 'q';  // same length, other content
    const std::string longer = body + "p";
    struct Case {
        const char* what;
        std::string served;
        std::optional<FileDigest> expected;
        uint8_t state;
    };
    const Case cases[] = {
        {"the listed bytes", body, genuine, dsDownloaded},
        {"other bytes of the same length", swapped, genuine, dsRefused},
        {"one byte more", longer, genuine, dsRefused},
        {"no manifest: today's checks only", swapped, std::nullopt, dsDownloaded},
    };
    for (int i = 0; i < 4; ++i) {
        const Case& c = cases[i];
        server.Set(Url(i), {200, static_cast<int64_t>(c.served.size()), static_cast<int64_t>(c.served.size()), 4096,
                            0us, false, false, c.served});
        manager->AddTask(Url(i), File(i), i, &rows, c.expected);
    }
    for (int i = 0; i < 4; ++i) {
        const Case& c = cases[i];
        ASSERT_TRUE(WaitState(i, c.state)) << c.what;
        EXPECT_EQ(store.FileSize(File(i)).has_value(), c.state == dsDownloaded) << c.what;
        EXPECT_FALSE(store.FileSize(File(i) + ".temp").has_value()) << c.what;
    }
}

TEST_F(DownManagerTest, PercentagesRiseOneByOneToOneHundred) {
    const int64_t size = 100LL * 1024 * 1024;  // 25,600 chunks
    server.Set(Url(0), {200, size, size, 4096, 0us});
    Start(0);
    ASSERT_TRUE(WaitState(0, dsDownloaded));
    const auto& seen = rows.Seen(0);
    std::vector<int> percentages;
    for (auto [state, progress] : seen)
        if (state == dsDownloading)
            percentages.push_back(progress);
    ASSERT_EQ(percentages.size(), 101u);
    for (int i = 0; i <= 100; ++i)
        EXPECT_EQ(percentages[static_cast<size_t>(i)], i);
    EXPECT_LE(seen.size(), 103u);  // waiting, 0..100, downloaded
}

TEST_F(DownManagerTest, AnUnwritableTemporaryFileFailsTheTaskAndKeepsTheWorker) {
    store.MakeUnwritable(File(0) + ".temp");
    store.MakeUnwritable(File(1) + ".temp");
    server.Set(Url(2), Slow(4096));
    Start(0);
    Start(1);
    ASSERT_TRUE(WaitState(0, dsFailed));
    ASSERT_TRUE(WaitState(1, dsFailed));
    Start(2);
    EXPECT_TRUE(WaitState(2, dsDownloaded));
}

TEST_F(DownManagerTest, StoppingDuringTwoDownloadsEndsPromptlyWithoutServingTheRows) {
    server.Set(Url(0), Slow(4096 * 100000, 1ms));
    server.Set(Url(1), Slow(4096 * 100000, 1ms));
    Start(0);
    Start(1);
    ASSERT_TRUE(WaitState(0, dsDownloading));
    ASSERT_TRUE(WaitState(1, dsDownloading));
    // Leave hand-overs unserved, as a closing window would.
    const auto start = std::chrono::steady_clock::now();
    manager.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    const size_t seenBefore = rows.Seen(0).size();
    dispatcher.RunPending();
    EXPECT_EQ(rows.Seen(0).size(), seenBefore);
}

TEST_F(DownManagerTest, CancellingAFinishedRowLeavesTheIdleWorkersAlone) {
    server.Set(Url(0), Slow(4096 * 4));
    server.Set(Url(1), Slow(4096 * 40));
    Start(0);
    ASSERT_TRUE(WaitState(0, dsDownloaded));
    manager->CancelTask(&rows, 0);  // no worker runs row 0 any more
    Start(1);
    EXPECT_TRUE(WaitState(1, dsDownloaded));
}

TEST_F(DownManagerTest, MoreBytesThanAnnouncedNeverShowMoreThanAHundredPercent) {
    server.Set(Url(0), {200, 4096 * 50, 4096 * 10, 4096, 0us});
    Start(0);
    ASSERT_TRUE(WaitState(0, dsFailed));
    for (auto [state, progress] : rows.Seen(0))
        EXPECT_LE(progress, 100);
}

TEST_F(DownManagerTest, ASilentTransferFailsAfterTheIdleTimeOutOrEndsAtOnceOnCancel) {
    manager = std::make_unique<TDownManager>([this] { return std::make_unique<test::FakeHttp>(server); }, store,
                                             dispatcher, 300ms);
    FakeResponse silent = Slow(4096 * 100);
    silent.silent = true;
    server.Set(Url(0), silent);
    server.Set(Url(1), silent);
    Start(0);
    Start(1);
    ASSERT_TRUE(WaitState(1, dsDownloading));
    manager->CancelTask(&rows, 1);
    const auto cancelled = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitState(1, dsNone));
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 200ms);
    ASSERT_TRUE(WaitState(0, dsFailed));
    EXPECT_FALSE(store.FileSize(File(0) + ".temp").has_value());
    EXPECT_TRUE(store.FileSize(File(1) + ".temp").has_value());  // a cancelled download keeps its part
}

TEST_F(DownManagerTest, ARefusedHandOverFreesItsWorker) {
    dispatcher.Refuse();
    for (int i = 0; i < 4; ++i)
        server.Set(Url(i), Slow(4096 * 4));
    Start(0);
    Start(1);
    ASSERT_TRUE(dispatcher.RunUntil([&] { return store.FileSize(File(0)) && store.FileSize(File(1)); }));
    // Both workers are done with their files; without the window's answer they must not wait for it.
    std::this_thread::sleep_for(500ms);
    Start(2);
    Start(3);
    EXPECT_TRUE(dispatcher.RunUntil([&] { return store.FileSize(File(2)) && store.FileSize(File(3)); }));
}

TEST_F(DownManagerTest, AStalledTransferDoesNotHoldUpStopping) {
    FakeResponse stalled = Slow(4096 * 100);
    stalled.stall = true;
    server.Set(Url(0), stalled);
    Start(0);
    ASSERT_TRUE(dispatcher.RunUntil([&] { return server.Stalled() == 1; }));
    const auto start = std::chrono::steady_clock::now();
    manager.reset();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 900ms);
    EXPECT_LT(took, 2000ms);
    // The worker left behind ends once its connection does, touching nothing of ours.
    server.ReleaseStalls();
    server.WaitNoStalls();
    std::this_thread::sleep_for(50ms);
    dispatcher.RunPending();
    EXPECT_EQ(rows.State(0), dsDownloading);
}

TEST(BackgroundWriter, WritesFullBuffersInOrderAndPassesLargeWrites) {
    std::vector<std::string> blocks;  // touched by the writer thread until Flush returns
    BackgroundWriter writer(10, [&](const void* data, size_t count) {
        blocks.emplace_back(static_cast<const char*>(data), count);
        return true;
    });
    writer.Write("aaaa", 4);
    writer.Write("bbbb", 4);
    EXPECT_EQ(writer.Size(), 8);
    writer.Write("cccc", 4);                   // would overflow: the first 8 go to the writer
    writer.Write("dddddddddddddddddddd", 20);  // larger than a buffer: straight through after the rest
    EXPECT_TRUE(writer.Flush());
    EXPECT_EQ(blocks, (std::vector<std::string>{"aaaabbbb", "cccc", "dddddddddddddddddddd"}));
    EXPECT_EQ(writer.Size(), 32);
}

TEST(BackgroundWriter, ManyBlocksArriveWholeAndAFailedBlockIsNotCounted) {
    std::string file;
    int calls = 0;
    {
        BackgroundWriter writer(4096, [&](const void* data, size_t count) {
            if (++calls == 3)
                return false;  // the disk is full once
            file.append(static_cast<const char*>(data), count);
            return true;
        });
        for (int i = 0; i < 1000; ++i) {
            char chunk[100];
            std::memset(chunk, 'a' + i % 26, sizeof chunk);
            writer.Write(chunk, sizeof chunk);
        }
        EXPECT_FALSE(writer.Flush());
        EXPECT_EQ(writer.Size(), static_cast<int64_t>(file.size()));
        EXPECT_LT(writer.Size(), 100000);
    }
    EXPECT_EQ(file.substr(0, 100), std::string(100, 'a'));
}

}  // namespace
}  // namespace lumaforge
