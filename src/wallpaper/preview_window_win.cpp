#include "wallpaper/preview_window_win.h"

#include "controls/dpi_scale.h"
#include "controls/scale_change_win.h"

namespace lumaforge {
namespace {
constexpr int kButtonSize = 48;
constexpr int kButtonTop = 6;
// The set button's left edge lies this far from the right edge; the close button follows it.
constexpr int kSetButtonFromRight = 102;
}  // namespace

bool TFrmView::Load(const std::string& path) {
    path_ = path;
    picture_ = gdiplus_.Started() ? Picture::FromFile(path) : Picture();
    if (Handle())
        Invalidate();
    return !picture_.Empty();
}

bool TFrmView::Create(HWND owner, const TViewTexts& texts, HFONT font) {
    owner_ = owner;
    MONITORINFO monitor{sizeof monitor};
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor))
        screen = monitor.rcMonitor;
    if (!CreateWindowOf(L"LumaforgeWallpaperView", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOPMOST, owner, screen))
        return false;
    // The buttons are drawn for the DPI of the monitor the window covers.
    dpi_ = WindowDpi(Handle());
    const int skinScale = NearestSkinScale(dpi_);
    // Drawn buttons without captions: the captions become their tool tips.
    const struct {
        TImgButton& button;
        const std::wstring& hint;
        const wchar_t* prefix;
    } buttons[] = {{ibSet_, texts.setWallpaper, L"VIEW_SET_"}, {ibClose_, texts.close, L"VIEW_CLOSE_"}};
    for (const auto& b : buttons) {
        b.button.Create(Handle(), {0, 0, ScaleLength(kButtonSize, dpi_), ScaleLength(kButtonSize, dpi_)}, L"", font);
        auto picture = [&](const wchar_t* state) {
            std::shared_ptr<const Picture> scaled =
                ResourcePicture(ScaledSkinName(std::wstring(b.prefix) + state, skinScale).c_str());
            return scaled->Empty() ? ResourcePicture((std::wstring(b.prefix) + state).c_str()) : scaled;
        };
        b.button.SetPictures(
            {picture(L"NORMAL_PNG"), picture(L"ENTER_PNG"), picture(L"DOWN_PNG"), picture(L"DISABLE_PNG")});
        b.button.SetOffsets(0, 0);
        b.button.SetHint(b.hint);
        SetWindowTextW(b.button.Handle(), b.hint.c_str());
    }
    ibSet_.onClick = [this] {
        if (onSet)
            onSet(path_, Handle());
        Close();
    };
    ibClose_.onClick = [this] { Close(); };
    PlaceButtons();
    return true;
}

void TFrmView::PlaceButtons() {
    const RECT client = ClientRect();
    const int size = ScaleLength(kButtonSize, dpi_), top = ScaleLength(kButtonTop, dpi_);
    const int left = client.right - ScaleLength(kSetButtonFromRight, dpi_);
    SetWindowPos(ibSet_.Handle(), nullptr, left, top, size, size, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(ibClose_.Handle(), nullptr, left + size, top, size, size, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFrmView::Show() {
    if (!Handle())
        return;
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    // The keyboard starts on the set button: Enter sets the picture, Tab reaches the close button.
    SetFocus(ibSet_.Handle());
}

void TFrmView::ShowModal() {
    if (!Handle() || closed_)
        return;
    if (owner_ && IsWindowEnabled(owner_)) {
        EnableWindow(owner_, FALSE);
        ownerDisabled_ = true;
    }
    Show();
    MSG msg;
    while (!closed_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: leave the quit request for the main loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (PreTranslate(msg))
            continue;
        if (IsDialogMessageW(Handle(), &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Close();
}

bool TFrmView::PreTranslate(MSG& msg) {
    if (msg.message != WM_KEYUP || msg.wParam != VK_ESCAPE || !Handle())
        return false;
    if (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd))
        return false;
    Close();
    return true;
}

void TFrmView::Close() {
    if (ownerDisabled_) {
        // The owner takes the activation back before this window goes, so it does not fall to another
        // program.
        ownerDisabled_ = false;
        EnableWindow(owner_, TRUE);
    }
    if (closed_)
        return;
    closed_ = true;
    if (Handle())
        DestroyWindow(Handle());
}

void TFrmView::Paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    // Stretched to the whole window, as a desktop stretches its wallpaper.
    if (!picture_.Empty())
        picture_.Draw(dc, 0, 0, 0, static_cast<float>(client.right), static_cast<float>(client.bottom));
}

LRESULT TFrmView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            PlaceButtons();
            break;
        case WM_LBUTTONDBLCLK:
            Close();
            return 0;
        case WM_KEYUP:
            if (wParam == VK_ESCAPE) {
                Close();
                return 0;
            }
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_DESTROY:
            // Its owner going takes it along: the modal loop ends with it.
            closed_ = true;
            break;
    }
    return PaintedWindow::OnMessage(message, wParam, lParam);
}

}  // namespace lumaforge
