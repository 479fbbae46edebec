#include "app/startup_fetch.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/download_fakes.h"

namespace lumaforge {
namespace {

using namespace std::chrono_literals;
using test::FakeResponse;

class StartupFetchTest : public ::testing::Test {
protected:
    void Start(StartupRequest request) {
        fetch =
            std::make_unique<StartupFetch>([this] { return std::make_unique<test::FakeHttp>(server); }, dispatcher,
                                           std::move(request), [this](StartupDownloads d) { arrived = std::move(d); });
    }
    static FakeResponse Body(const std::string& text) {
        FakeResponse response;
        response.body = text;
        response.announced = static_cast<int64_t>(text.size());
        return response;
    }

    test::FakeServer server;
    test::TestDispatcher dispatcher;
    std::optional<StartupDownloads> arrived;
    std::unique_ptr<StartupFetch> fetch;
};

TEST_F(StartupFetchTest, HandsTheCatalogAndTheSettingsOverOnTheUserInterfaceThread) {
    server.Set("http://s/config.txt", Body("{\"themes\": []}"));
    server.Set("http://s/api.txt", Body("[Lumaforge]\r\nADHomeURL=x\r\n"));
    Start({"http://s/config.txt", "http://s/api.txt", 5000});
    ASSERT_TRUE(dispatcher.RunUntil([&] { return arrived.has_value(); }));
    EXPECT_EQ(arrived->catalog, "{\"themes\": []}");
    EXPECT_EQ(arrived->api, "[Lumaforge]\r\nADHomeURL=x\r\n");
}

TEST_F(StartupFetchTest, TheManifestAndItsSignatureFollowTheCatalogWhenAskedFor) {
    server.Set("http://s/config.txt", Body("{}"));
    server.Set("http://s/manifest.txt", Body("Lumaforge manifest 1\n"));
    server.Set("http://s/manifest.sig", Body("00\n"));
    StartupRequest request{"http://s/config.txt", "", 5000, "http://s/manifest.txt", "http://s/manifest.sig"};
    Start(request);
    ASSERT_TRUE(dispatcher.RunUntil([&] { return arrived.has_value(); }));
    EXPECT_EQ(arrived->manifest, "Lumaforge manifest 1\n");
    EXPECT_EQ(arrived->signature, "00\n");
    // Without a catalog there is nothing to vouch for.
    arrived.reset();
    request.catalogUrl = "http://s/missing.txt";
    Start(request);
    ASSERT_TRUE(dispatcher.RunUntil([&] { return arrived.has_value(); }));
    EXPECT_EQ(arrived->manifest, "");
    EXPECT_EQ(arrived->signature, "");
}

TEST_F(StartupFetchTest, SettingsAreNotAskedForWhenTheProgramHasThemAndFailuresGiveNothing) {
    Start({"http://s/missing.txt", "", 5000});
    ASSERT_TRUE(dispatcher.RunUntil([&] { return arrived.has_value(); }));
    EXPECT_EQ(arrived->catalog, "");
    EXPECT_FALSE(arrived->api.has_value());
}

TEST_F(StartupFetchTest, ACatalogCutOffBySilenceCountsAsNothing) {
    FakeResponse silent = Body(std::string(10000, 'x'));
    silent.silent = true;
    server.Set("http://s/config.txt", silent);
    Start({"http://s/config.txt", "", 200});
    ASSERT_TRUE(dispatcher.RunUntil([&] { return arrived.has_value(); }));
    EXPECT_EQ(arrived->catalog, "");
}

TEST_F(StartupFetchTest, ClosingDuringASilentServerEndsPromptlyAndDropsTheResult) {
    FakeResponse silent = Body("x");
    silent.silent = true;
    server.Set("http://s/config.txt", silent);
    Start({"http://s/config.txt", "", 60000});
    std::this_thread::sleep_for(50ms);
    const auto start = std::chrono::steady_clock::now();
    fetch.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 900ms);
    dispatcher.RunPending();
    EXPECT_FALSE(arrived.has_value());
}

}  // namespace
}  // namespace lumaforge
