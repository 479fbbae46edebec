#include "wallpaper/wallpaper_page_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <shlobj.h>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/registry_win.h"
#include "base/unicode_win.h"
#include "controls/fonts_win.h"
#include "controls/picture_win.h"
#include "controls/web_browser_win.h"
#include "net/http_client_win.h"
#include "support/baidu_page.h"
#include "support/browser_events_win.h"
#include "support/picture_maker_win.h"
#include "support/real_input_win.h"
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

// The program's main window as the page meets it: a top-level window that errors escaping a
// handler reach, and that the user closes.
class TestHost : public Window {
public:
    bool Create() { return CreateWindowOf(L"LumaforgeWallpaperTestHost", WS_OVERLAPPED, 0, nullptr, {0, 0, 700, 400}); }
    std::vector<std::string> errors;

protected:
    void ReportError(const std::string& text) override { errors.push_back(text); }
};

// A window that counts its paints: whoever repaints every window of the desktop repaints it too.
class Witness : public Window {
public:
    bool Create() {
        return CreateWindowOf(L"LumaforgeWallpaperWitness", WS_POPUP | WS_VISIBLE, 0, nullptr, {760, 0, 860, 100});
    }
    int paints = 0;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PAINT) {
            ++paints;
            PAINTSTRUCT ps;
            BeginPaint(Handle(), &ps);
            EndPaint(Handle(), &ps);
            return 0;
        }
        return Window::OnMessage(message, wParam, lParam);
    }
};

// The wallpaper as the system has it.
std::string SystemWallpaper() {
    wchar_t path[MAX_PATH] = {};
    SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
    return ToUtf8(path);
}

void ClickAt(POINT screen) {
    test::ClickOnScreen(screen);
}
POINT CentreOf(HWND window) {
    RECT rc;
    GetWindowRect(window, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// A client that runs out of memory once the picture's first bytes have come.
class ExhaustedClient final : public HttpClient {
public:
    void Get(const std::string& url, ByteSink& sink) override {
        http_.SetOnProgress([this](int64_t current, int64_t total, bool& abort) {
            if (onProgress_)
                onProgress_(current, total, abort);
            throw std::bad_alloc();
        });
        http_.Get(url, sink);
    }
    int64_t ContentLength() const override { return http_.ContentLength(); }
    void SetOnProgress(ProgressHandler handler) override { onProgress_ = std::move(handler); }
    void SetTimeout(int32_t milliseconds) override { http_.SetTimeout(milliseconds); }
    void SetAbortCheck(AbortCheck check) override { http_.SetAbortCheck(std::move(check)); }
    bool TimedOut() const override { return http_.TimedOut(); }

private:
    TWinHttp http_;
    ProgressHandler onProgress_;
};

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
        savedWallpaper = SystemWallpaper();
        MakePage("/baidu/");
    }
    void TearDown() override {
        page.reset();
        SetDesktopWallpaper(savedWallpaper);
    }

    void MakePage(const std::string& root, RefererClientFactory makeClient = {}) {
        page.reset();
        TWallpaperPageContext context;
        context.paths = &paths;
        context.codePage = &codePage;
        context.roots = {server.Url(root), server.Url(root), server.Url(root), server.Url(root), server.Url(root)};
        context.resultTimeoutMs = 3000;
        context.gdiplus = &gdiplus;
        if (makeClient)
            context.makeClient = std::move(makeClient);
        context.showMessage = [this](HWND owner, const std::string& text, TMsgKind kind) {
            messages.push_back({text, kind});
            owners.push_back(owner);
        };
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
    // The host on the screen, in front, as the user sees the program.
    void ShowHost() {
        ShowWindow(host.Handle(), SW_SHOW);
        SetForegroundWindow(host.Handle());
        UpdateWindow(host.Handle());
        test::PumpFor(100);
    }
    POINT CellPoint(TGridCell cell, int fromRight, int fromBottom) const {
        const TGridRect rc = CellRect(Layout(), cell);
        POINT at{rc.right - fromRight, rc.bottom - fromBottom};
        ClientToScreen(page->Grid().Handle(), &at);
        return at;
    }
    // A click of the mouse in a cell; returns when `done` holds, or after a while.
    void Click(TGridCell cell, int fromRight, int fromBottom, const std::function<bool()>& done = {}) {
        ClickAt(CellPoint(cell, fromRight, fromBottom));
        test::PumpUntil(
            done ? done : [] { return false; }, done ? 10000 : 300);
    }
    void CloseHostByAltF4() {
        const HWND window = host.Handle();
        SetForegroundWindow(window);
        SetFocus(page->KeywordBox().Handle());
        test::PressChord(VK_MENU, VK_F4);
        ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(window); }, 3000));
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
    std::vector<HWND> owners;
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
    ShowHost();

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

    // The gear, clicked with the mouse.
    Click({0, 1}, 10, 5, [&] { return !messages.empty(); });
    const std::string cached = PictureCacheName(server.Url("/full/1.png"), codePage);
    EXPECT_EQ(TempBitmaps(), std::vector<std::string>{cached});
    const std::string copy = win + "\\WallpaperTemp.bmp";
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(copy, bytes));
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(Picture::FromFile(copy).Width(), 64);
    EXPECT_EQ(SystemWallpaper(), copy);
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
    ShowHost();
    Search();
    ASSERT_TRUE(WaitForThumbnails());
    for (size_t i = 0; i < std::size(cases); ++i) {
        messages.clear();
        const auto start = Clock::now();
        Click({0, static_cast<int>(i)}, 30, 5, [&] { return !messages.empty(); });
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
    ShowHost();
    Search();
    ASSERT_TRUE(WaitForThumbnails());
    static std::unique_ptr<TFrmWallpaper>* current = nullptr;
    current = &page;
    bool progressShown = false;
    static bool* shown = nullptr;
    shown = &progressShown;
    // Runs inside the download's message processing: closes the page once the download shows.
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (*current && (*current)->ProgressVisible()) {
            *shown = true;
            current->reset();
        }
    });
    const auto start = Clock::now();
    Click({0, 0}, 10, 5, [&] { return page == nullptr; });
    KillTimer(nullptr, timer);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 2000);
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(page, nullptr);
    EXPECT_TRUE(messages.empty()) << (messages.empty() ? "" : messages[0].first);
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

TEST_F(WallpaperPageTest, ClosingTheMainWindowDeletesTheFullSizePicturesAndKeepsTheWallpaper) {
    server.SetContent("/thumb.png", test::SolidPicture(20, 20, L"image/png", kRed));
    server.SetContent("/full.png", test::SolidPicture(64, 48, L"image/png", kBlue));
    server.SetContent("/baidu/i", test::BaiduPage({{server.Url("/thumb.png"), server.Url("/full.png")}}));
    ShowHost();
    Search();
    ASSERT_TRUE(WaitForThumbnails());
    Click({0, 0}, 10, 5, [&] { return !messages.empty(); });
    ASSERT_EQ(TempBitmaps().size(), 1u);
    const std::string copy = win + "\\WallpaperTemp.bmp";
    ASSERT_EQ(SystemWallpaper(), copy);

    // Alt+F4: the window tree goes while the page object still stands.
    CloseHostByAltF4();
    EXPECT_TRUE(TempBitmaps().empty());
    EXPECT_TRUE(test::PathExists(copy));
    EXPECT_EQ(SystemWallpaper(), copy);
    page.reset();
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(WallpaperPageTest, ClosingTheMainWindowWhileThumbnailsLoadStopsTheWorkerAndRepaintsNothingElse) {
    server.SetContent("/red.png", test::SolidPicture(200, 150, L"image/png", kRed));
    std::vector<std::pair<std::string, std::string>> slow;
    for (int i = 0; i < 5; ++i)
        slow.push_back({server.Url("/slowbody/4000/red.png"), server.Url("/full.png")});
    server.SetContent("/baidu/i", test::BaiduPage(slow));
    Witness witness;
    ASSERT_TRUE(witness.Create());
    ShowHost();
    Search();
    ASSERT_TRUE(test::PumpUntil([&] { return server.RequestCount("/slowbody/4000/red.png") == 1; }, 3000));
    UpdateWindow(witness.Handle());
    test::PumpFor(100);
    witness.paints = 0;

    CloseHostByAltF4();
    EXPECT_FALSE(page->Grid().WorkerRunning());
    // Long enough for the thumbnails to arrive, had the worker gone on.
    test::PumpFor(4500);
    EXPECT_EQ(witness.paints, 0);
    EXPECT_EQ(server.RequestCount("/slowbody/4000/red.png"), 1);
}

TEST_F(WallpaperPageTest, ThePreviewsSetAppliesThePictureAndSaysSoOverThePreview) {
    server.SetContent("/thumb.png", test::SolidPicture(20, 20, L"image/png", kRed));
    server.SetContent("/full.png", test::SolidPicture(64, 48, L"image/png", kBlue));
    server.SetContent("/baidu/i", test::BaiduPage({{server.Url("/thumb.png"), server.Url("/full.png")}}));
    ShowHost();
    Search();
    ASSERT_TRUE(WaitForThumbnails());

    // Inside the preview's own loop: once it shows, the user clicks its set button.
    static HWND preview = nullptr;
    static bool clicked = false;
    static int ticks = 0;
    preview = nullptr;
    clicked = false;
    ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        const HWND shown = FindWindowW(L"LumaforgeWallpaperView", nullptr);
        // A preview the click did not close goes after a few seconds, so the test ends.
        if (++ticks > 50 && shown)
            PostMessageW(shown, WM_CLOSE, 0, 0);
        if (clicked || !shown || !IsWindowVisible(shown))
            return;
        preview = shown;
        clicked = true;
        // The set button: 48 pixels square, 6 from the top, its left edge 102 from the right.
        RECT client;
        GetClientRect(shown, &client);
        POINT setButton{client.right - 102 + 24, 6 + 24};
        ClientToScreen(shown, &setButton);
        ClickAt(setButton);
    });
    Click({0, 0}, 33, 9, [&] { return clicked && !IsWindow(preview); });
    KillTimer(nullptr, timer);
    ASSERT_TRUE(clicked);
    EXPECT_FALSE(IsWindow(preview));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], std::make_pair(std::string("Set desktop wallpaper successfully."), mkInformation));
    EXPECT_EQ(owners[0], preview);
    const std::string copy = win + "\\WallpaperTemp.bmp";
    EXPECT_EQ(SystemWallpaper(), copy);
    EXPECT_EQ(Picture::FromFile(copy).Width(), 64);
    EXPECT_TRUE(page->Grid().Item({0, 0})->Downloaded);
}

TEST_F(WallpaperPageTest, ErrorsWhileAPictureComesHideTheProgressAndLeaveThePageServing) {
    server.SetContent("/thumb.png", test::SolidPicture(20, 20, L"image/png", kRed));
    server.SetContent("/full.png", test::SolidPicture(64, 48, L"image/png", kBlue));
    server.SetContent("/baidu/i", test::BaiduPage({{server.Url("/thumb.png"), server.Url("/full.png")}}));
    const struct {
        const char* name;
        bool exhausted;   // the memory runs out while the picture arrives
        bool tempIsFile;  // the picture cannot be saved
    } cases[] = {{"out of memory", true, false}, {"unsaveable", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool failing = c.exhausted;
        MakePage("/baidu/", [&failing](const std::string& referer, const std::string& accept) {
            // Only the full-size picture's transfer, which is sent with its own address as Referer.
            if (failing && referer.find("/full.png") != std::string::npos)
                return std::unique_ptr<HttpClient>(std::make_unique<ExhaustedClient>());
            return WinHttpClients()(referer, accept);
        });
        if (c.tempIsFile) {
            RemoveDirectoryW(ToWide(app + "temp").c_str());  // emptied when the page before went
            ASSERT_TRUE(WriteWholeFile(app + "temp", "a file where the folder goes"));
        }
        ShowHost();
        Search();
        ASSERT_TRUE(WaitForThumbnails());
        messages.clear();
        Click({0, 0}, 10, 5, [&] { return !messages.empty() || !host.errors.empty(); });
        EXPECT_EQ(host.errors, std::vector<std::string>{});
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0],
                  std::make_pair("Cannot download the path of \"" + server.Url("/full.png") + "\" image.", mkError));
        EXPECT_FALSE(page->ProgressVisible());
        EXPECT_FALSE(page->ProgressAnimation().Loading());
        EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));

        // The next click is served (after the double-click time, so it is a click of its own).
        test::PumpFor(GetDoubleClickTime() + 100);
        failing = false;
        DeleteFileW(ToWide(app + "temp").c_str());
        messages.clear();
        Click({0, 0}, 10, 5, [&] { return !messages.empty(); });
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].first, "Set desktop wallpaper successfully.");
        page.reset();
    }
}

TEST_F(WallpaperPageTest, TheProgressPanelPlaysItsAnimationFiveTimesFasterWhileAPictureComes) {
    server.SetContent("/thumb.png", test::SolidPicture(20, 20, L"image/png", kRed));
    server.SetContent("/baidu/i", test::BaiduPage({{server.Url("/thumb.png"), server.Url("/slow/200000/20")}}));
    ShowHost();
    Search();
    ASSERT_TRUE(WaitForThumbnails());
    EXPECT_FALSE(page->ProgressAnimation().Loading());
    static TFrmWallpaper* current = nullptr;
    static std::vector<std::pair<bool, size_t>>* frames = nullptr;
    std::vector<std::pair<bool, size_t>> seen;
    current = page.get();
    frames = &seen;
    const UINT_PTR timer = SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR, DWORD) {
        // From the click's arrival on: the pointer moves there first.
        if (frames->empty() && !current->ProgressAnimation().Loading())
            return;
        frames->push_back({current->ProgressAnimation().Loading(), current->ProgressAnimation().LoadingFrame()});
    });
    Click({0, 0}, 10, 5, [&] { return !messages.empty(); });
    KillTimer(nullptr, timer);
    ASSERT_GE(seen.size(), 3u);
    for (const auto& [loading, frame] : seen)
        EXPECT_TRUE(loading);
    EXPECT_NE(seen.front().second, seen.back().second);
    // The GIF's 80 ms a frame, at five times the speed.
    EXPECT_EQ(page->ProgressAnimation().CurrentFrameDelay(), 16);
    const RECT at = [&] {
        RECT rc;
        GetWindowRect(page->ProgressAnimation().Handle(), &rc);
        MapWindowPoints(nullptr, GetParent(page->ProgressAnimation().Handle()), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }();
    EXPECT_EQ(at.left, 28);
    EXPECT_EQ(at.top, 28);
    EXPECT_EQ(at.right - at.left, 32);
    EXPECT_FALSE(page->ProgressAnimation().Loading());
    EXPECT_FALSE(page->ProgressVisible());
}

TEST_F(WallpaperPageTest, NoWallpaperFoundGivesTheKeywordBoxTheFocus) {
    MakePage("/empty/");
    server.SetContent("/empty/i", "");
    ShowHost();
    const HWND baidu = page->EngineButton(seBaidu).Handle();
    ClickAt(CentreOf(baidu));
    ASSERT_TRUE(test::PumpUntil([&] { return !messages.empty(); }, 5000));
    EXPECT_EQ(messages[0], std::make_pair(std::string("No wallpaper found."), mkInformation));
    EXPECT_EQ(owners[0], page->Handle());
    const HWND keyword = page->KeywordBox().Handle();
    EXPECT_TRUE(GetFocus() == keyword || IsChild(keyword, GetFocus()));
}

TEST_F(WallpaperPageTest, LeftAltAndCtrlWithTheClickSaveTheResultPageToTheDesktopInLines) {
    const std::string desktop = GetSpecialFolder(CSIDL_DESKTOPDIRECTORY);
    ASSERT_FALSE(desktop.empty());
    ASSERT_TRUE(CreateFolderPath(desktop));
    const std::string dump = desktop + "\\BaiduResult.txt";
    DeleteFileW(ToWide(dump).c_str());
    // A markup page without a result count: nothing found, so the page is saved.
    server.SetContent("/baidu/i", "<html>\nfirst\rsecond\r\nthird</html>");
    ShowHost();
    // Wine takes the keys' state from the X server when the pointer first enters the window, which
    // knows nothing of keys held by SendInput: the pointer arrives before the keys go down.
    const HWND baidu = page->EngineButton(seBaidu).Handle();
    RECT button;
    GetClientRect(baidu, &button);
    test::MoveMouseTo(baidu, {button.right / 2, button.bottom / 2});
    test::PumpFor(300);
    const auto searchHoldingAltAndCtrl = [&] {
        messages.clear();
        test::HoldKeys({VK_LMENU, VK_CONTROL});
        ClickAt(CentreOf(page->EngineButton(seBaidu).Handle()));
        test::PumpUntil([&] { return !messages.empty(); }, 5000);
        test::ReleaseKeys({VK_LMENU, VK_CONTROL});
        test::PumpFor(100);
    };
    searchHoldingAltAndCtrl();
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(dump, saved));
    EXPECT_EQ(saved, "<html>\r\nfirst\r\nsecond\r\nthird</html>\r\n");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first,
              "Saved search result to desktop file \"BaiduResult.txt\"\r\n\r\nPlease send the file to "
              "E-mail: " +
                  std::string(config::kSupportEmail) +
                  "We will analyze the data to improve our program.\r\n\r\nThanks for your support");
    EXPECT_EQ(messages[0].second, mkInformation);

    // A file that cannot be written is an error, not "No wallpaper found.".
    ASSERT_TRUE(DeleteFileW(ToWide(dump).c_str()));
    ASSERT_TRUE(CreateFolderPath(dump));
    searchHoldingAltAndCtrl();
    RemoveDirectoryW(ToWide(dump).c_str());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], std::make_pair("Cannot create file \"" + dump + "\".", mkError));

    // Without the keys the same page is only reported.
    messages.clear();
    ClickAt(CentreOf(page->EngineButton(seBaidu).Handle()));
    ASSERT_TRUE(test::PumpUntil([&] { return !messages.empty(); }, 5000));
    EXPECT_EQ(messages[0].first, "No wallpaper found.");
    EXPECT_FALSE(test::PathExists(dump));
}

TEST_F(WallpaperPageTest, RestoreMessageBringsTheMinimisedProgramBack) {
    ShowHost();
    ShowWindow(host.Handle(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(host.Handle()));
    SendMessageW(page->Handle(), WM_RESTOREMAIN, 0, 0);
    EXPECT_FALSE(IsIconic(host.Handle()));
    EXPECT_TRUE(IsWindowVisible(host.Handle()));
}

// The page-number browser hands its navigations to the page: its generated documents load, its links
// become requests of their result page and never navigate.
TEST_F(WallpaperPageTest, ThePageBarsNavigationsBecomeResultPageRequests) {
    std::vector<std::pair<std::string, std::string>> results;
    for (int i = 0; i < 15; ++i)
        results.push_back({server.Url("/thumb.png"), server.Url("/full.png")});
    server.SetContent("/thumb.png", test::SolidPicture(20, 20, L"image/png", kRed));
    server.SetContent("/baidu/i", test::BaiduPage(results, 75));
    Search();
    ASSERT_EQ(server.Targets("/baidu/i").size(), 1u);
    const std::string first = server.Targets("/baidu/i")[0];
    size_t before = 1;
    // The result pages asked for since the last look.
    const auto requested = [&] {
        const std::vector<std::string> all = server.Targets("/baidu/i");
        std::vector<std::string> recent(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
        before = all.size();
        return recent;
    };

    const struct {
        const wchar_t* target;
        bool cancelled;
        const char* request;  // what follows the first page's request; nothing: no request
    } cases[] = {
        {L"about:blank", false, nullptr}, {L"ABOUT:BLANK", false, nullptr}, {L"about:blank5", true, "&pn=60"},
        {L"about:5", true, "&pn=60"},     {L"2", true, "&pn=15"},           {L"about:blankx", true, "&pn=0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.target));
        TBrowserEventHandlers handlers;
        handlers.beforeNavigate = [&](const std::wstring& url) { return page->PageBarNavigating(ToUtf8(url)); };
        ComPtr<IDispatch> sink = MakeBrowserEventSink(handlers);
        test::BeforeNavigateArgs args(c.target);
        test::Fire(sink.Get(), test::kBeforeNavigate2, args.params);
        EXPECT_EQ(args.cancel == VARIANT_TRUE, c.cancelled);
        EXPECT_EQ(requested(), c.request ? std::vector<std::string>{first + c.request} : std::vector<std::string>{});
    }

    // Through the browser control itself, as the program hosts it in the page's bar.
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    {
        TWebBrowser browser;
        ASSERT_TRUE(browser.Create(page->PageBarPanel().Handle(), page->PageBarPanel().ClientRect()));
        browser.onBeforeNavigate = [&](const std::string& url) { return page->PageBarNavigating(url); };
        browser.Navigate("about:blank3");
        test::PumpFor(300);
        EXPECT_EQ(requested(), std::vector<std::string>{first + "&pn=30"});
    }
    OleUninitialize();

    // Before any search a link does nothing.
    MakePage("/baidu/");
    EXPECT_TRUE(page->PageBarNavigating("about:blank3"));
    EXPECT_TRUE(requested().empty());
}

}  // namespace
}  // namespace lumaforge
