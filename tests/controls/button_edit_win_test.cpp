#include "controls/button_edit_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/message_loop_win.h"
#include "controls/fonts_win.h"
#include "controls/panel_win.h"
#include "support/picture_maker_win.h"
#include "support/real_input_win.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kHint = RGB(188, 150, 170);
constexpr COLORREF kText = RGB(131, 83, 108);
// One colour per frame of the test strip: normal, hot, pushed, disabled.
constexpr COLORREF kFrames[4] = {RGB(255, 0, 0), RGB(0, 160, 0), RGB(0, 0, 255), RGB(128, 128, 128)};

// A 24-bit .bmp of four 20 x 18 frames, each filled with its colour of kFrames.
std::string FolderStripFile() {
    constexpr int kWidth = 80, kHeight = 18, kStride = kWidth * 3;
    std::string pixels;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const COLORREF c = kFrames[x / 20];
            pixels +=
                {static_cast<char>(GetBValue(c)), static_cast<char>(GetGValue(c)), static_cast<char>(GetRValue(c))};
        }
    auto le = [](uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
        return out;
    };
    const uint32_t size = 14 + 40 + kStride * kHeight;
    return "BM" + le(size, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(kWidth, 4) + le(kHeight, 4) + le(1, 2) +
           le(24, 2) + le(0, 4) + le(kStride * kHeight, 4) + std::string(16, '\0') + pixels;
}

// Text is drawn smoothed, its edges blended into the background: a pixel of it is told by the
// channel that dominates, which blending with white keeps.
enum class Hue { None, Red, Green, Blue };
Hue HueOf(COLORREF c) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    constexpr int kMargin = 24;
    if (r > g + kMargin && r > b + kMargin)
        return Hue::Red;
    if (g > r + kMargin && g > b + kMargin)
        return Hue::Green;
    if (b > r + kMargin && b > g + kMargin)
        return Hue::Blue;
    return Hue::None;
}

bool Near(COLORREF a, COLORREF b, int tolerance = 24) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
               std::abs(GetBValue(a) - GetBValue(b)) <=
           tolerance;
}

RECT ChildBounds(HWND child) {
    RECT rc{};
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

RECT TextRect(HWND edit) {
    RECT rc{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rc));
    return rc;
}

int BarHeight(HWND edit) {
    HDC dc = GetDC(edit);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, L"|", 1, &size);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    return size.cy;
}

// What the window shows on the screen: it paints itself, then its pixels are read back.
class Shot {
public:
    explicit Shot(HWND hwnd) : client_(Client(hwnd)), canvas_(client_.right, client_.bottom, RGB(1, 2, 3)) {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC dc = GetDC(hwnd);
        BitBlt(canvas_.Dc(), 0, 0, client_.right, client_.bottom, dc, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, dc);
    }
    COLORREF At(int x, int y) const { return canvas_.At(x, y); }
    int Width() const { return client_.right; }
    int Height() const { return client_.bottom; }
    // The leftmost column holding a pixel of the hue between the rows, -1 for none.
    int FirstColumnOf(Hue hue, int top, int bottom) const {
        for (int x = 0; x < Width(); ++x)
            for (int y = top; y < bottom; ++y)
                if (HueOf(At(x, y)) == hue)
                    return x;
        return -1;
    }

private:
    static RECT Client(HWND hwnd) {
        RECT rc{};
        GetClientRect(hwnd, &rc);
        return rc;
    }
    RECT client_;
    test::Canvas canvas_;
};

class ButtonEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureCommonControls();
        host = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 60, 60, 420, 120, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        panel.Create(host, {0, 0, 420, 120});
        font = MakeFont(L"Tahoma", -11);
        other.Create(panel.Handle(), {300, 80, 380, 100}, WS_TABSTOP, font.Get(), L"other");
    }

    void TearDown() override {
        ReleaseCapture();
        DestroyWindow(host);
        test::PumpPending();
    }

    // The folder box of the icon page: border, a four-frame picture at the right, 5 and 4 pixels
    // of margin at the right and the bottom.
    ButtonEdit& FolderBox() {
        ButtonEdit::Options options;
        options.border = true;
        box.Create(panel.Handle(), {10, 10, 10 + 269, 10 + 23}, font.Get(), {}, options);
        EditButton& button = box.RightButton();
        EXPECT_TRUE(button.SetImageBytes(FolderStripFile()));
        button.SetAutoWidth(true);
        button.SetMargins({0, 0, 5, 4});
        button.SetVisible(true);
        return box;
    }

    // A list's filter box: no border, white, coloured text and cue, a right button without picture.
    ButtonEdit& FilterBox() {
        box.Create(panel.Handle(), {10, 10, 10 + 229, 10 + 21}, font.Get());
        box.SetTextColor(kText);
        box.SetHintColor(kHint);
        box.SetBackgroundColor(kWhite);
        box.SetHintText(L"Input the keyword to filter");
        box.RightButton().SetAutoWidth(true);
        box.RightButton().SetVisible(true);
        return box;
    }

    // Mouse input as a user gives it, at a point of a window's client area.
    static void MouseAt(HWND hwnd, POINT at, DWORD buttons = 0) {
        test::MoveMouseTo(hwnd, at, buttons);
        test::PumpFor(60);
    }

    static POINT Centre(HWND hwnd) {
        RECT rc{};
        GetClientRect(hwnd, &rc);
        return {rc.right / 2, rc.bottom / 2};
    }

    // The colour in the middle of the button as drawn.
    static COLORREF ButtonColour(EditButton& button) {
        Shot shot(button.Handle());
        return shot.At(shot.Width() / 2, shot.Height() / 2);
    }

    HWND host = nullptr;
    Panel panel;
    UniqueFont font;
    EditBox other;
    ButtonEdit box;
};

TEST_F(ButtonEditTest, ButtonsAndTextRectangleFollowSizesAndMargins) {
    struct Case {
        const char* name;
        bool border, picture, leftButton;
        EditButton::Margins margins;
        RECT button;  // left, top, right, bottom in the edit's client area
        int textLeft, textRightGap;
    };
    const Case cases[] = {
        // 269 x 23 with a 2-pixel border: the client is 265 x 19.
        {"folder box", true, true, false, {0, 0, 5, 4}, {244, 0, 264, 19}, 1, 26},
        // Automatic width without a picture is no width; the margins still count.
        {"filter box", false, false, false, {2, 0, 3, 0}, {266, 0, 266, 23}, 1, 6},
        {"left button", false, true, true, {2, 1, 3, 2}, {2, 1, 22, 21}, 26, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonEdit edit;
        ButtonEdit::Options options;
        options.border = c.border;
        ASSERT_TRUE(edit.Create(panel.Handle(), {10, 10, 10 + 269, 10 + 23}, font.Get(), {}, options));
        EditButton& button = c.leftButton ? edit.LeftButton() : edit.RightButton();
        if (c.picture)
            button.SetImageBytes(FolderStripFile());
        button.SetAutoWidth(true);
        button.SetMargins(c.margins);
        button.SetVisible(true);

        const RECT placed = ChildBounds(button.Handle());
        EXPECT_EQ(placed.left, c.button.left);
        EXPECT_EQ(placed.top, c.button.top);
        EXPECT_EQ(placed.right, c.button.right);
        EXPECT_EQ(placed.bottom, c.button.bottom);
        RECT client{};
        GetClientRect(edit.Handle(), &client);
        EXPECT_EQ(client.right, c.border ? 265 : 269);
        const RECT text = TextRect(edit.Handle());
        EXPECT_EQ(text.left, c.textLeft);
        EXPECT_EQ(client.right - text.right, c.textRightGap);
        EXPECT_EQ(text.top, (client.bottom - BarHeight(edit.Handle())) / 2);

        // A hidden button gives its room back; a resize moves a visible one along.
        button.SetVisible(false);
        EXPECT_EQ(TextRect(edit.Handle()).right, client.right - 1);
        button.SetVisible(true);
        SetWindowPos(edit.Handle(), nullptr, 0, 0, 200, 23, SWP_NOMOVE | SWP_NOZORDER);
        GetClientRect(edit.Handle(), &client);
        EXPECT_EQ(client.right - TextRect(edit.Handle()).right, c.textRightGap);
        if (!c.leftButton) {
            EXPECT_EQ(ChildBounds(button.Handle()).left, c.button.left - 69);
        }
    }
}

TEST_F(ButtonEditTest, CueShowsOnlyWhileTheTextIsBlankAndTheBoxUnfocused) {
    ButtonEdit& edit = FilterBox();
    // Colours of their own, so that cue and text pixels cannot be mistaken for each other.
    edit.SetHintColor(RGB(0, 150, 0));
    edit.SetTextColor(RGB(200, 0, 0));
    const int bar = BarHeight(edit.Handle());
    const struct {
        const wchar_t* text;
        bool focused;
        bool cue;
    } cases[] = {
        {L"", false, true},
        {L"   ", false, true},
        {L"x", false, false},
        {L"", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.text << "' focused " << c.focused);
        edit.SetText(c.text);
        SetFocus(c.focused ? edit.Handle() : other.Handle());
        EXPECT_EQ(edit.CueVisible(), c.cue);
        Shot shot(edit.Handle());
        const int top = (shot.Height() - bar) / 2;
        const int cueColumn = shot.FirstColumnOf(Hue::Green, 0, shot.Height());
        if (c.cue) {
            // Pixel for pixel what the cue's font and colour give at x = 3, centred.
            test::Canvas expected(shot.Width(), shot.Height(), kWhite);
            SelectObject(expected.Dc(), font.Get());
            SetBkMode(expected.Dc(), TRANSPARENT);
            SetTextColor(expected.Dc(), RGB(0, 150, 0));
            TextOutW(expected.Dc(), 3, top, edit.HintText().c_str(), static_cast<int>(edit.HintText().size()));
            int differing = 0;
            for (int y = 0; y < shot.Height(); ++y)
                for (int x = 0; x < shot.Width(); ++x)
                    differing += shot.At(x, y) != expected.At(x, y) ? 1 : 0;
            EXPECT_EQ(differing, 0);
            EXPECT_GE(cueColumn, 3);
        } else {
            EXPECT_EQ(cueColumn, -1);
        }
        EXPECT_EQ(shot.FirstColumnOf(Hue::Red, 0, shot.Height()) >= 0, std::wstring(c.text) == L"x");
        EXPECT_EQ(shot.At(shot.Width() - 2, 1), kWhite);
    }

    // Focus changes repaint the box, so the cue comes and goes without other help.
    edit.SetText(L"");
    SetFocus(other.Handle());
    test::PumpPending();
    ValidateRect(edit.Handle(), nullptr);
    SetFocus(edit.Handle());
    EXPECT_TRUE(GetUpdateRect(edit.Handle(), nullptr, FALSE));
    ValidateRect(edit.Handle(), nullptr);
    SetFocus(other.Handle());
    EXPECT_TRUE(GetUpdateRect(edit.Handle(), nullptr, FALSE));
}

TEST_F(ButtonEditTest, EnterReachesOnKeyPressAndInsertsNothing) {
    ButtonEdit& edit = FilterBox();
    std::wstring seen;
    edit.onKeyPress = [&](wchar_t& key) {
        seen += key;
        if (key == L'z')
            key = 0;
    };
    SetForegroundWindow(host);
    SetFocus(edit.Handle());
    if (GetFocus() != edit.Handle())
        GTEST_SKIP() << "the test window did not get the keyboard focus";
    ASSERT_TRUE(test::PressKeys({'A', VK_RETURN, 'Z', 'B'}));
    // Through the program's own loop, whose dialog-key handling would otherwise keep Enter away.
    test::LoopUntil(
        host, [&] { return seen.size() >= 4; }, 2000);
    EXPECT_EQ(seen, L"a\rzb");
    EXPECT_EQ(edit.Text(), L"ab");
    EXPECT_EQ(SendMessageW(edit.Handle(), EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(ButtonEditTest, MouseTurnsTheButtonHotPushedAndClicks) {
    ButtonEdit& edit = FolderBox();
    EditButton& button = edit.RightButton();
    int clicks = 0, leftClicks = 0;
    edit.onRightButtonClick = [&] { ++clicks; };
    edit.onLeftButtonClick = [&] { ++leftClicks; };
    HWND glyph = button.Handle();
    MouseAt(host, {400, 110});
    ASSERT_TRUE(test::PumpUntil([&] { return button.State() == bsNormal; }, 1000));
    EXPECT_TRUE(Near(ButtonColour(button), kFrames[0]));

    // Now and then Wine loses a lone move of the pointer; a hand on the mouse would move it again.
    bool hot = false;
    for (int attempt = 0; attempt < 3 && !hot; ++attempt) {
        MouseAt(glyph, Centre(glyph));
        hot = test::PumpUntil([&] { return button.State() == bsHot; }, 1000);
    }
    ASSERT_TRUE(hot) << "no mouse input reached the button";
    EXPECT_TRUE(Near(ButtonColour(button), kFrames[1]));
    MouseAt(glyph, Centre(glyph), MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(button.State(), bsPushed);
    EXPECT_TRUE(Near(ButtonColour(button), kFrames[2]));
    EXPECT_EQ(clicks, 0) << "the click comes with the release";
    MouseAt(glyph, Centre(glyph), MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.State(), bsHot);
    EXPECT_NE(GetFocus(), glyph);

    // Pressed on the button, dragged off and released elsewhere: no click.
    MouseAt(glyph, Centre(glyph), MOUSEEVENTF_LEFTDOWN);
    MouseAt(host, {400, 110});
    MouseAt(host, {400, 110}, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(clicks, 1);
    ASSERT_TRUE(test::PumpUntil([&] { return button.State() == bsNormal; }, 2000));
    EXPECT_EQ(leftClicks, 0);

    // Disabled: the last frame, and a press does nothing.
    button.SetEnabled(false);
    EXPECT_TRUE(Near(ButtonColour(button), kFrames[3]));
    MouseAt(glyph, Centre(glyph), MOUSEEVENTF_LEFTDOWN);
    MouseAt(glyph, Centre(glyph), MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(Near(ButtonColour(button), kFrames[3]));
}

TEST_F(ButtonEditTest, APressOnAButtonWithAMenuShowsItBelowTheBoxWithoutPushing) {
    ButtonEdit& edit = FolderBox();
    EditButton& button = edit.RightButton();
    UniqueMenu menu(CreatePopupMenu());
    AppendMenuW(menu.Get(), MF_STRING, 7, L"Item");
    button.SetDropDownMenu(menu.Get());
    int clicks = 0;
    edit.onRightButtonClick = [&] { ++clicks; };
    static TButtonState stateWhileOpen;
    static RECT menuBounds;
    static EditButton* watched;
    stateWhileOpen = bsPushed;
    menuBounds = {};
    watched = &button;
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND popup = FindWindowW(L"#32768", nullptr); popup && IsWindowVisible(popup)) {
            GetWindowRect(popup, &menuBounds);
            stateWhileOpen = watched->State();
            EndMenu();
        }
    });
    HWND glyph = button.Handle();
    MouseAt(glyph, Centre(glyph));
    MouseAt(glyph, Centre(glyph), MOUSEEVENTF_LEFTDOWN);
    MouseAt(glyph, Centre(glyph), MOUSEEVENTF_LEFTUP);
    test::PumpFor(200);
    KillTimer(nullptr, timer);
    RECT outer{};
    GetWindowRect(edit.Handle(), &outer);
    RECT glyphScreen{};
    GetWindowRect(glyph, &glyphScreen);
    EXPECT_EQ(menuBounds.top, outer.bottom + 2) << "the point (0, edit height) of the button, which sits in the border";
    EXPECT_EQ(menuBounds.left, glyphScreen.left);
    EXPECT_NE(stateWhileOpen, bsPushed);
    EXPECT_NE(button.State(), bsPushed);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonEditTest, TypingIntoAFloatBoxFollowsTheNumberRules) {
    ButtonEdit& edit = FilterBox();
    int changes = 0;
    edit.onChange = [&] { ++changes; };
    ValueSetting setting;
    setting.valueType = vtFloat;
    edit.SetValueSetting(setting);
    EXPECT_EQ(edit.Text(), L"0.00");
    const struct {
        const wchar_t* text;
        int caret;
        WPARAM key;
        const wchar_t* after;
        int caretAfter;
    } cases[] = {
        {L"0.00", 1, L'5', L"5.00", 1},
        {L"0.00", 3, L'7', L"0.07", 4},
        {L"5.00", 1, L'x', L"5.00", 1},
        {L"1,234.00", 2, L'\b', L"234.00", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " + " << c.key);
        edit.SetText(c.text);
        SendMessageW(edit.Handle(), EM_SETMODIFY, FALSE, 0);
        SendMessageW(edit.Handle(), EM_SETSEL, c.caret, c.caret);
        changes = 0;
        SendMessageW(edit.Handle(), WM_CHAR, c.key, 0);
        EXPECT_EQ(edit.Text(), c.after);
        DWORD start = 0, end = 0;
        SendMessageW(edit.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(static_cast<int>(start), c.caretAfter);
        EXPECT_EQ(end, start);
        const bool changed = std::wstring(c.text) != c.after;
        EXPECT_EQ(changes, changed ? 1 : 0);
        EXPECT_EQ(SendMessageW(edit.Handle(), EM_GETMODIFY, 0, 0) != 0, changed);
    }
    EXPECT_DOUBLE_EQ(edit.FloatValue(), 234);
    edit.SetFloatValue(-1.5);
    EXPECT_EQ(edit.Text(), L"-1.50");
    EXPECT_FALSE(SendMessageW(edit.Handle(), EM_GETMODIFY, 0, 0));

    // Digits only: the window's own number style refuses the rest.
    setting.valueType = vtNumberOnly;
    edit.SetValueSetting(setting);
    edit.SetText(L"");
    SendMessageW(edit.Handle(), WM_CHAR, L'4', 0);
    SendMessageW(edit.Handle(), WM_CHAR, L'q', 0);
    EXPECT_EQ(edit.Text(), L"4");
}

TEST_F(ButtonEditTest, HoversAndRepaintsLeaveNoGdiObjectsBehind) {
    ButtonEdit& edit = FolderBox();
    edit.SetHintText(L"Select a folder");
    edit.SetHintColor(kHint);
    EditButton& button = edit.RightButton();
    button.SetHint(L"Browse");
    HWND glyph = button.Handle();
    auto cycle = [&] {
        SendMessageW(glyph, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        UpdateWindow(glyph);
        SendMessageW(glyph, WM_MOUSELEAVE, 0, 0);
        RedrawWindow(edit.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    for (int i = 0; i < 20; ++i)
        cycle();
    test::PumpPending();
    const int before = test::GdiObjectsInUse();
    for (int i = 0; i < 1000; ++i)
        cycle();
    test::PumpPending();
    EXPECT_LE(test::GdiObjectsInUse() - before, 2);
}

}  // namespace
}  // namespace lumaforge
