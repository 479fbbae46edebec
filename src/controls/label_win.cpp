#include "controls/label_win.h"

#include "base/handles_win.h"
#include "controls/scale_change_win.h"

namespace lumaforge {

bool Label::Create(HWND parent, const RECT& bounds, const std::wstring& text, const Style& style) {
    text_ = text;
    style_ = style;
    return CreateWindowOf(L"LumaforgeLabel", WS_CHILD | WS_VISIBLE, 0, parent, bounds, text);
}

void Label::SetText(const std::wstring& text) {
    text_ = text;
    SetWindowTextW(Handle(), text.c_str());
    Invalidate();
}

void Label::OnScaleChanged(ScaleChange& change) {
    style_.font = change.Font(style_.font);
    style_.hoverFont = change.Font(style_.hoverFont);
    Invalidate();
}

void Label::SetStyle(const Style& style) {
    style_ = style;
    Invalidate();
}

int Label::TextWidth() const {
    HDC dc = GetDC(Handle());
    SIZE size{};
    {
        ScopedSelectObject font(dc, style_.font);
        GetTextExtentPoint32W(dc, text_.c_str(), static_cast<int>(text_.size()), &size);
    }
    ReleaseDC(Handle(), dc);
    return size.cx;
}

void Label::Paint(HDC dc, const RECT& client) {
    if (style_.transparent) {
        PaintParentBackground(dc);
    } else {
        UniqueGdiObj<HBRUSH> brush(CreateSolidBrush(style_.background));
        FillRect(dc, &client, brush.Get());
    }
    ScopedSelectObject font(dc, CurrentFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, style_.color);
    RECT text = client;
    UINT align = style_.align == Align::Right ? DT_RIGHT : DT_LEFT;
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &text,
              align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void Label::SetHovered(bool hovered) {
    if (hovered_ == hovered)
        return;
    hovered_ = hovered;
    Invalidate();
}

LRESULT Label::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST:
            // Plain labels let the mouse fall through to what is behind them, as static text does.
            return IsLink() ? HTCLIENT : HTTRANSPARENT;
        case WM_SETCURSOR:
            if (IsLink()) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_MOUSEMOVE:
            if (IsLink() && !hovered_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
                TrackMouseEvent(&track);
                SetHovered(true);
            }
            return 0;
        case WM_MOUSELEAVE:
            SetHovered(false);
            return 0;
        case WM_LBUTTONUP:
            if (IsLink()) {
                POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                RECT client = ClientRect();
                if (PtInRect(&client, pt) && onClick)
                    onClick();
            }
            return 0;
    }
    return PaintedWindow::OnMessage(message, wParam, lParam);
}

}  // namespace lumaforge
