#pragma once
#include <memory>
#include <string>

#include "base/colors.h"
#include "controls/image_view.h"
#include "controls/picture_win.h"
#include "controls/window_win.h"

namespace lumaforge {

// Where a picture lands in a panel: pictures larger than the panel less its border space (half of
// it on each side) are scaled down to fit, keeping their proportions; none is ever enlarged. The
// position is centred and rounded to whole pixels (halves to even), the size is not rounded.
struct FittedPicture {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
};
FittedPicture FitPicture(int pictureWidth, int pictureHeight, int panelWidth, int panelHeight, int borderSpace);

// The preview box of the resource pages: one picture file scaled to fit and centred, and, while
// a preview is being fetched, the loading animation in the middle, played at the GIF's own frame
// delays. Painted through the window's back buffer, so neither flickers.
//
// GDI+ must stay started (a GdiplusSession alive) for the panel's whole life.
class TImagePanel final : public PaintedWindow, public ImageView {
public:
    explicit TImagePanel(const GdiplusSession& gdiplus) : gdiplus_(gdiplus) {}

    bool Create(HWND parent, const RECT& bounds, Color background = palette::kWindow);
    // A one-pixel frame drawn over the edge of the panel.
    void SetFrame(Color frame);
    // The loading animation, from the bytes of a GIF (the panel decodes its own copy); without one
    // StartLoading only clears the picture.
    // The animation shown while loading, shared by the panels that show it.
    void SetLoadingGif(std::shared_ptr<const Picture> gif);
    // How fast the animation plays, in percent of the GIF's own speed (100 at first).
    void SetAnimationSpeed(int percent);
    // Total margin kept free around a scaled picture, half of it on each side.
    void SetBorderSpace(int space);
    int BorderSpace() const { return borderSpace_; }

    // ImageView
    void StartLoading() override;
    void StopLoading() override;
    void LoadImageFile(const std::string& fileName) override;

    bool Loading() const { return loading_; }
    const std::string& FileName() const { return fileName_; }
    const Picture& CurrentPicture() const { return picture_; }
    size_t LoadingFrame() const { return gifFrame_; }
    // How long the frame shown now stays, in milliseconds.
    int CurrentFrameDelay() const;
    // Where the animation's frame is drawn: centred, in whole pixels.
    RECT LoadingRect() const;

    void Paint(HDC dc, const RECT& client) override;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ScheduleNextFrame();

    const GdiplusSession& gdiplus_;
    Color background_ = palette::kWindow;
    Color frameColor_ = 0;
    bool framed_ = false;
    int borderSpace_ = 0;
    std::string fileName_;
    Picture picture_;
    std::shared_ptr<const Picture> loadingGif_;
    bool loading_ = false;
    int speedPercent_ = 100;
    size_t gifFrame_ = 0;
};

}  // namespace lumaforge
