#include <objidl.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/image_button_win.h"
#include "controls/img_button_win.h"
#include "controls/paint_panel_win.h"
#include "support/picture_maker_win.h"
#include "support/real_input_win.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

// A visible top-level window holding a drawn panel with the program's page background, the
// buttons under test on it.
class DrawnControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureCommonControls();
        host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        panel.Create(host, {0, 0, 400, 300});
        panel.SetPicture(ResourcePicture(L"TOOLS_BACK_BMP"));
        panel.SetStretch(hstMiddle, vstCenter);
        manager.SetImageBorder(ResourcePicture(L"NAV_BORDER_BMP"));
    }
    void TearDown() override {
        buttons.clear();
        DestroyWindow(host);
        test::PumpPending();
    }

    TImageCheckButton& AddCheck(int y, const std::wstring& caption = L"Page") {
        auto button = std::make_unique<TImageCheckButton>();
        button->Create(panel.Handle(), {7, y, 7 + 118, y + 38}, caption, nullptr, 0);
        button->SetImageManager(&manager);
        TImageCheckButton& ref = *button;
        buttons.push_back(std::move(button));
        return ref;
    }

    // What the control draws, read back at a point of its stretched middle.
    static COLORREF Drawn(PaintedWindow& control, int x, int y) {
        RECT client = control.ClientRect();
        test::Canvas canvas(client.right, client.bottom, RGB(1, 2, 3));
        SendMessageW(control.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
        return canvas.At(x, y);
    }

    // The strip's own pixel: frame `frame` of five, at a point of the frame.
    static COLORREF StripPixel(const Picture& strip, int frame, int x, int y) {
        Gdiplus::Color c;
        strip.Frame(0)->GetPixel(frame * strip.Width() / 5 + x, y, &c);
        return RGB(c.GetR(), c.GetG(), c.GetB());
    }

    HWND host = nullptr;
    TPaintPanel panel;
    TImageManager manager;
    std::vector<std::unique_ptr<TImageCtrl>> buttons;
};

TEST_F(DrawnControlsTest, EachStateDrawsItsFrameOfTheBorderStrip) {
    TImageCheckButton& button = AddCheck(20);
    const Picture& strip = *manager.ImageBorder();
    // The middle of a 118 x 38 button shows the frame's stretched columns 9-10 and rows 16-17;
    // the corner its unscaled corner pixel.
    auto expectFrame = [&](int frame) {
        SCOPED_TRACE(frame);
        EXPECT_EQ(Drawn(button, 60, 19), StripPixel(strip, frame, 9, 16));
        EXPECT_EQ(Drawn(button, 2, 2), StripPixel(strip, frame, 2, 2));
        EXPECT_EQ(Drawn(button, 115, 35), StripPixel(strip, frame, 17, 31));
    };
    expectFrame(istNormal);
    SendMessageW(button.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(button.State(), istHot);
    expectFrame(istHot);
    SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    expectFrame(istDown);
    SendMessageW(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(button.Checked());
    expectFrame(istChecked);
    button.SetEnabled(false);
    expectFrame(istDisabled);
    // The frames differ where the test looks, so the checks above tell the states apart.
    EXPECT_NE(StripPixel(strip, istHot, 9, 16), StripPixel(strip, istNormal, 9, 16));
    EXPECT_NE(StripPixel(strip, istDown, 9, 16), StripPixel(strip, istHot, 9, 16));
    EXPECT_NE(StripPixel(strip, istChecked, 9, 16), StripPixel(strip, istDown, 9, 16));
}

TEST_F(DrawnControlsTest, SeeThroughPixelsShowTheParentsBackground) {
    auto button = std::make_unique<TImageButton>();
    button->Create(panel.Handle(), {50, 50, 71, 69}, L"", nullptr, 0);
    button->SetImageBorder(ResourcePicture(L"SMALL_BORDER_PNG"));
    // The resting frame is nearly invisible: the panel's colour shows with at most a faint tint.
    const COLORREF under = Drawn(panel, 60, 59);
    const COLORREF drawn = Drawn(*button, 10, 9);
    EXPECT_NEAR(GetRValue(drawn), GetRValue(under), 16);
    EXPECT_NEAR(GetGValue(drawn), GetGValue(under), 16);
    EXPECT_NEAR(GetBValue(drawn), GetBValue(under), 16);
    buttons.push_back(std::move(button));
}

TEST_F(DrawnControlsTest, ClickingAnUncheckedButtonRunsOnClickThenUnchecksTheOtherAndChecksItself) {
    TImageCheckButton& first = AddCheck(20);
    TImageCheckButton& second = AddCheck(70);
    TImageCheckButton& otherGroup = AddCheck(120);
    otherGroup.SetCheckGroup(1);
    otherGroup.SetChecked(true);
    first.SetChecked(true);
    std::vector<std::string> events;
    second.onClick = [&] { events.push_back(second.Checked() ? "click checked" : "click unchecked"); };
    second.onCheckChanged = [&](TImageCheckButton& sender) {
        events.push_back(&sender == &first ? "changed first" : &sender == &second ? "changed second" : "other");
    };
    SendMessageW(second.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(second.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(events, (std::vector<std::string>{"click unchecked", "changed first", "changed second"}));
    EXPECT_FALSE(first.Checked());
    EXPECT_EQ(first.State(), istNormal);
    EXPECT_TRUE(otherGroup.Checked());

    // An already checked button only reports the click.
    events.clear();
    SendMessageW(second.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(second.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(events, (std::vector<std::string>{"click checked"}));
}

TEST_F(DrawnControlsTest, APushButtonClicksOnlyWhenReleasedOverItAndSeesItsDownFrame) {
    auto owned = std::make_unique<TImageButton>();
    TImageButton& button = *owned;
    buttons.push_back(std::move(owned));
    button.Create(panel.Handle(), {10, 10, 31, 29}, L"", nullptr, 0);
    button.SetImageManager(&manager);
    std::vector<TImageState> seen;
    button.onClick = [&] { seen.push_back(button.State()); };
    SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    // Dragged off: the down frame stays until the release, which then clicks nothing.
    SendMessageW(button.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 200));
    EXPECT_EQ(button.State(), istDown);
    SendMessageW(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(button.State(), istNormal);

    SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(seen, (std::vector<TImageState>{istDown}));
    EXPECT_EQ(button.State(), istHot);
}

TEST_F(DrawnControlsTest, KeyboardArrowsBetweenCheckButtonsAndSpaceEnterAndAccessKeysClick) {
    SetWindowLongPtrW(panel.Handle(), GWL_EXSTYLE,
                      GetWindowLongPtrW(panel.Handle(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    TImageCheckButton& first = AddCheck(20, L"&Alpha");
    TImageCheckButton& second = AddCheck(70, L"&Beta");
    int clicks = 0;
    second.onClick = [&] { ++clicks; };
    SetForegroundWindow(host);
    SetFocus(first.Handle());
    auto key = [&](WORD vk, bool alt = false) {
        if (alt)
            test::PressChord(VK_MENU, vk);
        else
            test::PressKeys({vk});
        const ULONGLONG end = GetTickCount64() + 300;
        while (GetTickCount64() < end) {
            MSG msg;
            if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                Sleep(5);
                continue;
            }
            if (!IsDialogMessageW(host, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    };
    if (GetFocus() != first.Handle())
        GTEST_SKIP() << "the test window did not get the keyboard focus";
    // A check group is one Tab stop, its checked button (each while none is); the arrows move inside it.
    EXPECT_TRUE(GetWindowLongPtrW(first.Handle(), GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongPtrW(second.Handle(), GWL_STYLE) & WS_TABSTOP);
    key(VK_DOWN);
    EXPECT_EQ(GetFocus(), second.Handle());
    key(VK_SPACE);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(second.Checked());
    EXPECT_FALSE(GetWindowLongPtrW(first.Handle(), GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongPtrW(second.Handle(), GWL_STYLE) & WS_TABSTOP);
    key(VK_RETURN);
    EXPECT_EQ(clicks, 2);
    SetFocus(first.Handle());
    key('B', true);
    EXPECT_EQ(clicks, 3);
}

TEST_F(DrawnControlsTest, FilterBarStretchesItsColumnAcrossAndKeepsTheBottomLine) {
    TPaintPanel bar;
    bar.Create(panel.Handle(), {0, 0, 227, 20});
    const std::string bmp =
        test::EncodePicture(1, 2, L"image/bmp", [](int, int y) { return y == 0 ? 0xFFFFFFFFu : 0xFFF0E6EBu; });
    bar.SetPicture(std::make_shared<const Picture>(Picture::FromMemory(bmp)));
    bar.SetStretch(hstRight, vstTop);
    for (int x : {0, 100, 226}) {
        EXPECT_EQ(Drawn(bar, x, 0), RGB(255, 255, 255));
        EXPECT_EQ(Drawn(bar, x, 18), RGB(255, 255, 255));
        EXPECT_EQ(Drawn(bar, x, 19), RGB(0xF0, 0xE6, 0xEB));
    }
}

TEST_F(DrawnControlsTest, CustomSplitStretchesOnlyTheColumnAtTheSplit) {
    TPaintPanel box;
    box.Create(panel.Handle(), {0, 0, 100, 10});
    // Column c has the red value 10 c.
    const std::string bmp =
        test::EncodePicture(16, 1, L"image/bmp", [](int x, int) { return 0xFF000000u | (10u * x) << 16; });
    box.SetPicture(std::make_shared<const Picture>(Picture::FromMemory(bmp)));
    box.SetStretch(hstCustom, vstAll);
    box.SetStretchPoint({5, 0});
    const struct { int x, column; } cases[] = {{0, 0}, {4, 4}, {5, 5}, {60, 5}, {89, 5}, {90, 6}, {99, 15}};
    for (const auto& c : cases)
        EXPECT_EQ(GetRValue(Drawn(box, c.x, 5)), 10 * c.column) << c.x;
}

TEST_F(DrawnControlsTest, BevelOutlinesTheEdgeAndANakedPanelShowsWhatIsUnder) {
    TPaintPanel framed;
    framed.Create(panel.Handle(), {10, 10, 60, 40});
    framed.SetBevel(true, RGB(255, 0, 0), 1);
    EXPECT_EQ(Drawn(framed, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(Drawn(framed, 49, 29), RGB(255, 0, 0));
    EXPECT_EQ(Drawn(framed, 1, 1), RGB(255, 255, 255));
    framed.SetBevel(true, RGB(255, 0, 0), 2);
    // An even width moves the left and top edges in by one.
    EXPECT_EQ(Drawn(framed, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(Drawn(framed, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(Drawn(framed, 2, 2), RGB(255, 0, 0));

    TPaintPanel naked;
    naked.Create(panel.Handle(), {100, 100, 150, 150});
    naked.SetEnabledEraseBkgnd(false);
    EXPECT_EQ(Drawn(naked, 20, 20), Drawn(panel, 120, 120));
}

TEST_F(DrawnControlsTest, AutoWidthWaitsForAPictureAndFollowsEveryLaterOne) {
    TPaintPanel box;
    box.Create(panel.Handle(), {0, 0, 100, 50});
    auto sized = [](int width) {
        return std::make_shared<const Picture>(
            Picture::FromMemory(test::SolidPicture(width, 10, L"image/bmp", 0xFF808080)));
    };
    box.SetAutoWidth(true);
    EXPECT_FALSE(box.AutoWidth());
    box.SetPicture(sized(16));
    EXPECT_EQ(box.ClientRect().right, 100);
    box.SetAutoWidth(true);
    EXPECT_TRUE(box.AutoWidth());
    EXPECT_EQ(box.ClientRect().right, 16);
    EXPECT_EQ(box.ClientRect().bottom, 50);
    box.SetPicture(sized(40));
    EXPECT_EQ(box.ClientRect().right, 40);
}

TEST_F(DrawnControlsTest, PreviewButtonsShowThePictureOfTheirStateAndClickBeforeTheHover) {
    const std::string red = test::SolidPicture(48, 48, L"image/png", 0xFFFF0000);
    const std::string green = test::SolidPicture(48, 48, L"image/png", 0xFF00FF00);
    const std::string blue = test::SolidPicture(48, 48, L"image/png", 0xFF0000FF);
    auto make = [](const std::string& bytes) { return std::make_shared<const Picture>(Picture::FromMemory(bytes)); };
    TImgButton button;
    button.Create(panel.Handle(), {200, 10, 248, 58}, L"", nullptr);
    button.SetPictures({make(red), make(green), make(blue), nullptr});
    button.SetOffsets(0, 0);
    EXPECT_EQ(Drawn(button, 0, 0), RGB(255, 0, 0));
    SendMessageW(button.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    EXPECT_EQ(Drawn(button, 0, 0), RGB(0, 255, 0));
    SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    EXPECT_EQ(Drawn(button, 47, 47), RGB(0, 0, 255));
    int stateAtClick = -1;
    button.onClick = [&] { stateAtClick = button.State(); };
    SendMessageW(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    EXPECT_EQ(stateAtClick, 2);
    EXPECT_EQ(button.State(), 1);

    // Only a normal picture: shown in every state, moved by the default offsets.
    TImgButton plain;
    plain.Create(panel.Handle(), {260, 10, 308, 58}, L"", nullptr);
    const std::string dot =
        test::EncodePicture(8, 8, L"image/png", [](int x, int y) { return x == 0 && y == 0 ? 0xFFFF0000u : 0u; });
    plain.SetPictures({make(dot), nullptr, nullptr, nullptr});
    // The 8 x 8 picture sits centred at (20, 20); hovered one pixel up-left, pressed one down-right.
    EXPECT_EQ(Drawn(plain, 20, 20), RGB(255, 0, 0));
    SendMessageW(plain.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    EXPECT_EQ(Drawn(plain, 19, 19), RGB(255, 0, 0));
    SendMessageW(plain.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    EXPECT_EQ(Drawn(plain, 21, 21), RGB(255, 0, 0));
}

TEST_F(DrawnControlsTest, AManagerChangeReachesItsButtonsAndAGoneManagerLeavesTheirPictures) {
    TImageCheckButton& button = AddCheck(20);
    auto local = std::make_unique<TImageManager>();
    local->SetImageBorder(ResourcePicture(L"TAB_BORDER_PNG"));
    button.SetImageManager(local.get());
    local->SetImageBorder(ResourcePicture(L"NAV_BORDER_BMP"));
    const COLORREF nav = Drawn(button, 60, 19);
    EXPECT_EQ(nav, StripPixel(*manager.ImageBorder(), istNormal, 9, 16));
    local.reset();
    EXPECT_EQ(button.ImageManager(), nullptr);
    EXPECT_EQ(Drawn(button, 60, 19), nav);
}

}  // namespace
}  // namespace lumaforge
