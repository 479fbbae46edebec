#include "wallpaper/wallpaper_page_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/registry_win.h"
#include "base/unicode_win.h"
#include "controls/fonts_win.h"
#include "controls/picture_win.h"
#include "support/baidu_page.h"
#include "support/picture_maker_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"
#include "wallpaper/search_item.h"

namespace lumaforge {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr COLORREF kRedPixel = RGB(255, 0, 0);
constexpr COLORREF kBluePixel = RGB(0, 0, 255);
constexpr COLORREF kWhitePixel = RGB(255, 255, 255);
constexpr COLORREF kGreyFrame = RGB(222, 222, 222);

class TestHost : public Window {
public:
    bool Create() { return CreateWindowOf(L"LumaforgeWallpaperTestHost", WS_OVERLAPPED, 0, nullptr, {0, 0, 700, 400}); }
};

std::string WallpaperValue() {
    return RegistryKey::OpenToRead(HKEY_CURRENT_USER, "Control Panel\\Desktop").ReadString("Wallpaper").value_or("");
}

// The page in a host window, against the local server as every engine, with a temporary program
// and Windows folder and every message recorded.
class WallpaperPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureCommonControls();
        app = ToUtf8(folder.Path()) + "app\\";
        win = ToUtf8(folder.Path()) + "win";
        ASSERT_TRUE(CreateFolderPath(app));
        ASSERT_TRUE(CreateFolderPath(win));
        paths.SetProgramFolder(app);
        paths.SetSystemFolders(win, win);
        ASSERT_TRUE(host.Create());
        savedWallpaper = WallpaperValue();
        MakePage("/baidu/");
    }
    void TearDown() override {
        page.reset();
        RegistryKey::OpenToChange(HKEY_CURRENT_USER, "Control Panel\\Desktop").WriteString("Wallpaper", savedWallpaper);
    }

    void MakePage(const std::string& root) {
        page.reset();
        TWallpaperPageContext context;
        context.paths = &paths;
        context.codePage = &codePage;
        context.roots = {server.Url(root), server.Url(root), server.Url(root), server.Url(root), server.Url(root)};
        context.resultTimeoutMs = 3000;
        context.showMessage = [this](const std::string& text, TMsgKind kind) { messages.push_back({text, kind}); };
        page = std::make_unique<TFrmWallpaper>();
        ASSERT_TRUE(page->Create(host.Handle(), {0, 0, 637, 330}, strings, font.Get(), std::move(context)));
        page->KeywordBox().SetText(L"Landscape");
    }

    void Search() { SendMessageW(page->EngineButton(seBaidu).Handle(), BM_CLICK, 0, 0); }
    bool WaitForThumbnails() {
        return test::PumpUntil([&] { return !page->Grid().WorkerRunning(); }, 8000);
    }
    TGridLayout Layout() const {
        const RECT rc = page->Grid().ClientRect();
        return GridLayoutFor(rc.right, rc.bottom);
    }
    // The grid as it paints now.
    std::unique_ptr<test::Canvas> Snapshot() {
        const RECT rc = page->Grid().ClientRect();
        auto canvas = std::make_unique<test::Canvas>(rc.right, rc.bottom, RGB(1, 2, 3));
        page->Grid().Paint(canvas->Dc(), rc);
        return canvas;
    }
    TCellPaint CellPainting(TGridCell cell) const {
        const TGridLayout layout = Layout();
        return CellPaint(CellRect(layout, cell), layout.picture);
    }
    COLORREF PictureCentre(const test::Canvas& canvas, TGridCell cell) const {
        const TCellPaint paint = CellPainting(cell);
        return canvas.At(paint.pictureX + Layout().picture.width / 2, paint.pictureY + Layout().picture.height / 2);
    }
    void Click(TGridCell cell, int fromRight, int fromBottom) {
        const TGridRect rc = CellRect(Layout(), cell);
        SendMessageW(page->Grid().Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(rc.right - fromRight, rc.bottom - fromBottom));
    }
    std::vector<std::string> TempBitmaps() const {
        std::vector<std::string> names;
        for (const FolderEntry& entry : ListFolder(app + "temp\\"))
            if (entry.name.size() > 4 && entry.name.substr(entry.name.size() - 4) == ".bmp")
                names.push_back(entry.name);
        return names;
    }

    GdiplusSession gdiplus;
    test::TestHttpServer server;
    test::TempFolder folder;
    std::string app, win, savedWallpaper;
    ProgramPaths paths;
    WinAnsiCodePage codePage;
    ResourceStrings strings;
    UniqueFont font = MakeFont(L"Tahoma", -11);
    TestHost host;
    std::unique_ptr<TFrmWallpaper> page;
    std::vector<std::pair<std::string, TMsgKind>> messages;
};

TEST_F(WallpaperPageTest, ASearchFillsTheGridAndTheGearSetsTheWallpaperUntilThePageCloses) {
    std::vector<std::pair<std::string, std::string>> results;
    for (int i = 0; i < 7; ++i) {
        server.SetContent("/thumb/" + std::to_string(i) + ".png", test::SolidPicture(200, 150, L"image/png", kRed));
        results.push_back(
            {server.Url("/thumb/" + std::to_string(i) + ".png"), server.Url("/full/" + std::to_string(i) + ".png")});
    }
    server.SetContent("/full/1.png", test::SolidPicture(64, 48, L"image/png", kBlue));
    server.SetContent("/baidu/i", test::BaiduPage(results));
    EXPECT_TRUE(page->AdvertisementVisible());

    Search();
    EXPECT_FALSE(page->AdvertisementVisible());
    ASSERT_EQ(page->Grid().RowCount(), 2);
    ASSERT_TRUE(WaitForThumbnails());
    EXPECT_EQ(server.RequestCount("/thumb/6.png"), 1);
    EXPECT_TRUE(messages.empty());
    {
        auto canvas = Snapshot();
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(PictureCentre(*canvas, {0, column}), kRedPixel) << column;
        EXPECT_EQ(PictureCentre(*canvas, {1, 1}), kRedPixel);
        // The second row's last three cells paint nothing, not even a frame.
        EXPECT_EQ(PictureCentre(*canvas, {1, 2}), kWhitePixel);
        EXPECT_EQ(canvas->At(CellPainting({1, 2}).frame.left, CellPainting({1, 2}).frame.top), kWhitePixel);
        EXPECT_EQ(canvas->At(CellPainting({0, 1}).frame.left, CellPainting({0, 1}).frame.top), kGreyFrame);
    }

    // Hovering draws the blue frame and the overlay strip over the picture's corner.
    const TGridRect hovered = CellRect(Layout(), {0, 1});
    SendMessageW(page->Grid().Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(hovered.left + 5, hovered.top + 5));
    {
        auto canvas = Snapshot();
        const TCellPaint paint = CellPainting({0, 1});
        EXPECT_EQ(canvas->At(paint.frame.left, paint.frame.top), kBluePixel);
        EXPECT_NE(canvas->At(paint.overlay.left + 1, paint.overlay.top + 1), kRedPixel);
        EXPECT_EQ(canvas->At(CellPainting({0, 0}).frame.left, CellPainting({0, 0}).frame.top), kGreyFrame);
    }

    // The gear.
    Click({0, 1}, 10, 5);
    const std::string cached = PictureCacheName(server.Url("/full/1.png"), codePage);
    EXPECT_EQ(TempBitmaps(), std::vector<std::string>{cached});
    const std::string copy = win + "\\WallpaperTemp.bmp";
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(copy, bytes));
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(Picture::FromFile(copy).Width(), 64);
    EXPECT_EQ(WallpaperValue(), copy);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], std::make_pair(std::string("Set desktop wallpaper successfully."), mkInformation));
    EXPECT_TRUE(page->Grid().Item({0, 1})->Downloaded);
    EXPECT_FALSE(page->ProgressVisible());
    {
        auto canvas = Snapshot();
        const TCellPaint paint = CellPainting({0, 1});
        EXPECT_EQ(canvas->At(paint.marker.left + 4, paint.marker.top + 12), RGB(255, 140, 0));
        EXPECT_EQ(canvas->At(CellPainting({0, 2}).marker.left + 4, CellPainting({0, 2}).marker.top + 12), kRedPixel);
    }

    // A second click finds the picture in temp\ and downloads nothing.
    Click({0, 1}, 10, 5);
    EXPECT_EQ(server.RequestCount("/full/1.png"), 1);

    WriteWholeFile(app + "temp\\notes.txt", "kept");
    WriteWholeFile(app + "temp\\OTHER.BMP", "gone");
    SetFileAttributesW(ToWide(app + "temp\\OTHER.BMP").c_str(), FILE_ATTRIBUTE_READONLY);
    page.reset();
    EXPECT_TRUE(TempBitmaps().empty());
    EXPECT_EQ(ListFolder(app + "temp\\").size(), 1u);
    EXPECT_TRUE(ReadWholeFile(copy, bytes));
}

TEST_F(WallpaperPageTest, FullSizePicturesThatCannotBeHadEndCleanlyWithTheDownloadError) {
    server.SetContent("/full/text.png", "this is no picture");
    server.SetContent("/full/empty.png", "");
    server.SetContent("/thumb.png", test::SolidPicture(20, 20, L"image/png", kRed));
    const struct {
        std::string path;
        int maxSeconds;
    } cases[] = {{"/full/text.png", 3}, {"/full/empty.png", 3}, {"/status/404", 3}, {"/stall/100000", 8}};
    std::vector<std::pair<std::string, std::string>> results;
    for (const auto& c : cases)
        results.push_back({server.Url("/thumb.png"), server.Url(c.path)});
    server.SetContent("/baidu/i", test::BaiduPage(results));
    Search();
    ASSERT_TRUE(WaitForThumbnails());
    for (size_t i = 0; i < std::size(cases); ++i) {
        messages.clear();
        const auto start = Clock::now();
        Click({0, static_cast<int>(i)}, 30, 5);
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
        EXPECT_LE(seconds, cases[i].maxSeconds) << cases[i].path;
        ASSERT_EQ(messages.size(), 1u) << cases[i].path;
        EXPECT_EQ(messages[0].first, "Cannot download the path of \"" + server.Url(cases[i].path) + "\" image.");
        EXPECT_EQ(messages[0].second, mkError);
        EXPECT_FALSE(page->ProgressVisible());
        EXPECT_FALSE(page->Grid().Item({0, static_cast<int>(i)})->Downloaded);
    }
    EXPECT_TRUE(TempBitmaps().empty());
}

TEST_F(WallpaperPageTest, ResultPagesThatShowNothingSayNoWallpaperFound) {
    const struct {
        std::string root;
        int maxSeconds;
    } cases[] = {{"/status/500/", 3}, {"/gen/10485760/", 20}, {"/hang/", 8}, {"/empty/", 3}};
    server.SetContent("/empty/i", "");
    for (const auto& c : cases) {
        MakePage(c.root);
        messages.clear();
        const auto start = Clock::now();
        Search();
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
        EXPECT_LE(seconds, c.maxSeconds) << c.root;
        ASSERT_EQ(messages.size(), 1u) << c.root;
        EXPECT_EQ(messages[0], std::make_pair(std::string("No wallpaper found."), mkInformation)) << c.root;
        EXPECT_EQ(page->Grid().RowCount(), 0);
    }
    // A keyword of blanks asks for one and leaves the page as it was.
    MakePage("/baidu/");
    messages.clear();
    page->KeywordBox().SetText(L"   ");
    Search();
    EXPECT_EQ(messages, (std::vector<std::pair<std::string, TMsgKind>>{{"Input the keyword first.", mkInformation}}));
    EXPECT_TRUE(page->AdvertisementVisible());
    // Enter in the keyword box searches Baidu.
    page->KeywordBox().SetText(L"sea");
    SendMessageW(page->KeywordBox().Handle(), WM_CHAR, VK_RETURN, 0);
    EXPECT_EQ(server.RequestCount("/baidu/i"), 1);
    EXPECT_FALSE(page->AdvertisementVisible());
}

TEST_F(WallpaperPageTest, ClosingThePageDuringAFullSizeDownloadEndsTheClickAtOnce) {
    server.SetContent("/thumb.png", test::SolidPicture(20, 20, L"image/png", kRed));
    server.SetContent("/baidu/i", test::BaiduPage({{server.Url("/thumb.png"), server.Url("/slow/400000/100")}}));
    Search();
    ASSERT_TRUE(WaitForThumbnails());
    static std::unique_ptr<TFrmWallpaper>* current = nullptr;
    current = &page;
    bool progressShown = false;
    static bool* shown = nullptr;
    shown = &progressShown;
    // Runs inside the download's message processing.
    const UINT_PTR timer = SetTimer(nullptr, 0, 400, [](HWND, UINT, UINT_PTR, DWORD) {
        if (*current) {
            *shown = (*current)->ProgressVisible();
            current->reset();
        }
    });
    const auto start = Clock::now();
    Click({0, 0}, 10, 5);
    KillTimer(nullptr, timer);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 2000);
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(page, nullptr);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(TempBitmaps().empty());
}

TEST_F(WallpaperPageTest, ANewSearchWhileThumbnailsLoadNeverShowsAnOldThumbnail) {
    server.SetContent("/red.png", test::SolidPicture(200, 150, L"image/png", kRed));
    server.SetContent("/blue.png", test::SolidPicture(200, 150, L"image/png", kBlue));
    std::vector<std::pair<std::string, std::string>> slow, fast;
    for (int i = 0; i < 5; ++i) {
        slow.push_back({server.Url("/slowbody/2500/red.png"), server.Url("/full.png")});
        fast.push_back({server.Url("/blue.png"), server.Url("/full.png")});
    }
    server.SetContent("/baidu/i", test::BaiduPage(slow));
    Search();
    ASSERT_TRUE(test::PumpUntil([&] { return server.RequestCount("/slowbody/2500/red.png") == 1; }, 3000));
    test::PumpFor(200);

    server.SetContent("/baidu/i", test::BaiduPage(fast));
    const auto start = Clock::now();
    Search();
    // The old worker let go of its stalled thumbnail instead of finishing it.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 1500);
    ASSERT_TRUE(WaitForThumbnails());
    test::PumpFor(3000);
    auto canvas = Snapshot();
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(PictureCentre(*canvas, {0, column}), kBluePixel) << column;
    EXPECT_EQ(server.RequestCount("/slowbody/2500/red.png"), 1);
    EXPECT_EQ(server.RequestCount("/blue.png"), 5);
}

}  // namespace
}  // namespace lumaforge
