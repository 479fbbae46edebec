#include <gtest/gtest.h>

#include <chrono>

#include "base/files_win.h"
#include "base/unicode_win.h"
#include "controls/image_panel_win.h"
#include "controls/ui_dispatcher_win.h"
#include "download/preview_downloader.h"
#include "download/preview_store_win.h"
#include "net/http_client_win.h"
#include "support/download_fakes.h"
#include "support/picture_maker_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The manager with the real client against a local server, the real cache files and the real
// hand-over to this thread.
class PreviewDownloadTest : public ::testing::Test {
protected:
    PreviewDownloadTest()
        : manager(std::make_unique<TDownImageManager>([] { return std::make_unique<TWinHttp>(); }, store, dispatcher)) {
        server.SetContent("/b.jpg", std::string(30000, 'b'));
    }
    ~PreviewDownloadTest() override {
        manager.reset();
        test::PumpPending();
    }

    std::string File(const std::string& name) const { return ToUtf8(folder.Path()) + name; }
    void Request(const std::string& path, const std::string& name, ImageView& target) {
        manager->RequestPreview(server.Url(path), File(name), target);
    }
    bool WaitLast(const std::string& call, DWORD ms = 5000) {
        return test::PumpUntil([&] { return !view.Calls().empty() && view.Calls().back() == call; }, ms);
    }
    // Lets a transfer that was wrongly left running reach its end and its file.
    void Linger() { test::PumpFor(1500); }

    test::TempFolder folder;
    test::TestHttpServer server;
    WinPreviewStore store;
    WinUiDispatcher dispatcher;
    test::FakeImageView view;
    std::unique_ptr<TDownImageManager> manager;
};

TEST_F(PreviewDownloadTest, ACachedPictureIsShownWithoutAnyRequest) {
    server.SetContent("/cached.jpg", "picture");
    WriteWholeFile(File("cached.jpg"), "picture");
    Request("/cached.jpg", "cached.jpg", view);
    EXPECT_EQ(view.Calls(), (std::vector<std::string>{"load:" + File("cached.jpg")}));
    test::PumpFor(200);
    EXPECT_EQ(server.RequestCount("/cached.jpg"), 0);
    EXPECT_EQ(view.Calls().size(), 1u);
}

TEST_F(PreviewDownloadTest, OnlyAWholeNonEmptyPictureIsSaved) {
    server.SetContent("/empty.jpg", "");
    const struct {
        const char* path;
        bool saved;
    } cases[] = {
        {"/b.jpg", true},       {"/slow/40960/2", true},        {"/empty.jpg", false},
        {"/status/404", false}, {"/short/100000/30000", false}, {"/nolength/30000", false},
        {"/badlength", false},
    };
    int i = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string name = "case" + std::to_string(i++) + ".jpg";
        view.ClearCalls();
        Request(c.path, name, view);
        ASSERT_TRUE(test::PumpUntil([&] { return view.Calls().size() >= 3; }, 5000));
        EXPECT_EQ(view.Calls().back(), c.saved ? "load:" + File(name) : "load:");
        EXPECT_EQ(test::PathExists(File(name)), c.saved);
        EXPECT_FALSE(test::PathExists(File(name) + ".temp"));
    }
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(File("case0.jpg"), saved));
    EXPECT_EQ(saved, std::string(30000, 'b'));
}

TEST_F(PreviewDownloadTest, QuickFocusChangesShowOnlyTheNewestPicture) {
    for (int i = 0; i < 10; ++i) {
        Request("/slow/409600/5", "row" + std::to_string(i) + ".jpg", view);
        test::PumpFor(20);
    }
    Request("/b.jpg", "b.jpg", view);
    ASSERT_TRUE(WaitLast("load:" + File("b.jpg")));
    Linger();
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(test::PathExists(File("row" + std::to_string(i) + ".jpg"))) << i;
    for (const std::string& call : view.Calls())
        EXPECT_TRUE(call == "start" || call == "stop" || call == "load:" + File("b.jpg")) << call;
}

TEST_F(PreviewDownloadTest, TheFetchedPictureShowsInTheImagePanel) {
    GdiplusSession gdiplus;
    const std::string jpeg = test::SolidPicture(320, 240, L"image/jpeg", 0xFF3060A0);
    server.SetContent("/theme/Aero.jpg", jpeg);
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    {
        TImagePanel panel(gdiplus);
        ASSERT_TRUE(panel.Create(host, {0, 0, 379, 356}));
        Request("/theme/Aero.jpg", "Aero.jpg", panel);
        ASSERT_TRUE(test::PumpUntil([&] { return !panel.CurrentPicture().Empty(); }, 5000));
        EXPECT_EQ(panel.FileName(), File("Aero.jpg"));
        EXPECT_EQ(panel.CurrentPicture().Width(), 320);
        EXPECT_FALSE(panel.Loading());
        std::string saved;
        ASSERT_TRUE(ReadWholeFile(File("Aero.jpg"), saved));
        EXPECT_EQ(saved, jpeg);
        manager.reset();  // the panel must outlive the manager
    }
    DestroyWindow(host);
}

}  // namespace
}  // namespace lumaforge
