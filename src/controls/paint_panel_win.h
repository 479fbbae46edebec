#pragma once
#include <functional>
#include <memory>
#include <string>

#include "base/colors.h"
#include "base/handles_win.h"
#include "controls/accessible_win.h"
#include "controls/panel_win.h"
#include "controls/picture_win.h"
#include "controls/stretch_geometry.h"

namespace lumaforge {

// A container whose whole client area is drawn from a small picture stretched to its size, so boxes,
// bars and frames of any size come from pictures a few pixels wide. It can also show a one-line
// caption, a one-colour outline, and hand its surface to onPaint. Like Panel, it passes its
// children's notifications on to its parent. A panel with a caption is a group of that name to a
// screen reader; one without is the system's plain client area.
class TPaintPanel : public Panel, public AccessibleSource {
public:
    enum class TextAlign { Left, Right, Center };
    enum class TextLayout { Top, Center, Bottom };

    // The picture is drawn opaque: see-through pixels of a PNG show the panel colour.
    void SetPicture(std::shared_ptr<const Picture> picture);
    void SetStretch(THorzStretchType horz, TVertStretchType vert);
    void SetStretchPoint(POINT split);
    // The panel's size follows the picture's on that axis while the flag is set; the flag is not
    // taken while there is no picture.
    void SetAutoWidth(bool autoWidth);
    void SetAutoHeight(bool autoHeight);
    bool AutoWidth() const { return autoWidth_; }
    bool AutoHeight() const { return autoHeight_; }
    void SetBevel(bool single, Color color, int width = 1);
    void SetCaption(const std::wstring& caption, HFONT font, Color color, TextAlign align = TextAlign::Center,
                    TextLayout layout = TextLayout::Center);
    // With neither a picture nor the erase, nothing paints the background: for panels whose
    // children cover them.
    void SetEnabledEraseBkgnd(bool enabled);
    // The client area inside the given paddings, for placing children.
    RECT Padded(int left, int top, int right, int bottom) const;

    void Paint(HDC dc, const RECT& client) override;
    void OnScaleChanged(ScaleChange& change) override;
    std::function<void(HDC dc, const RECT& client)> onPaint;

    bool AccessibleProvided() const override { return !caption_.empty(); }
    AccessibleElement AccessibleSelf() const override;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PictureChanged();
    // The stretched picture at the panel's size, kept until the size, the picture or a mode
    // changes, so a repaint (and every see-through child drawing its background) is one copy.
    HDC StretchedPicture(HDC compatible, SIZE size);
    void DropStretched();

    std::shared_ptr<const Picture> picture_;
    UniqueGdiObj<HBITMAP> pictureBitmap_;
    THorzStretchType horz_ = hstNone;
    TVertStretchType vert_ = vstNone;
    POINT split_{0, 0};
    bool autoWidth_ = false, autoHeight_ = false;
    bool bevel_ = false;
    Color bevelColor_ = 0;
    int bevelWidth_ = 1;
    std::wstring caption_;
    HFONT captionFont_ = nullptr;
    Color captionColor_ = 0;
    TextAlign captionAlign_ = TextAlign::Center;
    TextLayout captionLayout_ = TextLayout::Center;
    bool eraseBackground_ = true;

    UniqueMemoryDc stretchedDc_;
    UniqueGdiObj<HBITMAP> stretched_;
    HGDIOBJ stretchedOld_ = nullptr;
    SIZE stretchedSize_{};
};

}  // namespace lumaforge
