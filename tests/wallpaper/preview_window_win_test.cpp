#include "wallpaper/preview_window_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/unicode_win.h"
#include "support/picture_maker_win.h"
#include "support/real_input_win.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

class OwnerWindow {
public:
    OwnerWindow() {
        hwnd_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~OwnerWindow() { DestroyWindow(hwnd_); }
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_;
};

class PreviewWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gdiplus_.Started());
        // Left half red, right half blue: shows the picture stretched over the whole window.
        const std::string bmp =
            test::EncodePicture(40, 20, L"image/bmp", [](int x, int) { return x < 20 ? 0xFFFF0000u : 0xFF0000FFu; });
        ASSERT_FALSE(bmp.empty());
        folder_.WriteFile(L"picture.bmp", bmp);
        folder_.WriteFile(L"broken.bmp", "not a picture");
        picture_ = ToUtf8(folder_.Path() + L"picture.bmp");
    }

    // A preview of the test picture, created over the owner and still hidden.
    void Open(TFrmView& view) {
        ASSERT_TRUE(view.Load(picture_));
        ASSERT_TRUE(view.Create(owner_.Get(), {L"Set", L"Close"}, nullptr));
        view.onSet = [this](const std::string& path, HWND owner) {
            sets_.push_back(path);
            setOwners_.push_back(owner);
        };
    }

    GdiplusSession gdiplus_;
    test::TempFolder folder_;
    OwnerWindow owner_;
    std::string picture_;
    std::vector<std::string> sets_;
    std::vector<HWND> setOwners_;
};

TEST_F(PreviewWindowTest, LoadsPicturesAndRefusesWhatIsNone) {
    TFrmView view(gdiplus_);
    EXPECT_FALSE(view.Load(ToUtf8(folder_.Path() + L"broken.bmp")));
    EXPECT_FALSE(view.Load(ToUtf8(folder_.Path() + L"missing.bmp")));
    EXPECT_TRUE(view.Image().Empty());
    EXPECT_TRUE(view.Load(picture_));
    EXPECT_EQ(view.Path(), picture_);
    EXPECT_EQ(view.Image().Width(), 40);
}

TEST_F(PreviewWindowTest, CoversTheScreenOnTopWithTheButtonsInTheTopRightCorner) {
    TFrmView view(gdiplus_);
    Open(view);
    view.Show();
    test::PumpPending();
    ASSERT_TRUE(IsWindowVisible(view.Handle()));
    EXPECT_TRUE(GetWindowLongW(view.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongW(view.Handle(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    RECT window{};
    GetWindowRect(view.Handle(), &window);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.right, width);
    EXPECT_EQ(window.bottom, GetSystemMetrics(SM_CYSCREEN));

    auto placeOf = [&](const TImgButton& button) {
        RECT rc{};
        GetWindowRect(button.Handle(), &rc);
        MapWindowPoints(nullptr, view.Handle(), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    };
    const RECT set = placeOf(view.SetButton());
    const RECT close = placeOf(view.CloseButton());
    EXPECT_EQ(set.left, width - 102);
    EXPECT_EQ(close.left, width - 54);
    for (const RECT& rc : {set, close}) {
        EXPECT_EQ(rc.top, 6);
        EXPECT_EQ(rc.right - rc.left, 48);
        EXPECT_EQ(rc.bottom - rc.top, 48);
    }

    // The picture fills the window, its proportions not kept.
    const RECT client = view.ClientRect();
    test::Canvas canvas(client.right, client.bottom, RGB(0, 255, 0));
    view.Paint(canvas.Dc(), client);
    EXPECT_EQ(canvas.At(client.right / 4, client.bottom / 2), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(client.right * 3 / 4, client.bottom / 2), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(client.right / 4, client.bottom * 7 / 8), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(client.right * 3 / 4, client.bottom / 8), RGB(0, 0, 255));
}

TEST_F(PreviewWindowTest, SetHandsThePictureToThePageThenCloses) {
    TFrmView view(gdiplus_);
    Open(view);
    const HWND window = view.Handle();
    PostMessageW(view.SetButton().Handle(), BM_CLICK, 0, 0);
    view.ShowModal();
    EXPECT_TRUE(view.Closed());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(sets_, std::vector<std::string>{picture_});
    // The page's messages about it belong over the preview.
    EXPECT_EQ(setOwners_, std::vector<HWND>{window});
    EXPECT_TRUE(IsWindowEnabled(owner_.Get()));
}

TEST_F(PreviewWindowTest, EscDoubleClickAndCloseCloseWithoutSetting) {
    const struct {
        const char* name;
        std::function<void(TFrmView&)> post;
    } closers[] = {
        {"close button", [](TFrmView& v) { PostMessageW(v.CloseButton().Handle(), BM_CLICK, 0, 0); }},
        {"Esc on the window", [](TFrmView& v) { PostMessageW(v.Handle(), WM_KEYUP, VK_ESCAPE, 0); }},
        // The window sees keys before its controls do.
        {"Esc on a button", [](TFrmView& v) { PostMessageW(v.SetButton().Handle(), WM_KEYUP, VK_ESCAPE, 0); }},
        {"double click", [](TFrmView& v) { PostMessageW(v.Handle(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(200, 200)); }},
        {"system close", [](TFrmView& v) { PostMessageW(v.Handle(), WM_CLOSE, 0, 0); }},
    };
    for (const auto& c : closers) {
        SCOPED_TRACE(c.name);
        TFrmView view(gdiplus_);
        Open(view);
        c.post(view);
        view.ShowModal();
        EXPECT_TRUE(view.Closed());
        EXPECT_EQ(view.Handle(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(owner_.Get()));
    }
    EXPECT_TRUE(sets_.empty());
}

TEST_F(PreviewWindowTest, OtherKeysLeaveItOpenAndTheOwnerDisabledWhileModal) {
    TFrmView view(gdiplus_);
    Open(view);
    bool ownerDisabledMeanwhile = false;
    PostMessageW(view.Handle(), WM_KEYUP, VK_RETURN, 0);
    PostMessageW(view.Handle(), WM_KEYUP, 'A', 0);
    // A closer posted behind the keys: the keys did not close it if this is what does.
    view.onSet = [&](const std::string&, HWND) { ownerDisabledMeanwhile = !IsWindowEnabled(owner_.Get()); };
    PostMessageW(view.SetButton().Handle(), BM_CLICK, 0, 0);
    view.ShowModal();
    EXPECT_TRUE(ownerDisabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(owner_.Get()));
}

// Keys typed once the modal loop runs: a thread timer's callback runs inside it.
std::vector<WORD> keysToType;
void CALLBACK TypeKeys(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    for (WORD key : keysToType)
        test::PressKeys({key});
}

TEST_F(PreviewWindowTest, TheKeyboardStartsOnSetTabReachesCloseAndEscapeCloses) {
    const struct {
        std::vector<WORD> keys;
        bool set;
    } cases[] = {
        {{VK_RETURN}, true},
        {{VK_TAB, VK_RETURN}, false},  // Enter on the close button
        {{VK_TAB, VK_TAB, VK_SPACE}, true},
        {{VK_ESCAPE}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "keys " << c.keys.size() << " first " << c.keys[0]);
        sets_.clear();
        TFrmView view(gdiplus_);
        Open(view);
        keysToType = c.keys;
        SetTimer(nullptr, 0, 300, TypeKeys);
        // Whatever the keys did, the view closes in the end; a view the keys left open fails below.
        const UINT_PTR fallback = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR timer, DWORD) {
            KillTimer(nullptr, timer);
            PostMessageW(GetActiveWindow(), WM_CLOSE, 0, 0);
        });
        const ULONGLONG start = GetTickCount64();
        view.ShowModal();
        KillTimer(nullptr, fallback);
        EXPECT_LT(GetTickCount64() - start, 2500u) << "the keys did not close the view";
        EXPECT_TRUE(view.Closed());
        EXPECT_EQ(!sets_.empty(), c.set);
    }
}

}  // namespace
}  // namespace lumaforge
