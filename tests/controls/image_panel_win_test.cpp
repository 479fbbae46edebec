#include "controls/image_panel_win.h"

#include <gtest/gtest.h>

#include <string>

#include "base/files_win.h"
#include "base/unicode_win.h"
#include "support/picture_maker_win.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// The animation the program carries, read from the source tree as the program reads its resource.
std::string LoadingGifBytes() {
    const std::string source = __FILE__;
    const std::string root = source.substr(0, source.rfind("/tests/"));
    std::string bytes;
    ReadWholeFile(ToUtf8(test::HostPath((root + "/src/res/loading.gif").c_str())), bytes);
    return bytes;
}

// Colours compared with a little room for the codecs.
bool Near(COLORREF a, COLORREF b) {
    auto close = [](int x, int y) { return std::abs(x - y) <= 8; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}

TEST(FitPictureTest, LargePicturesShrinkToFitAndAllAreCentred) {
    const struct {
        int w, h, panelW, panelH, border;
        FittedPicture expected;
    } cases[] = {
        // The width limits: 379/356 is narrower than 4:3.
        {1600, 1200, 379, 356, 0, {0, 36, 379, 284.25f}},  // y = round(35.875)
        // The height limits.
        {300, 1000, 379, 356, 0, {136, 0, 106.8f, 356}},
        // Small pictures are never enlarged; halves round to even.
        {200, 100, 379, 356, 0, {90, 128, 200, 100}},  // x = round(89.5)
        {203, 100, 380, 356, 0, {88, 128, 203, 100}},  // x = round(88.5)
        {379, 356, 379, 356, 0, {0, 0, 379, 356}},
        // The border space is kept free, half on each side.
        {1600, 1200, 379, 356, 10, {5, 40, 369, 276.75f}},  // y = round(34.625 + 5)
        // Between the panel and the box less its border: shrunk into the box too.
        {375, 100, 379, 356, 10, {5, 129, 369, 98.4f}},
        // Nothing to draw.
        {0, 0, 379, 356, 0, {0, 0, 0, 0}},
        {100, 100, 10, 10, 10, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " border " + std::to_string(c.border));
        const FittedPicture fit = FitPicture(c.w, c.h, c.panelW, c.panelH, c.border);
        EXPECT_FLOAT_EQ(fit.x, c.expected.x);
        EXPECT_FLOAT_EQ(fit.y, c.expected.y);
        EXPECT_NEAR(fit.width, c.expected.width, 0.01);
        EXPECT_NEAR(fit.height, c.expected.height, 0.01);
    }
}

class PictureTest : public ::testing::Test {
protected:
    GdiplusSession gdiplus;
};

TEST_F(PictureTest, TheLoadingAnimationTurnsOnceInTwelveFramesAroundASeeThroughMiddle) {
    ASSERT_TRUE(gdiplus.Started());
    const Picture gif = Picture::FromMemory(LoadingGifBytes());
    ASSERT_EQ(gif.FrameCount(), 12u);
    EXPECT_EQ(gif.Width(), 40);
    EXPECT_EQ(gif.Height(), 40);
    for (size_t i = 0; i < gif.FrameCount(); ++i)
        EXPECT_EQ(gif.FrameDelay(i), 80) << i;
    // The top dot is the head in frame 0 and pale three quarters of a turn later, when the left
    // one leads; the middle and the corners show whatever is behind.
    const COLORREF accent = RGB(131, 83, 108);
    for (COLORREF behind : {RGB(0, 0, 0), kWhite}) {
        test::Canvas first(40, 40, behind);
        gif.Draw(first.Dc(), 0, 0, 0, 40, 40);
        EXPECT_TRUE(Near(first.At(20, 6), accent));
        EXPECT_EQ(first.At(20, 20), behind);
        EXPECT_EQ(first.At(0, 0), behind);
        test::Canvas later(40, 40, behind);
        gif.Draw(later.Dc(), 9, 0, 0, 40, 40);
        EXPECT_TRUE(Near(later.At(20, 6), RGB(255, 217, 206)));
        EXPECT_TRUE(Near(later.At(6, 20), accent));
        EXPECT_EQ(later.At(0, 0), behind);
    }
}

TEST_F(PictureTest, PicturesOfEveryFormatDecodeAndOthersComeOutEmpty) {
    // (GIF is the loading animation's test: the imaging service of Wine cannot write one.)
    for (const wchar_t* type : {L"image/jpeg", L"image/png", L"image/bmp"}) {
        const Picture picture = Picture::FromMemory(test::SolidPicture(30, 20, type, 0xFF0000FF));
        ASSERT_FALSE(picture.Empty()) << ToUtf8(type);
        EXPECT_EQ(picture.Width(), 30);
        EXPECT_EQ(picture.Height(), 20);
        EXPECT_EQ(picture.FrameCount(), 1u);
        test::Canvas canvas(30, 20, kWhite);
        picture.Draw(canvas.Dc(), 0, 0, 0, 30, 20);
        EXPECT_TRUE(Near(canvas.At(15, 10), kBlue)) << ToUtf8(type);
    }
    EXPECT_TRUE(Picture::FromMemory("not a picture at all").Empty());
    EXPECT_TRUE(Picture::FromMemory({}).Empty());
    EXPECT_TRUE(Picture::FromFile("C:\\no\\such\\picture.jpg").Empty());
}

TEST_F(PictureTest, APictureHoldsNoFileOpen) {
    test::TempFolder folder;
    const std::string file = ToUtf8(folder.Path()) + "held.png";
    ASSERT_TRUE(WriteWholeFile(file, test::SolidPicture(8, 8, L"image/png", 0xFFFF0000)));
    const Picture picture = Picture::FromFile(file);
    ASSERT_FALSE(picture.Empty());
    EXPECT_TRUE(DeleteFileUtf8(file));
}

TEST(ResourceBytesTest, AResourceOfTheModuleOrNothing) {
    const std::string_view manifest = ResourceBytes(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), RT_MANIFEST);
    EXPECT_NE(manifest.find("requireAdministrator"), std::string_view::npos);
    EXPECT_TRUE(ResourceBytes(GetModuleHandleW(nullptr), L"NO_SUCH_RESOURCE").empty());
}

// A panel of the preview boxes' size in a bare parent window.
class ImagePanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(panel.Create(host, {0, 0, 379, 356}));
    }
    void TearDown() override {
        DestroyWindow(panel.Handle());
        DestroyWindow(host);
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string file = ToUtf8(folder.Path()) + name;
        WriteWholeFile(file, bytes);
        return file;
    }
    // What the panel paints, in a canvas of its size.
    std::unique_ptr<test::Canvas> Rendered() {
        const RECT client = panel.ClientRect();
        auto canvas = std::make_unique<test::Canvas>(client.right, client.bottom, RGB(1, 2, 3));
        SendMessageW(panel.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->Dc()), PRF_CLIENT);
        return canvas;
    }

    GdiplusSession gdiplus;
    test::TempFolder folder;
    HWND host = nullptr;
    TImagePanel panel{gdiplus};
};

TEST_F(ImagePanelTest, ALargePictureIsScaledToFitAndASmallOneCentredUnscaled) {
    panel.LoadImageFile(Write("large.jpg", test::SolidPicture(1600, 1200, L"image/jpeg", 0xFFFF0000)));
    auto large = Rendered();
    // Drawn 379 x 284.25 at (0, 36).
    EXPECT_EQ(large->At(189, 30), kWhite);
    EXPECT_TRUE(Near(large->At(189, 40), kRed));
    EXPECT_TRUE(Near(large->At(2, 180), kRed));
    EXPECT_TRUE(Near(large->At(376, 180), kRed));
    EXPECT_TRUE(Near(large->At(189, 316), kRed));
    EXPECT_EQ(large->At(189, 325), kWhite);

    panel.LoadImageFile(Write("small.png", test::SolidPicture(200, 100, L"image/png", 0xFF0000FF)));
    auto small = Rendered();
    // Drawn 200 x 100 at (90, 128).
    EXPECT_EQ(small->At(89, 170), kWhite);
    EXPECT_EQ(small->At(90, 170), kBlue);
    EXPECT_EQ(small->At(289, 170), kBlue);
    EXPECT_EQ(small->At(290, 170), kWhite);
    EXPECT_EQ(small->At(189, 127), kWhite);
    EXPECT_EQ(small->At(189, 128), kBlue);
    EXPECT_EQ(small->At(189, 227), kBlue);
    EXPECT_EQ(small->At(189, 228), kWhite);
}

TEST_F(ImagePanelTest, AMissingOrBrokenFileOrAnEmptyNameLeavesThePanelEmpty) {
    const std::string picture = Write("p.png", test::SolidPicture(50, 50, L"image/png", 0xFF0000FF));
    const std::string broken = Write("broken.jpg", "no picture");
    for (const std::string& file : {ToUtf8(folder.Path()) + "missing.jpg", broken, std::string()}) {
        SCOPED_TRACE(file);
        panel.LoadImageFile(picture);
        ASSERT_FALSE(panel.CurrentPicture().Empty());
        panel.LoadImageFile(file);
        EXPECT_TRUE(panel.CurrentPicture().Empty());
        EXPECT_EQ(Rendered()->At(189, 178), kWhite);
    }
}

TEST_F(ImagePanelTest, TheSameNameLoadsOnceUntilLoadingStartsOrStops) {
    const std::string file = Write("same.png", test::SolidPicture(50, 50, L"image/png", 0xFFFF0000));
    panel.LoadImageFile(file);
    Write("same.png", test::SolidPicture(50, 50, L"image/png", 0xFF0000FF));
    panel.LoadImageFile(file);
    EXPECT_EQ(Rendered()->At(189, 178), kRed);
    panel.StopLoading();
    panel.LoadImageFile(file);
    EXPECT_EQ(Rendered()->At(189, 178), kBlue);
    Write("same.png", test::SolidPicture(50, 50, L"image/png", 0xFFFF0000));
    panel.StartLoading();
    panel.LoadImageFile(file);
    EXPECT_EQ(Rendered()->At(189, 178), kRed);
}

TEST_F(ImagePanelTest, LoadingClearsThePictureAndAnimatesInTheMiddleUntilStopped) {
    panel.SetLoadingGif(std::make_shared<const Picture>(Picture::FromMemory(LoadingGifBytes())));
    panel.LoadImageFile(Write("p.png", test::SolidPicture(300, 300, L"image/png", 0xFF0000FF)));
    panel.StartLoading();
    EXPECT_TRUE(panel.Loading());
    EXPECT_TRUE(panel.CurrentPicture().Empty());
    EXPECT_TRUE(panel.FileName().empty());
    const RECT at = panel.LoadingRect();
    EXPECT_EQ(at.left, (379 - 40) / 2);
    EXPECT_EQ(at.top, (356 - 40) / 2);
    auto painted = Rendered();
    EXPECT_TRUE(Near(painted->At(at.left + 20, at.top + 6), RGB(131, 83, 108)));
    EXPECT_EQ(painted->At(at.left + 20, at.top + 20), kWhite);
    EXPECT_EQ(painted->At(10, 10), kWhite);

    // About 80 ms a frame.
    ASSERT_TRUE(test::PumpUntil([&] { return panel.LoadingFrame() >= 3; }, 2000));
    // A resize keeps the animation in the middle.
    panel.SetBounds(0, 0, 200, 100);
    EXPECT_EQ(panel.LoadingRect().left, 80);
    EXPECT_EQ(panel.LoadingRect().top, 30);

    panel.StopLoading();
    EXPECT_FALSE(panel.Loading());
    const size_t stoppedAt = panel.LoadingFrame();
    test::PumpFor(300);
    EXPECT_EQ(panel.LoadingFrame(), stoppedAt);
    EXPECT_EQ(Rendered()->At(100, 36), kWhite);
}

TEST_F(ImagePanelTest, WithoutAnAnimationLoadingOnlyClearsThePicture) {
    panel.LoadImageFile(Write("p.png", test::SolidPicture(300, 300, L"image/png", 0xFF0000FF)));
    panel.StartLoading();
    EXPECT_FALSE(panel.Loading());
    EXPECT_TRUE(panel.CurrentPicture().Empty());
    EXPECT_EQ(Rendered()->At(189, 178), kWhite);
}

TEST_F(ImagePanelTest, TheFrameIsDrawnOverTheEdge) {
    panel.SetFrame(RGB(255, 217, 206));
    panel.LoadImageFile(Write("large.png", test::SolidPicture(800, 800, L"image/png", 0xFF0000FF)));
    auto painted = Rendered();
    // Drawn 356 x 356 at (12, 0).
    EXPECT_EQ(painted->At(189, 0), RGB(255, 217, 206));
    EXPECT_EQ(painted->At(189, 1), kBlue);
    EXPECT_EQ(painted->At(0, 178), RGB(255, 217, 206));
    EXPECT_EQ(painted->At(5, 178), kWhite);
}

TEST(LoadingGifTest, TheProgramCarriesIt) {
    EXPECT_EQ(ResourceBytes(GetModuleHandleW(nullptr), L"LOADING_GIF"), LoadingGifBytes());
}

}  // namespace
}  // namespace lumaforge
