#include "controls/paint_panel_win.h"

#include "controls/scale_change_win.h"
#include "controls/strip_drawing_win.h"

namespace lumaforge {

void TPaintPanel::SetPicture(std::shared_ptr<const Picture> picture) {
    picture_ = std::move(picture);
    pictureBitmap_.Reset(picture_ ? picture_->ToBitmap(Background()).Release() : nullptr);
    DropStretched();
    PictureChanged();
    Invalidate();
}

void TPaintPanel::PictureChanged() {
    if (!pictureBitmap_.Get() || !Handle())
        return;
    RECT bounds;
    GetWindowRect(Handle(), &bounds);
    const int width = autoWidth_ ? picture_->Width() : bounds.right - bounds.left;
    const int height = autoHeight_ ? picture_->Height() : bounds.bottom - bounds.top;
    if (autoWidth_ || autoHeight_)
        SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TPaintPanel::SetStretch(THorzStretchType horz, TVertStretchType vert) {
    if (horz_ == horz && vert_ == vert)
        return;
    horz_ = horz;
    vert_ = vert;
    DropStretched();
    Invalidate();
}

void TPaintPanel::SetStretchPoint(POINT split) {
    if (split_.x == split.x && split_.y == split.y)
        return;
    split_ = split;
    DropStretched();
    Invalidate();
}

void TPaintPanel::SetAutoWidth(bool autoWidth) {
    if (autoWidth == autoWidth_ || !pictureBitmap_.Get())
        return;
    autoWidth_ = autoWidth;
    PictureChanged();
}

void TPaintPanel::SetAutoHeight(bool autoHeight) {
    if (autoHeight == autoHeight_ || !pictureBitmap_.Get())
        return;
    autoHeight_ = autoHeight;
    PictureChanged();
}

void TPaintPanel::SetBevel(bool single, Color color, int width) {
    bevel_ = single;
    bevelColor_ = color;
    bevelWidth_ = width;
    Invalidate();
}

void TPaintPanel::SetCaption(const std::wstring& caption, HFONT font, Color color, TextAlign align, TextLayout layout) {
    caption_ = caption;
    captionFont_ = font;
    captionColor_ = color;
    captionAlign_ = align;
    captionLayout_ = layout;
    Invalidate();
}

void TPaintPanel::SetEnabledEraseBkgnd(bool enabled) {
    if (eraseBackground_ == enabled)
        return;
    eraseBackground_ = enabled;
    Invalidate();
}

void TPaintPanel::OnScaleChanged(ScaleChange& change) {
    captionFont_ = change.Font(captionFont_);
    if (std::shared_ptr<const Picture> picture = change.Picture(picture_); picture != picture_)
        SetPicture(std::move(picture));
    Invalidate();
}

RECT TPaintPanel::Padded(int left, int top, int right, int bottom) const {
    RECT client = ClientRect();
    return {client.left + left, client.top + top, client.right - right, client.bottom - bottom};
}

void TPaintPanel::DropStretched() {
    if (stretchedDc_.Get() && stretchedOld_)
        SelectObject(stretchedDc_.Get(), stretchedOld_);
    stretchedOld_ = nullptr;
    stretched_.Reset();
    stretchedDc_.Reset();
    stretchedSize_ = {};
}

HDC TPaintPanel::StretchedPicture(HDC compatible, SIZE size) {
    if (stretchedDc_.Get() && stretchedSize_.cx == size.cx && stretchedSize_.cy == size.cy)
        return stretchedDc_.Get();
    DropStretched();
    UniqueMemoryDc pictureDc(CreateCompatibleDC(compatible));
    stretchedDc_.Reset(CreateCompatibleDC(compatible));
    stretched_.Reset(CreateCompatibleBitmap(compatible, size.cx, size.cy));
    if (!pictureDc.Get() || !stretchedDc_.Get() || !stretched_.Get()) {
        DropStretched();
        return nullptr;
    }
    stretchedOld_ = SelectObject(stretchedDc_.Get(), stretched_.Get());
    stretchedSize_ = size;
    // Whatever no piece covers (a picture smaller than the panel, unstretched) shows the panel colour.
    UniqueGdiObj<HBRUSH> fill(CreateSolidBrush(Background()));
    RECT all{0, 0, size.cx, size.cy};
    FillRect(stretchedDc_.Get(), &all, fill.Get());
    ScopedSelectObject selectPicture(pictureDc.Get(), pictureBitmap_.Get());
    StretchDrawPicture(pictureDc.Get(), {picture_->Width(), picture_->Height()}, stretchedDc_.Get(), size.cx, size.cy,
                       split_, vert_, horz_);
    return stretchedDc_.Get();
}

void TPaintPanel::Paint(HDC dc, const RECT& client) {
    RECT r = client;
    HDC stretched = pictureBitmap_.Get() ? StretchedPicture(dc, {client.right, client.bottom}) : nullptr;
    if (stretched) {
        BitBlt(dc, 0, 0, client.right, client.bottom, stretched, 0, 0, SRCCOPY);
    } else if (eraseBackground_) {
        Panel::Paint(dc, client);
    } else {
        // Nothing of its own: what lies under the panel shows.
        PaintParentBackground(dc);
    }
    if (!caption_.empty()) {
        ScopedSelectObject font(dc, captionFont_ ? captionFont_ : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, captionColor_);
        UINT flags = DT_SINGLELINE | DT_EXPANDTABS;
        flags |= captionAlign_ == TextAlign::Left ? DT_LEFT : captionAlign_ == TextAlign::Right ? DT_RIGHT : DT_CENTER;
        flags |= captionLayout_ == TextLayout::Top      ? DT_TOP
                 : captionLayout_ == TextLayout::Bottom ? DT_BOTTOM
                                                        : DT_VCENTER;
        DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, flags);
    }
    if (bevel_) {
        // An even pen width is centred between pixels; moving the corner in keeps the outline inside.
        if (bevelWidth_ % 2 == 0) {
            r.left += 1;
            r.top += 1;
        }
        UniqueGdiObj<HPEN> pen(CreatePen(PS_INSIDEFRAME, bevelWidth_, bevelColor_));
        ScopedSelectObject selectPen(dc, pen.Get());
        ScopedSelectObject selectBrush(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
    }
    if (onPaint)
        onPaint(dc, client);
}

LRESULT TPaintPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            DropStretched();
            Invalidate();
            break;
        case WM_DESTROY:
            DropStretched();
            break;
    }
    return Panel::OnMessage(message, wParam, lParam);
}

AccessibleElement TPaintPanel::AccessibleSelf() const {
    AccessibleElement self;
    self.name = WithoutAccessKeyMark(caption_);
    self.role = ROLE_SYSTEM_GROUPING;
    return self;
}

}  // namespace lumaforge
