#include "controls/image_panel_win.h"

#include <algorithm>
#include <cmath>

#include "base/handles_win.h"
#include "controls/image_button_layout.h"

namespace lumaforge {
namespace {

constexpr UINT_PTR kAnimationTimer = 1;
// GIFs that give no delay (or next to none) play at the pace browsers give them.
constexpr int kShortestDelayMs = 20;
constexpr int kDefaultDelayMs = 100;

}  // namespace

FittedPicture FitPicture(int pictureWidth, int pictureHeight, int panelWidth, int panelHeight, int borderSpace) {
    const double boxWidth = panelWidth - borderSpace;
    const double boxHeight = panelHeight - borderSpace;
    double width = pictureWidth;
    double height = pictureHeight;
    if (pictureWidth <= 0 || pictureHeight <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return {};
    if (width > boxWidth || height > boxHeight) {
        if (boxWidth / boxHeight >= width / height) {
            width = width * boxHeight / height;
            height = boxHeight;
        } else {
            height = height * boxWidth / width;
            width = boxWidth;
        }
    }
    return {static_cast<float>(RoundHalfEven((boxWidth - width) / 2 + borderSpace / 2)),
            static_cast<float>(RoundHalfEven((boxHeight - height) / 2 + borderSpace / 2)), static_cast<float>(width),
            static_cast<float>(height)};
}

bool TImagePanel::Create(HWND parent, const RECT& bounds, Color background) {
    background_ = background;
    return CreateWindowOf(L"LumaforgeImagePanel", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, parent,
                          bounds);
}

void TImagePanel::SetFrame(Color frame) {
    frameColor_ = frame;
    framed_ = true;
    Invalidate();
}

void TImagePanel::SetLoadingGif(std::shared_ptr<const Picture> gif) {
    loadingGif_ = gif && !gif->Empty() ? std::move(gif) : nullptr;
    gifFrame_ = 0;
}

void TImagePanel::SetBorderSpace(int space) {
    if (space == borderSpace_)
        return;
    borderSpace_ = space;
    Invalidate();
}

void TImagePanel::StartLoading() {
    // The picture of the row before never stands in for the one on its way.
    fileName_.clear();
    picture_ = Picture();
    if (loadingGif_) {
        loading_ = true;
        gifFrame_ = 0;
        ScheduleNextFrame();
    }
    Invalidate();
}

void TImagePanel::StopLoading() {
    // The same file may load again afterwards, changed or not.
    fileName_.clear();
    if (!loading_)
        return;
    loading_ = false;
    KillTimer(Handle(), kAnimationTimer);
    Invalidate();
}

void TImagePanel::LoadImageFile(const std::string& fileName) {
    if (fileName == fileName_)
        return;
    fileName_ = fileName;
    picture_ = fileName.empty() || !gdiplus_.Started() ? Picture() : Picture::FromFile(fileName);
    Invalidate();
}

RECT TImagePanel::LoadingRect() const {
    const RECT client = ClientRect();
    const int left = (client.right - loadingGif_->Width()) / 2;
    const int top = (client.bottom - loadingGif_->Height()) / 2;
    return {left, top, left + loadingGif_->Width(), top + loadingGif_->Height()};
}

void TImagePanel::SetAnimationSpeed(int percent) {
    speedPercent_ = std::max(percent, 1);
}

int TImagePanel::CurrentFrameDelay() const {
    int delay = loadingGif_ ? loadingGif_->FrameDelay(gifFrame_) : 0;
    if (delay < kShortestDelayMs)
        delay = kDefaultDelayMs;
    return std::max(delay * 100 / speedPercent_, 1);
}

void TImagePanel::ScheduleNextFrame() {
    if (loadingGif_->FrameCount() < 2)
        return;
    SetTimer(Handle(), kAnimationTimer, static_cast<UINT>(CurrentFrameDelay()), nullptr);
}

void TImagePanel::Paint(HDC dc, const RECT& client) {
    UniqueGdiObj<HBRUSH> brush(CreateSolidBrush(background_));
    FillRect(dc, &client, brush.Get());
    if (!picture_.Empty()) {
        const FittedPicture fit =
            FitPicture(picture_.Width(), picture_.Height(), client.right, client.bottom, borderSpace_);
        picture_.Draw(dc, 0, fit.x, fit.y, fit.width, fit.height);
    }
    if (loading_) {
        const RECT at = LoadingRect();
        loadingGif_->Draw(dc, gifFrame_, static_cast<float>(at.left), static_cast<float>(at.top),
                          static_cast<float>(loadingGif_->Width()), static_cast<float>(loadingGif_->Height()));
    }
    if (framed_) {
        UniqueGdiObj<HBRUSH> frame(CreateSolidBrush(frameColor_));
        FrameRect(dc, &client, frame.Get());
    }
}

LRESULT TImagePanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam != kAnimationTimer)
                break;
            if (loading_) {
                gifFrame_ = (gifFrame_ + 1) % loadingGif_->FrameCount();
                ScheduleNextFrame();
                const RECT at = LoadingRect();
                InvalidateRect(Handle(), &at, FALSE);
            }
            return 0;
        case WM_SIZE:
            // The picture is refitted and the animation re-centred at the next paint.
            Invalidate();
            break;
        case WM_DESTROY:
            KillTimer(Handle(), kAnimationTimer);
            break;
    }
    return PaintedWindow::OnMessage(message, wParam, lParam);
}

}  // namespace lumaforge
