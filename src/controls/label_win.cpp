#include "controls/label_win.h"

#include <algorithm>

#include "base/handles_win.h"
#include "controls/scale_change_win.h"

namespace lumaforge {

bool Label::Create(HWND parent, const RECT& bounds, const std::wstring& text, const Style& style) {
    text_ = text;
    style_ = style;
    const DWORD tabStop = IsLink() ? WS_TABSTOP : 0;
    return CreateWindowOf(L"LumaforgeLabel", WS_CHILD | WS_VISIBLE | tabStop, 0, parent, bounds, text);
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
    if (GetFocus() == Handle() && !(SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        // Around the text only, where a right-aligned link shows it.
        RECT extent{};
        DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &extent,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        const int width = std::min<int>(extent.right + 2, client.right);
        const int height = std::min<int>(extent.bottom + 2, client.bottom);
        RECT focus{0, (client.bottom - height) / 2, width, (client.bottom - height) / 2 + height};
        if (style_.align == Align::Right)
            OffsetRect(&focus, client.right - width, 0);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
    }
}

AccessibleElement Label::AccessibleSelf() const {
    AccessibleElement self;
    self.name = text_;
    if (IsLink()) {
        self.role = ROLE_SYSTEM_LINK;
        self.state = STATE_SYSTEM_LINKED | (hovered_ ? STATE_SYSTEM_HOTTRACKED : 0);
        self.defaultAction = L"Jump";
    } else {
        self.role = ROLE_SYSTEM_STATICTEXT;
        self.state = STATE_SYSTEM_READONLY;
    }
    return self;
}

bool Label::AccessibleDoDefaultAction(int item) {
    if (item >= 0 || !IsLink() || !onClick)
        return false;
    // Run as a click would, after the screen reader's call has returned.
    PostMessageW(Handle(), WM_KEYDOWN, VK_RETURN, 0);
    return true;
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
        case WM_GETDLGCODE:
            if (IsLink())
                return DrawnButtonDialogCode(lParam);
            break;
        case WM_KEYDOWN:
            if (IsLink() && (wParam == VK_RETURN || wParam == VK_SPACE) && !(lParam & 0x40000000)) {
                if (onClick)
                    onClick();
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
            Invalidate();
            break;
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
