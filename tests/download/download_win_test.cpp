#include <gtest/gtest.h>

#include <chrono>

#include "base/unicode_win.h"
#include "controls/ui_dispatcher_win.h"
#include "download/package_store_win.h"
#include "net/http_client_win.h"
#include "support/download_fakes.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

// The manager with the real client, the real cache files and the real hand-over to this thread.
class DownloadTest : public ::testing::Test {
protected:
    DownloadTest()
        : manager(std::make_unique<TDownManager>([] { return std::make_unique<TWinHttp>(); }, store, dispatcher)) {}
    ~DownloadTest() override {
        manager.reset();
        test::PumpPending();
    }

    std::string File(int i) const { return ToUtf8(folder.Path()) + "package" + std::to_string(i) + ".zip"; }
    void Start(int i, const std::string& path) { manager->AddTask(server.Url(path), File(i), i, &rows); }
    bool WaitState(int i, uint8_t state, DWORD ms = 20000) {
        return test::PumpUntil([&] { return rows.State(i) == state; }, ms);
    }

    test::TempFolder folder;
    test::TestHttpServer server;
    WinPackageStore store;
    WinUiDispatcher dispatcher;
    test::FakeRows rows{8};
    std::unique_ptr<TDownManager> manager;
};

TEST_F(DownloadTest, ThirdDownloadWaitsForAFreeWorker) {
    for (int i = 0; i < 3; ++i)
        Start(i, "/zip/slow/409600/10");
    EXPECT_EQ(rows.State(2), dsWaiting);
    ASSERT_TRUE(WaitState(0, dsDownloading, 1000));
    ASSERT_TRUE(WaitState(1, dsDownloading, 1000));
    EXPECT_EQ(rows.State(2), dsWaiting);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(WaitState(i, dsDownloaded)) << i;
        EXPECT_TRUE(test::PathExists(File(i)));
        EXPECT_FALSE(test::PathExists(File(i) + ".temp"));
    }
}

TEST_F(DownloadTest, FailedAnswersLeaveNoFiles) {
    Start(0, "/status/404");
    Start(1, "/nolength/100000");
    ASSERT_TRUE(WaitState(0, dsFailed));
    ASSERT_TRUE(WaitState(1, dsFailed));
    Start(2, "/zip/short/100000/30000");
    // Every announced byte arrives, but the server announced less than the package.
    Start(3, "/zip/cut/100000/30000");
    ASSERT_TRUE(WaitState(2, dsFailed));
    ASSERT_TRUE(WaitState(3, dsFailed));
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(test::PathExists(File(i))) << i;
        EXPECT_FALSE(test::PathExists(File(i) + ".temp")) << i;
    }
}

TEST_F(DownloadTest, HundredMegabytesReportEveryPercentOnce) {
    Start(0, "/zip/gen/104857600");
    ASSERT_TRUE(WaitState(0, dsDownloaded, 120000));
    std::vector<int> percentages;
    for (auto [state, progress] : rows.Seen(0))
        if (state == dsDownloading)
            percentages.push_back(progress);
    ASSERT_EQ(percentages.size(), 101u);
    for (int i = 0; i <= 100; ++i)
        ASSERT_EQ(percentages[static_cast<size_t>(i)], i);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(ToWide(File(0)).c_str(), GetFileExInfoStandard, &data);
    EXPECT_EQ(data.nFileSizeLow, 104857600u);
}

TEST(DownloadStallTest, NoByteForTheIdleTimeOutFailsTheDownload) {
    test::TempFolder folder;
    test::TestHttpServer server;
    WinPackageStore store;
    WinUiDispatcher dispatcher;
    test::FakeRows rows(2);
    TDownManager manager([] { return std::make_unique<TWinHttp>(); }, store, dispatcher, std::chrono::seconds(1));
    const std::string file = ToUtf8(folder.Path()) + "stalled.zip";
    manager.AddTask(server.Url("/stall/409600"), file, 0, &rows);
    manager.AddTask(server.Url("/hang"), file + "2", 1, &rows);
    ASSERT_TRUE(test::PumpUntil([&] { return rows.State(0) == dsFailed && rows.State(1) == dsFailed; }, 5000));
    for (const std::string& path : {file, file + ".temp", file + "2", file + "2.temp"})
        EXPECT_EQ(GetFileAttributesW(ToWide(path).c_str()), INVALID_FILE_ATTRIBUTES) << path;
}

}  // namespace
}  // namespace lumaforge
